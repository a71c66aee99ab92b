// The server archive's own faults: a server that goes away while in use, a login refused.

#include <gtest/gtest.h>

#include "archive/Archive.h"
#include "archive/ArchiveError.h"
#include "tests/archive/ArchivePlace.h"
#include "tests/archive/TestDays.h"

namespace uroflow::test {
namespace {

TEST(ServerArchive, ServerGoneWhileInUseIsReportedAndUsedAgainWhenBack) {
    QString skipReason;
    std::unique_ptr<ArchivePlace> place = newArchivePlace(skipReason);
    if (!place) GTEST_SKIP() << skipReason.toStdString();
    PostgresServer& server = *sharedServer(skipReason);

    Archive archive(place->address(), ArchiveOptions{2000});
    ASSERT_TRUE(
        archive.keep(archiveTestDay("Петрова А.А."), KeepSource::Download, QString(), QString())
            .added);
    server.stop();
    // The open connection breaks, then connecting is refused: both are reported.
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            archive.keep(archiveTestDay("Петрова А.А.", "100226"), KeepSource::Download, QString(),
                         QString());
            ADD_FAILURE() << "kept with the server stopped";
        } catch (const ArchiveError& error) {
            EXPECT_FALSE(std::string(error.what()).empty());
        }
    }
    server.start();
    EXPECT_TRUE(archive
                    .keep(archiveTestDay("Петрова А.А.", "100226"), KeepSource::Download, QString(),
                          QString())
                    .added);
    EXPECT_EQ(archive.list().size(), 2u);
}

TEST(ServerArchive, LoginRefusedIsReportedInRussian) {
    QString skipReason;
    std::unique_ptr<ArchivePlace> place = newArchivePlace(skipReason);
    if (!place) GTEST_SKIP() << skipReason.toStdString();
    PostgresServer& server = *sharedServer(skipReason);
    Archive archive(parseArchiveUrl(
        QStringLiteral("postgresql://stranger@127.0.0.1:%1/postgres").arg(server.port())));
    try {
        archive.open();
        FAIL() << "a stranger was let in";
    } catch (const ArchiveError& error) {
        EXPECT_NE(std::string(error.what()).find("Сервер архива недоступен"), std::string::npos)
            << error.what();
    }
}

}  // namespace
}  // namespace uroflow::test
