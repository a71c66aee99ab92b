// A walk over the items of a HID report descriptor, counting the output bits of
// each report ID.
//
// A vendor-defined device with 32-byte input and output reports declares, for
// example:
//   06 00 FF  usage page (vendor)       A1 01  collection (application)
//   75 08     report size 8             95 20  report count 32
//   09 01 81 02  input                  09 01 91 02  output            C0  end
// which gives an output report length of 33 (the report ID byte, then 32 bytes).

#include "reader/hid/ReportDescriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace uroflow {

namespace {

// Item tags by type.
constexpr int kTypeMain = 0;
constexpr int kTypeGlobal = 1;
constexpr int kMainOutput = 0x9;
constexpr int kGlobalReportSize = 0x7;
constexpr int kGlobalReportId = 0x8;
constexpr int kGlobalReportCount = 0x9;
constexpr int kGlobalPush = 0xA;
constexpr int kGlobalPop = 0xB;
constexpr std::uint8_t kLongItem = 0xFE;

struct Globals {
    std::uint32_t reportSize = 0;  // bits
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

}  // namespace

ReportLayout parseReportDescriptor(std::span<const std::uint8_t> descriptor) {
    ReportLayout layout;
    Globals globals;
    std::vector<Globals> stack;
    std::map<std::uint32_t, std::uint64_t> outputBits;  // by report ID

    std::size_t i = 0;
    while (i < descriptor.size()) {
        const std::uint8_t prefix = descriptor[i];
        if (prefix == kLongItem) {
            if (i + 1 >= descriptor.size()) break;
            i += 3 + descriptor[i + 1];
            continue;
        }
        const std::size_t size = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
        const int type = (prefix >> 2) & 0x3;
        const int tag = prefix >> 4;
        if (i + 1 + size > descriptor.size()) break;  // an item cut off at the end
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < size; ++b)
            value |= std::uint32_t{descriptor[i + 1 + b]} << (8 * b);
        i += 1 + size;

        if (type == kTypeGlobal) {
            switch (tag) {
                case kGlobalReportSize:
                    globals.reportSize = value;
                    break;
                case kGlobalReportCount:
                    globals.reportCount = value;
                    break;
                case kGlobalReportId:
                    globals.reportId = value;
                    layout.numberedReports = true;
                    break;
                case kGlobalPush:
                    stack.push_back(globals);
                    break;
                case kGlobalPop:
                    if (!stack.empty()) {
                        globals = stack.back();
                        stack.pop_back();
                    }
                    break;
                default:
                    break;
            }
        } else if (type == kTypeMain && tag == kMainOutput) {
            outputBits[globals.reportId] += std::uint64_t{globals.reportSize} * globals.reportCount;
        }
    }

    for (const auto& [id, bits] : outputBits) {
        layout.outputReportLength =
            std::max<std::size_t>(layout.outputReportLength, (bits + 7) / 8 + 1);
    }
    return layout;
}

}  // namespace uroflow
