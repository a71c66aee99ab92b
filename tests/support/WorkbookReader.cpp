// Unzips an .xlsx and collects the cells of xl/worksheets/sheet1.xml.

#include "tests/support/WorkbookReader.h"

#include <unzip.h>

#include <QByteArray>
#include <QXmlStreamReader>
#include <memory>

namespace uroflow::test {

namespace {

struct ZipCloser {
    void operator()(void* zip) const { unzClose(zip); }
};

// Shared strings are not read: a constant-memory workbook stores text inline.
void collectCells(const QByteArray& xml, SheetCells& sheet) {
    QXmlStreamReader reader(xml);
    std::string ref;
    SheetCell cell;
    bool inCell = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const auto name = reader.name();
            const QXmlStreamAttributes attributes = reader.attributes();
            if (name == u"row") {
                sheet.lastRow = attributes.value(QLatin1String("r")).toInt();
            } else if (name == u"c") {
                inCell = true;
                ref = attributes.value(QLatin1String("r")).toString().toStdString();
                cell.type = attributes.value(QLatin1String("t")).toString().toStdString();
                cell.text.clear();
            } else if (inCell && (name == u"v" || name == u"t")) {
                cell.text += reader.readElementText().toStdString();
            }
        } else if (reader.isEndElement() && reader.name() == u"c") {
            inCell = false;
            sheet.cells[ref] = cell;
        }
    }
    if (reader.hasError()) sheet.error = reader.errorString().toStdString();
}

}  // namespace

std::optional<SheetCell> SheetCells::at(const std::string& ref) const {
    const auto found = cells.find(ref);
    if (found == cells.end()) return std::nullopt;
    return found->second;
}

std::string SheetCells::text(const std::string& ref) const {
    const auto cell = at(ref);
    return cell ? cell->text : "";
}

SheetCells readSheet1(const std::string& xlsxPath) {
    SheetCells sheet;
    const std::unique_ptr<void, ZipCloser> zip(unzOpen(xlsxPath.c_str()));
    if (!zip) {
        sheet.error = "not a zip file";
        return sheet;
    }
    if (unzLocateFile(zip.get(), "xl/worksheets/sheet1.xml", 1) != UNZ_OK ||
        unzOpenCurrentFile(zip.get()) != UNZ_OK) {
        sheet.error = "no xl/worksheets/sheet1.xml";
        return sheet;
    }
    QByteArray xml;
    char buffer[1 << 16];
    int got = 0;
    while ((got = unzReadCurrentFile(zip.get(), buffer, sizeof buffer)) > 0)
        xml.append(buffer, got);
    const bool crcOk = unzCloseCurrentFile(zip.get()) == UNZ_OK;
    if (got < 0 || !crcOk) {
        sheet.error = "damaged zip entry";
        return sheet;
    }
    collectCells(xml, sheet);
    sheet.ok = sheet.error.empty();
    return sheet;
}

}  // namespace uroflow::test
