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

bool writeTo(const QString& path, const char* key, const QString& value) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(QString::fromLatin1(key), value);
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

namespace {

// Writes one key beside the executable, or into the user's configuration folder when
// the former fails. Returns the file written; empty when neither could be written.
QString writeSetting(const QString& programDir, const QString& userConfigDir, const char* key,
                     const QString& value) {
    if (writableLocation(programDir) && writeTo(fileIn(programDir), key, value)) {
        return fileIn(programDir);
    }
    if (!userConfigDir.isEmpty() && writeTo(fileIn(userConfigDir), key, value)) {
        return fileIn(userConfigDir);
    }
    return {};
}

}  // namespace

QString writeDoctorName(const QString& programDir, const QString& userConfigDir,
                        const QString& name) {
    return writeSetting(programDir, userConfigDir, kDoctorNameKey, name);
}

NightWindow readSleepPeriod(const QString& programDir, const QString& userConfigDir) {
    const QSettings settings(settingsFileToRead(programDir, userConfigDir), QSettings::IniFormat);
    const QString text = settings.value(QString::fromLatin1(kSleepPeriodKey)).toString();
    return parseNightWindow(text.toStdString()).value_or(NightWindow{});
}

bool writeSleepPeriod(const QString& programDir, const QString& userConfigDir,
                      const NightWindow& period) {
    const std::string text = clockText(period.from) + "-" + clockText(period.to);
    return !writeSetting(programDir, userConfigDir, kSleepPeriodKey, QString::fromStdString(text))
                .isEmpty();
}

}  // namespace uroflow
