#pragma once
// Reads the cells of worksheet 1 back from an .xlsx file, independently of the
// writer: the zip opened with minizip, the sheet's XML parsed with Qt's reader.

#include <map>
#include <optional>
#include <string>

namespace uroflow::test {

struct SheetCell {
    std::string type;  // the "t" attribute: "inlineStr", "s", "str" or "" for a number
    std::string text;  // the string, or the number as stored
};

struct SheetCells {
    bool ok = false;                         // the file is a zip holding a well-formed sheet1.xml
    std::string error;                       // what went wrong otherwise
    std::map<std::string, SheetCell> cells;  // by reference, "A1"
    int lastRow = 0;

    std::optional<SheetCell> at(const std::string& ref) const;
    // The cell's text; "" when the cell is missing.
    std::string text(const std::string& ref) const;
};

SheetCells readSheet1(const std::string& xlsxPath);

}  // namespace uroflow::test
