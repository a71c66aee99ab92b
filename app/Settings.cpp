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

bool writeTo(const QString& path, const QString& key, const QString& value) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSettings settings(path, QSettings::IniFormat);
    // A new file renamed into place, under a lock: two instances ending at once never
    // leave it half written.
    settings.setAtomicSyncRequired(true);
    settings.setValue(key, value);
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

QString readSetting(const QString& programDir, const QString& userConfigDir, const QString& key,
                    const QString& fallback) {
    const QSettings settings(settingsFileToRead(programDir, userConfigDir), QSettings::IniFormat);
    return settings.value(key, fallback).toString();
}

QString writeSetting(const QString& programDir, const QString& userConfigDir, const QString& key,
                     const QString& value) {
    if (writableLocation(programDir) && writeTo(fileIn(programDir), key, value)) {
        return fileIn(programDir);
    }
    if (!userConfigDir.isEmpty() && writeTo(fileIn(userConfigDir), key, value)) {
        return fileIn(userConfigDir);
    }
    return {};
}

QString readDoctorName(const QString& programDir, const QString& userConfigDir) {
    return readSetting(programDir, userConfigDir, QString::fromLatin1(kDoctorNameKey),
                       QString::fromUtf8(kDefaultDoctorName));
}

QString shownDoctorName(const QString& field) {
    return field == QString::fromUtf8(kDefaultDoctorName) ? QString() : field;
}

QString writeDoctorName(const QString& programDir, const QString& userConfigDir,
                        const QString& name) {
    return writeSetting(programDir, userConfigDir, QString::fromLatin1(kDoctorNameKey), name);
}

NightWindow readSleepPeriod(const QString& programDir, const QString& userConfigDir) {
    const QString text =
        readSetting(programDir, userConfigDir, QString::fromLatin1(kSleepPeriodKey), QString());
    return parseNightWindow(text.toStdString()).value_or(NightWindow{});
}

bool writeSleepPeriod(const QString& programDir, const QString& userConfigDir,
                      const NightWindow& period) {
    const std::string text = clockText(period.from) + "-" + clockText(period.to);
    return !writeSetting(programDir, userConfigDir, QString::fromLatin1(kSleepPeriodKey),
                         QString::fromStdString(text))
                .isEmpty();
}

}  // namespace uroflow
