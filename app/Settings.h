#pragma once
// The one setting that survives a run: the doctor's name in rdp.ini
// (section "tools", key "edit1").
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

// The doctor's name, or the default text when the file or key is missing.
QString readDoctorName(const QString& programDir, const QString& userConfigDir);

// Writes the name beside the executable, or into the user's configuration
// folder when the former fails. Returns the file written; empty when neither
// could be written.
QString writeDoctorName(const QString& programDir, const QString& userConfigDir,
                        const QString& name);

}  // namespace uroflow
