#pragma once
// The spreadsheet seam on libxlsxwriter: the workbook streams row by row
// (constant-memory mode) and is saved as an .xlsx file.

#include <memory>
#include <string>

#include "files/Spreadsheet.h"

namespace uroflow {

class XlsxSpreadsheet : public Spreadsheet {
  public:
    // Each connection works in a private folder made under `tempFolder`, the system's
    // temporary folder when empty. Connecting fails when that folder cannot be made.
    explicit XlsxSpreadsheet(std::string tempFolder = {});

    std::unique_ptr<SpreadsheetSession> connect() override;

  private:
    std::string tempFolder_;
};

}  // namespace uroflow
