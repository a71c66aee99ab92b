#include "tests/archive/TestDays.h"

#include <QFile>
#include <algorithm>
#include <stdexcept>

#include "study/Passport.h"
#include "tools/demo/DemoDay.h"

namespace uroflow::test {

Image archiveTestDay(const std::string& utf8Name, const std::string& date, std::uint8_t variant) {
    Image day = buildDemoDay();
    const std::string name = utf8ToCp1251(utf8Name).substr(0, kNameLength);
    std::fill_n(day.begin() + kNameOffset, kNameLength, std::uint8_t{0});
    std::copy(name.begin(), name.end(), day.begin() + kNameOffset);
    std::copy(date.begin(), date.end(), day.begin() + kDateOffset);
    day[kMemorySize - 1] = variant;
    return day;
}

void writeDayFile(const QString& path, const Image& day) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(day.data()), kMemorySize) !=
            static_cast<qint64>(kMemorySize)) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

}  // namespace uroflow::test
