#pragma once
// Distinct days for the archive's tests: the demo day under another patient's name.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <string>

#include "study/Image.h"

namespace uroflow::test {

// The demo day (a man of 64, seven voidings 06:40..23:05, K = 50,000) with the name and
// the date bytes given; `variant` goes into the last memory byte, so days of the same
// patient differ in their SHA-256.
Image archiveTestDay(const std::string& utf8Name, const std::string& date = "090226",
                     std::uint8_t variant = 0);

// Writes bytes 0..65535 of the day as a study file.
void writeDayFile(const QString& path, const Image& day);
QByteArray fileBytes(const QString& path);

}  // namespace uroflow::test
