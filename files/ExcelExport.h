#pragma once
// The worksheet of the Excel export, written through the spreadsheet seam.

#include <array>
#include <cstdint>
#include <string>

#include "files/ExportTable.h"
#include "files/Spreadsheet.h"

namespace uroflow {

// Shown when no spreadsheet application can be attached or created.
inline constexpr char kSpreadsheetUnavailableText[] =
    "Не удалось подключиться к Excel. Действие отменено.";

inline constexpr char kExportTitle[] = "Таблица, переданная из внешней программы Урофлоуметра.";
inline constexpr int kExportTitleRow = 1;
inline constexpr int kExportHeaderRow = 3;
inline constexpr int kExportFirstDataRow = 4;
inline constexpr std::array<const char*, 4> kExportHeaders = {"№ изм.", "Start изм.", "dT",
                                                              "Значение"};

// New workbook, worksheet 1: A1 the title, row 3 the headers, from row 4 one row per
// entry (A, B, C integers, D a double); then saved as `path` and closed. Returns the
// number of study starts the walk met. Errors of the application throw RuntimeError.
std::uint16_t writeExportWorkbook(SpreadsheetSession& session, const ExportValues& values,
                                  const std::string& path);

}  // namespace uroflow
