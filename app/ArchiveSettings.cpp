#include "app/ArchiveSettings.h"

#include "app/Settings.h"

namespace uroflow {

QString readArchiveUrl(const QString& programDir, const QString& userConfigDir) {
    return readSetting(programDir, userConfigDir, QString::fromLatin1(kArchiveUrlKey)).trimmed();
}

bool writeArchiveUrl(const QString& programDir, const QString& userConfigDir, const QString& url) {
    return !writeSetting(programDir, userConfigDir, QString::fromLatin1(kArchiveUrlKey),
                         url.trimmed())
                .isEmpty();
}

}  // namespace uroflow
