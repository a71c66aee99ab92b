#include "tests/archive/PostgresServer.h"

#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <stdexcept>

namespace uroflow::test {

namespace {

constexpr char kUser[] = "uroflow";
constexpr char kPassword[] = "archive-test-secret";
constexpr char kServerAccount[] = "nobody";
constexpr int kProcessTimeoutMs = 60000;

// A port nobody listens on now: the system picks it for a socket bound to port 0.
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (fd >= 0) ::close(fd);
        throw std::runtime_error("no free port on 127.0.0.1");
    }
    ::close(fd);
    return ntohs(address.sin_port);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
}

}  // namespace

QString PostgresServer::binaries() {
    const QDir versions(QStringLiteral("/usr/lib/postgresql"));
    // The newest installed version first.
    const QStringList entries =
        versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString& version : entries) {
        const QString bin = versions.filePath(version + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb")) &&
            QFile::exists(bin + QStringLiteral("/pg_ctl"))) {
            return bin;
        }
    }
    return {};
}

PostgresServer::PostgresServer()
    : bin_(binaries()), folder_(std::make_unique<QTemporaryDir>()), port_(freePort()) {
    if (bin_.isEmpty()) throw std::runtime_error(kMissingText);
    if (!folder_->isValid()) throw std::runtime_error("no temporary folder");
    // Root runs the tests in CI; the server runs as an unprivileged account that owns the
    // folder.
    if (::geteuid() == 0) {
        const passwd* account = ::getpwnam(kServerAccount);
        if (!account) throw std::runtime_error("no account 'nobody' to run the server");
        if (::chown(QFile::encodeName(folder_->path()).constData(), account->pw_uid,
                    account->pw_gid) != 0) {
            throw std::runtime_error("cannot hand the folder to 'nobody'");
        }
    }
    const QString passwordFile = folder_->filePath(QStringLiteral("password"));
    writeFile(passwordFile, kPassword);
    QFile::setPermissions(passwordFile, QFile::ReadOwner | QFile::ReadOther);
    run(bin_ + QStringLiteral("/initdb"),
        {QStringLiteral("-D"), folder_->filePath(QStringLiteral("data")), QStringLiteral("-U"),
         QString::fromLatin1(kUser), QStringLiteral("--pwfile=") + passwordFile,
         QStringLiteral("--auth-local=trust"), QStringLiteral("--auth-host=scram-sha-256"),
         QStringLiteral("--no-sync"), QStringLiteral("-E"), QStringLiteral("UTF8"),
         QStringLiteral("--locale=C")});
    // libpq takes the password from here, as from ~/.pgpass; it ignores a file others can
    // read.
    const QString pgpass = folder_->filePath(QStringLiteral("pgpass"));
    writeFile(pgpass, QStringLiteral("127.0.0.1:%1:*:%2:%3\n")
                          .arg(port_)
                          .arg(QString::fromLatin1(kUser), QString::fromLatin1(kPassword))
                          .toUtf8());
    QFile::setPermissions(pgpass, QFile::ReadOwner | QFile::WriteOwner);
    qputenv("PGPASSFILE", QFile::encodeName(pgpass));
    start();
}

PostgresServer::~PostgresServer() {
    try {
        stop();
    } catch (const std::exception&) {
        // The folder goes anyway; a server left behind dies with its data folder's lock.
    }
}

void PostgresServer::run(const QString& program, const QStringList& args) {
    QProcess process;
    process.setWorkingDirectory(folder_->path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (::geteuid() == 0) {
        process.start(QStringLiteral("runuser"),
                      QStringList{QStringLiteral("-u"), QString::fromLatin1(kServerAccount),
                                  QStringLiteral("--"), program} +
                          args);
    } else {
        process.start(program, args);
    }
    if (!process.waitForFinished(kProcessTimeoutMs) ||
        process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QFile log(folder_->filePath(QStringLiteral("server.log")));
        log.open(QIODevice::ReadOnly);
        throw std::runtime_error((program + QStringLiteral(" failed: ") +
                                  QString::fromLocal8Bit(process.readAll()) +
                                  QString::fromLocal8Bit(log.readAll()))
                                     .toStdString());
    }
}

void PostgresServer::start() {
    run(bin_ + QStringLiteral("/pg_ctl"),
        {QStringLiteral("-D"), folder_->filePath(QStringLiteral("data")), QStringLiteral("-l"),
         folder_->filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
         QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("-o"),
         QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off")
             .arg(port_)
             .arg(folder_->path()),
         QStringLiteral("start")});
    running_ = true;
}

void PostgresServer::stop() {
    if (!running_) return;
    running_ = false;
    run(bin_ + QStringLiteral("/pg_ctl"),
        {QStringLiteral("-D"), folder_->filePath(QStringLiteral("data")), QStringLiteral("-m"),
         QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
}

QString PostgresServer::url(const QString& database) const {
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3")
        .arg(QString::fromLatin1(kUser))
        .arg(port_)
        .arg(database);
}

QString PostgresServer::newDatabaseUrl() {
    const QString name = QStringLiteral("archive%1").arg(++databases_);
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("test-server-admin"));
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(port_);
        db.setUserName(QString::fromLatin1(kUser));
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open()) throw std::runtime_error(db.lastError().text().toStdString());
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("CREATE DATABASE ") + name)) {
            throw std::runtime_error(query.lastError().text().toStdString());
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test-server-admin"));
    return url(name);
}

}  // namespace uroflow::test
