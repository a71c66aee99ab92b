// The export's calls into the spreadsheet, in the order the application is driven.

#include "files/ExcelExport.h"

namespace uroflow {

std::uint16_t writeExportWorkbook(SpreadsheetSession& session, const ExportValues& values,
                                  const std::string& path) {
    const ExportSheet sheet = walkExportRows(values);

    session.setVisible(true);
    session.addWorkbook();
    session.selectWorksheet(1);
    session.setText(kExportTitleRow, 1, kExportTitle);
    for (std::size_t c = 0; c < kExportHeaders.size(); ++c) {
        session.setText(kExportHeaderRow, static_cast<int>(c) + 1, kExportHeaders[c]);
    }
    int r = kExportFirstDataRow;
    for (const ExportRow& row : sheet.rows) {
        session.setInteger(r, 1, row.studyCount);
        session.setInteger(r, 2, row.studyFlag);
        session.setInteger(r, 3, row.index);
        session.setDouble(r, 4, row.value);
        ++r;
    }
    session.saveAs(path);
    session.close();
    return sheet.studyCount;
}

}  // namespace uroflow
