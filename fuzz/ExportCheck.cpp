#include "fuzz/ExportCheck.h"

#include <cmath>
#include <string>

#include "files/ExcelExport.h"
#include "files/ExportTable.h"
#include "fuzz/Invariant.h"
#include "study/RuntimeError.h"

namespace uroflow::fuzz {
namespace {

constexpr char kPath[] = "day.xlsx";

// Accepts the calls of one export in the order the application is driven, and
// nothing else: header cells first, then the data rows column by column.
class CheckingSession : public SpreadsheetSession {
  public:
    void setVisible(bool visible) override { step(Step::Visible, visible); }
    void addWorkbook() override { step(Step::Workbook, true); }
    void selectWorksheet(int number) override { step(Step::Worksheet, number == 1); }
    void setText(int row, int column, const std::string& utf8) override {
        FUZZ_REQUIRE(at_ == Step::Worksheet || at_ == Step::Header);
        at_ = Step::Header;
        FUZZ_REQUIRE(!utf8.empty());
        FUZZ_REQUIRE((row == kExportTitleRow && column == 1 && headers_ == 0) ||
                     (row == kExportHeaderRow && column == headers_));
        ++headers_;
    }
    void setInteger(int row, int column, std::int64_t value) override {
        cell(row, column);
        if (column == 2) FUZZ_REQUIRE(value == 0 || value == 1);
        if (column == 3) FUZZ_REQUIRE(value == row - kExportFirstDataRow);
        if (column == 1) {
            FUZZ_REQUIRE(value == studyCount_ || value == studyCount_ + 1);
            studyCount_ = value;
        }
    }
    void setDouble(int row, int column, double value) override {
        cell(row, column);
        FUZZ_REQUIRE(std::isfinite(value));
    }
    void saveAs(const std::string& path) override {
        FUZZ_REQUIRE(at_ == Step::Cells && column_ == 4 && path == kPath);
        at_ = Step::Saved;
    }
    void close() override { step(Step::Closed, at_ == Step::Saved); }

    int dataRows() const { return row_ - kExportFirstDataRow + 1; }
    bool closed() const { return at_ == Step::Closed; }

  private:
    enum class Step { None, Visible, Workbook, Worksheet, Header, Cells, Saved, Closed };

    void step(Step next, bool argumentsRight) {
        FUZZ_REQUIRE(argumentsRight);
        FUZZ_REQUIRE(static_cast<int>(next) == static_cast<int>(at_) + 1);
        at_ = next;
    }
    void cell(int row, int column) {
        FUZZ_REQUIRE((at_ == Step::Header && headers_ == 5) || at_ == Step::Cells);
        if (at_ == Step::Header) {
            at_ = Step::Cells;
            row_ = kExportFirstDataRow - 1;
            column_ = 4;
        }
        const bool nextRow = column_ == 4;
        FUZZ_REQUIRE(row == (nextRow ? row_ + 1 : row_));
        FUZZ_REQUIRE(column == (nextRow ? 1 : column_ + 1));
        row_ = row;
        column_ = column;
    }

    Step at_ = Step::None;
    int headers_ = 0;
    int row_ = 0;
    int column_ = 0;
    std::int64_t studyCount_ = 0;
};

}  // namespace

void checkExport(const Image& device, std::int32_t k) {
    ExportValues values;
    try {
        values = buildExportValues(device, k);
    } catch (const RuntimeError&) {
        FUZZ_REQUIRE(k == 0);
        return;
    }
    FUZZ_REQUIRE(k != 0);
    FUZZ_REQUIRE(!values.empty() && values.size() <= kMaxExportEntries);
    // Entry i is the word at 99 + 2i; only the first FF FF, as the last entry, reads (0, 0).
    const std::size_t last = values.size() - 1;
    const auto wordAt = [&device](std::size_t i) {
        return word(device, kStudyAreaStart + 2 * static_cast<std::ptrdiff_t>(i));
    };
    const bool ended = wordAt(last) == kUnwrittenWord;
    FUZZ_REQUIRE(ended || values.size() == kMaxExportEntries);
    std::uint16_t starts = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const bool endEntry = ended && i == last;
        FUZZ_REQUIRE(values[i].raw == (endEntry ? 0 : wordAt(i)));
        FUZZ_REQUIRE(std::isfinite(values[i].value));
        if (endEntry) FUZZ_REQUIRE(values[i].value == 0);
        if (values[i].raw == kStartWord) ++starts;
    }

    CheckingSession session;
    const std::uint16_t counted = writeExportWorkbook(session, values, kPath);
    FUZZ_REQUIRE(session.closed());
    FUZZ_REQUIRE(session.dataRows() == static_cast<int>(values.size()));
    // A start word clears the two entries after it, so a start there is not counted.
    FUZZ_REQUIRE(counted <= starts);
}

}  // namespace uroflow::fuzz
