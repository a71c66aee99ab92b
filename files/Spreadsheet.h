#pragma once
// Seam for the spreadsheet application the Excel export drives, one call per step
// of the export, made in this order: connect (attach to a running application, else
// create one), setVisible, addWorkbook, selectWorksheet, the cells, saveAs, close.

#include <cstdint>
#include <memory>
#include <string>

namespace uroflow {

// One connection to the application; destroying it releases every reference.
class SpreadsheetSession {
  public:
    virtual ~SpreadsheetSession() = default;

    virtual void setVisible(bool visible) = 0;
    virtual void addWorkbook() = 0;
    // Worksheets are numbered from 1.
    virtual void selectWorksheet(int number) = 0;
    // Cells of the selected worksheet, addressed as the sheet shows them: row and
    // column from 1 (column 1 is A).
    virtual void setText(int row, int column, const std::string& utf8) = 0;
    virtual void setInteger(int row, int column, std::int64_t value) = 0;
    virtual void setDouble(int row, int column, double value) = 0;
    // Stores the workbook under `path` (native file name). An existing file is replaced
    // only by a complete workbook. Failure throws RuntimeError with the application's text.
    virtual void saveAs(const std::string& path) = 0;
    virtual void close() = 0;
};

class Spreadsheet {
  public:
    virtual ~Spreadsheet() = default;
    // Attaches to a running application, else creates one; nullptr when neither works.
    virtual std::unique_ptr<SpreadsheetSession> connect() = 0;
};

}  // namespace uroflow
