#pragma once
// The settings that survive a run, in rdp.ini: the doctor's name (section "tools", key
// "edit1") and where the patient archive lives (app/ArchiveSettings.h).
//
// The file lives beside the executable. When that folder cannot be written
// (an installed program), the file lives in the user's configuration folder
// instead, and is read back from there.

#include <QString>

namespace uroflow {

inline constexpr char kSettingsFileName[] = "rdp.ini";
inline constexpr char kDoctorNameKey[] = "tools/edit1";
inline constexpr char kDefaultDoctorName[] = "введите ФИО врача";

// The file the name is read from at start.
QString settingsFileToRead(const QString& programDir, const QString& userConfigDir);

// Any key of the file ("section/key"), or `fallback` when the file or key is missing.
QString readSetting(const QString& programDir, const QString& userConfigDir, const QString& key,
                    const QString& fallback = {});
// Writes the key beside the executable, or into the user's configuration folder when the
// former fails; the other keys stay. Returns the file written; empty when neither could be.
QString writeSetting(const QString& programDir, const QString& userConfigDir, const QString& key,
                     const QString& value);

// The doctor's name, or the default text when the file or key is missing.
QString readDoctorName(const QString& programDir, const QString& userConfigDir);

// The doctor's name as the field shows it; empty while the field holds the default text.
QString shownDoctorName(const QString& field);

// Writes the name beside the executable, or into the user's configuration
// folder when the former fails. Returns the file written; empty when neither
// could be written.
QString writeDoctorName(const QString& programDir, const QString& userConfigDir,
                        const QString& name);

}  // namespace uroflow
