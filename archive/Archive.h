#pragma once
// The patient archive: every distinct day kept once, by its SHA-256, with the 65,536 bytes
// unchanged and the passport read from them; the same interface over the embedded SQLite
// file and a PostgreSQL server.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "archive/ArchiveAddress.h"
#include "study/Image.h"

class QSqlDatabase;

namespace uroflow {

// How a day came to the archive.
enum class KeepSource { Download, File, Import };
QString keepSourceText(KeepSource source);  // "download", "file", "import"

struct KeptDay {
    qint64 id = 0;
    QString sha256;  // of the 65,536 bytes, lower-case hex
    QString sex;     // "М", "Ж" or ""
    QString name;
    QString age;
    QString date;  // the passport's text, "dd.mm.yy" when the bytes are digits
    int calibrCoef = 0;
    int studies = 0;
    QString firstStart;  // "hh:mm", "" when unknown
    QString lastStart;
    QString keptAt;  // UTC, ISO 8601
    QString source;  // keepSourceText
    QString fileName;
    QString doctor;
};

struct KeepResult {
    qint64 id = 0;
    bool added = false;  // false: the same bytes were kept before, nothing changed
};

struct ArchiveOptions {
    // Longest wait for a locked file, a connection or a statement, in ms.
    int timeoutMs = 3000;
};

class Archive {
  public:
    // Connects on first use; a failed call leaves it closed, and the next call tries again.
    explicit Archive(ArchiveAddress address, ArchiveOptions options = {});
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    const ArchiveAddress& address() const { return address_; }

    // Connects and brings the tables up to date. Every call below does this when needed;
    // called alone it checks the connection. Throws ArchiveError.
    void open();
    void close();

    KeepResult keep(const Image& device, KeepSource source, const QString& fileName,
                    const QString& doctor);
    // Days in the order they were kept; with a filter only those whose name holds it, in
    // any letter case.
    std::vector<KeptDay> list(const QString& nameFilter = {});
    std::optional<KeptDay> day(qint64 id);
    // The kept bytes in bytes 0..65535, the spare tail 0, as after "Из файла". Throws
    // ArchiveError for an unknown id or bytes that no longer match their SHA-256.
    Image image(qint64 id);
    // The kept bytes of every day asked for, a thousand days a query, each checked as
    // image() checks it; handed to `use` one at a time in no particular order.
    void forEachImage(const std::vector<qint64>& ids,
                      const std::function<void(qint64, const Image&)>& use);

  private:
    // The open connection, opened and migrated when needed.
    QSqlDatabase database();

    ArchiveAddress address_;
    ArchiveOptions options_;
    QString connectionName_;
    bool ready_ = false;
};

// The SHA-256 of bytes 0..65535, lower-case hex.
QString imageSha256(const Image& device);

}  // namespace uroflow
