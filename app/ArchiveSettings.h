#pragma once
// Where the window's patient archive lives, in rdp.ini (section "archive", key "url"):
// empty for the embedded archive, or a server URL. No password is ever written.

#include <QString>

namespace uroflow {

inline constexpr char kArchiveUrlKey[] = "archive/url";

// The URL, empty when the file or key is missing.
QString readArchiveUrl(const QString& programDir, const QString& userConfigDir);

// Writes it into the file the doctor's name goes to. False when no file could be written.
bool writeArchiveUrl(const QString& programDir, const QString& userConfigDir, const QString& url);

}  // namespace uroflow
