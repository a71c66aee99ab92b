// The contract tests on the embedded SQLite archive.

#include "tests/archive/ArchivePlace.h"

namespace uroflow::test {

std::unique_ptr<ArchivePlace> newArchivePlace(QString&) {
    return ArchivePlace::embedded();
}

}  // namespace uroflow::test
