#include "app/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace uroflow {

namespace {

QString fileIn(const QString& dir) {
    return QDir(dir).filePath(QString::fromLatin1(kSettingsFileName));
}

// The program's folder holds the file only if the file can be replaced there.
bool writableLocation(const QString& dir) {
    const QFileInfo folder(dir);
    if (dir.isEmpty() || !folder.isDir() || !folder.isWritable()) return false;
    const QFileInfo file(fileIn(dir));
    return !file.exists() || (file.isFile() && file.isWritable());
}

bool writeTo(const QString& path, const QString& name) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSettings settings(path, QSettings::IniFormat);
    // A new file renamed into place, under a lock: two instances ending at once never
    // leave it half written.
    settings.setAtomicSyncRequired(true);
    settings.setValue(QString::fromLatin1(kDoctorNameKey), name);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace

QString settingsFileToRead(const QString& programDir, const QString& userConfigDir) {
    const QString programFile = fileIn(programDir);
    const QFileInfo userFile(fileIn(userConfigDir));
    if (userConfigDir.isEmpty() || !userFile.isFile()) return programFile;
    // The user's copy holds the name when the program's folder cannot take it,
    // or when the last write there failed and fell back to the user's copy.
    const QFileInfo program(programFile);
    if (!writableLocation(programDir) || !program.isFile() ||
        userFile.lastModified() > program.lastModified()) {
        return userFile.filePath();
    }
    return programFile;
}

QString readDoctorName(const QString& programDir, const QString& userConfigDir) {
    const QSettings settings(settingsFileToRead(programDir, userConfigDir), QSettings::IniFormat);
    return settings
        .value(QString::fromLatin1(kDoctorNameKey), QString::fromUtf8(kDefaultDoctorName))
        .toString();
}

QString writeDoctorName(const QString& programDir, const QString& userConfigDir,
                        const QString& name) {
    if (writableLocation(programDir) && writeTo(fileIn(programDir), name)) {
        return fileIn(programDir);
    }
    if (!userConfigDir.isEmpty() && writeTo(fileIn(userConfigDir), name)) {
        return fileIn(userConfigDir);
    }
    return {};
}

}  // namespace uroflow
