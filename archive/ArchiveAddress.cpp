#include "archive/ArchiveAddress.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

#include "archive/ArchiveError.h"

namespace uroflow {

namespace {

[[noreturn]] void refuse(const QString& url, const QString& why) {
    throw ArchiveError(
        QStringLiteral("Адрес архива \"%1\" не подходит: %2").arg(url, why).toStdString());
}

ArchiveAddress serverAddress(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid()) refuse(text, url.errorString());
    if (!url.password().isEmpty()) {
        refuse(text, QStringLiteral("пароль не хранится в адресе, его берет ~/.pgpass"));
    }
    ArchiveAddress address;
    address.kind = ArchiveAddress::Kind::Server;
    address.user = url.userName(QUrl::FullyDecoded);
    address.host = url.host(QUrl::FullyDecoded);
    address.port = url.port(-1);
    address.database = url.path(QUrl::FullyDecoded).mid(1);
    if (address.database.contains(QLatin1Char('/'))) {
        refuse(text, QStringLiteral("после сервера ожидается только имя базы"));
    }
    // libpq keywords are lower-case words; QPSQL joins the options with spaces, so a value
    // may hold neither spaces nor the separators.
    static const QRegularExpression keyword(QStringLiteral("^[a-z_]+$"));
    static const QRegularExpression plainValue(QStringLiteral("^[^\\s;'\"\\\\]+$"));
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (key == QStringLiteral("password")) {
            refuse(text, QStringLiteral("пароль не хранится в адресе, его берет ~/.pgpass"));
        }
        if (!keyword.match(key).hasMatch() || !plainValue.match(value).hasMatch()) {
            refuse(text, QStringLiteral("параметр \"%1=%2\"").arg(key, value));
        }
        address.options << key + QLatin1Char('=') + value;
    }
    return address;
}

}  // namespace

QString defaultEmbeddedFile() {
    // The same folder for the window and the command-line tool, whatever the running
    // program calls itself.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString app = QString::fromLatin1(kArchiveApplicationName);
    return QDir(base).filePath(app + QLatin1Char('/') + app + QLatin1Char('/') +
                               QString::fromLatin1(kEmbeddedFileName));
}

ArchiveAddress parseArchiveUrl(const QString& url) {
    const QString text = url.trimmed();
    if (text.startsWith(QLatin1String(kServerScheme)) ||
        text.startsWith(QLatin1String(kServerSchemeShort))) {
        return serverAddress(text);
    }
    ArchiveAddress address;
    if (text.isEmpty()) {
        address.file = defaultEmbeddedFile();
    } else if (text.startsWith(QLatin1String(kEmbeddedScheme))) {
        address.file = text.mid(QLatin1String(kEmbeddedScheme).size());
    } else if (text.contains(QStringLiteral("://"))) {
        refuse(text, QStringLiteral("ожидается postgresql://… или путь к файлу архива"));
    } else {
        address.file = text;
    }
    if (address.file.isEmpty()) refuse(text, QStringLiteral("не указан файл архива"));
    address.file = QDir::cleanPath(QDir::current().absoluteFilePath(address.file));
    return address;
}

QString describeArchive(const ArchiveAddress& address) {
    if (address.kind == ArchiveAddress::Kind::Embedded) {
        return QStringLiteral("Файл %1").arg(QDir::toNativeSeparators(address.file));
    }
    QString where = address.host.isEmpty() ? QStringLiteral("локальный сервер") : address.host;
    if (address.port > 0) where += QLatin1Char(':') + QString::number(address.port);
    QString text = QStringLiteral("Сервер PostgreSQL %1").arg(where);
    if (!address.database.isEmpty()) text += QStringLiteral(", база %1").arg(address.database);
    if (!address.user.isEmpty()) text += QStringLiteral(", пользователь %1").arg(address.user);
    return text;
}

}  // namespace uroflow
