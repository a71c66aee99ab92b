#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <algorithm>

#include "archive/ArchiveError.h"
#include "archive/Connection.h"

namespace uroflow {

namespace {

[[noreturn]] void unavailable(const ArchiveAddress& address, const QString& why) {
    throw ArchiveError(QStringLiteral("Сервер архива недоступен (%1): %2")
                           .arg(describeArchive(address), why.simplified())
                           .toStdString());
}

bool hasOption(const QStringList& options, const QString& key) {
    for (const QString& option : options) {
        if (option.startsWith(key + QLatin1Char('='))) return true;
    }
    return false;
}

}  // namespace

QSqlDatabase openServer(const QString& connectionName, const ArchiveAddress& address,
                        int timeoutMs) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        unavailable(address, QStringLiteral("нет драйвера Qt PostgreSQL (пакет libqt6sql6-psql)"));
    }
    QStringList options = address.options;
    const int seconds = std::max(2, (timeoutMs + 999) / 1000);  // libpq's least
    if (!hasOption(options, QStringLiteral("connect_timeout"))) {
        options << QStringLiteral("connect_timeout=%1").arg(seconds);
    }
    // A server or network that goes silent mid-query is given up after the time-out too.
    options << QStringLiteral("keepalives=1") << QStringLiteral("keepalives_idle=%1").arg(seconds)
            << QStringLiteral("keepalives_interval=1") << QStringLiteral("keepalives_count=2")
            << QStringLiteral("tcp_user_timeout=%1").arg(timeoutMs);
    if (!hasOption(options, QStringLiteral("application_name"))) {
        options << QStringLiteral("application_name=uroflow");
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(address.host);
    if (address.port > 0) db.setPort(address.port);
    db.setDatabaseName(address.database);
    db.setUserName(address.user);
    db.setConnectOptions(options.join(QLatin1Char(';')));
    if (!db.open()) unavailable(address, db.lastError().text());
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SET statement_timeout = %1").arg(timeoutMs)) ||
        !query.exec(QStringLiteral("SET lock_timeout = %1").arg(timeoutMs))) {
        const QString why = query.lastError().text();
        query.finish();
        db.close();
        unavailable(address, why);
    }
    return db;
}

}  // namespace uroflow
