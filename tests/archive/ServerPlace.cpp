// The contract tests on a PostgreSQL server: one throw-away server for the whole run, a
// fresh database for every test.

#include "tests/archive/ArchivePlace.h"

namespace uroflow::test {

std::unique_ptr<ArchivePlace> newArchivePlace(QString& skipReason) {
    return ArchivePlace::onServer(skipReason);
}

}  // namespace uroflow::test
