// The contract tests on the embedded SQLite archive: a file in a temporary folder.

#include <QTemporaryDir>

#include "archive/Connection.h"
#include "tests/archive/ArchivePlace.h"

namespace uroflow::test {

namespace {

class EmbeddedPlace : public ArchivePlace {
  public:
    QString url() const override { return folder_.filePath(QStringLiteral("archive.sqlite")); }
    SqlDialect dialect() const override { return sqliteDialect(); }
    QSqlDatabase openRaw(const QString& connectionName) const override {
        return openEmbedded(connectionName, url(), 3000);
    }

  private:
    QTemporaryDir folder_;
};

}  // namespace

std::unique_ptr<ArchivePlace> newArchivePlace(QString&) {
    return std::make_unique<EmbeddedPlace>();
}

void releaseArchivePlaces() {}

}  // namespace uroflow::test
