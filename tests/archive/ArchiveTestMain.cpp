// main() of the archive tests: Qt SQL loads its drivers through a QCoreApplication; a
// server started for the tests is stopped before the application ends.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "tests/archive/ArchivePlace.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    uroflow::test::releaseSharedServer();
    return result;
}
