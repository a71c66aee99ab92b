// Writes the export's workbook with libxlsxwriter.
//
// The library takes the file name when the workbook is made, but the export names the
// file only when it saves. The workbook is therefore written under a fixed name in the
// session's private folder, and the finished file then replaces the target as every
// export's file does (files/ExportTarget.h): through a file created beside it and one
// rename.

#include "files/XlsxSpreadsheet.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <cerrno>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "files/ExportTarget.h"
#include "study/RuntimeError.h"

namespace uroflow {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void failWith(lxw_error error) {
    throw RuntimeError(lxw_strerror(error));
}

// The library's texts about files are English and blame permissions for everything;
// the user is told the system's reason instead.
[[noreturn]] void failSaving(lxw_error error, int systemError) {
    switch (error) {
        case LXW_ERROR_CREATING_XLSX_FILE:
        case LXW_ERROR_CREATING_TMPFILE:
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
            throw RuntimeError(exportSaveErrorText(systemError != 0 ? systemError : EIO));
        default:
            failWith(error);
    }
}

void check(lxw_error error) {
    if (error != LXW_NO_ERROR) failWith(error);
}

// The library prints numbers with the C library's locale; under a Russian one a cell
// would read "0,25" and the file be corrupt. Every library call runs with the
// C number format on this thread, whatever the program's locale.
class CNumbers {
  public:
    explicit CNumbers(locale_t c) : previous_(::uselocale(c)) {}
    ~CNumbers() { ::uselocale(previous_); }
    CNumbers(const CNumbers&) = delete;
    CNumbers& operator=(const CNumbers&) = delete;

  private:
    locale_t previous_;
};

class XlsxSession : public SpreadsheetSession {
  public:
    XlsxSession(fs::path folder, locale_t cNumbers)
        : folder_(std::move(folder)), cNumbers_(cNumbers) {}

    ~XlsxSession() override {
        discardWorkbook();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        ::freelocale(cNumbers_);
    }

    // A file writer has no window to show.
    void setVisible(bool) override {}

    void addWorkbook() override {
        discardWorkbook();
        CNumbers c(cNumbers_);
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        std::string tmpdir = folder_.string();
        options.tmpdir = tmpdir.data();
        workbook_ = workbook_new_opt(bookName().c_str(), &options);
        if (!workbook_) failWith(LXW_ERROR_MEMORY_MALLOC_FAILED);
        // A new workbook has its first worksheet; its scratch file is made here.
        sheet_ = workbook_add_worksheet(workbook_, nullptr);
        if (!sheet_) failWith(LXW_ERROR_CREATING_TMPFILE);
    }

    void selectWorksheet(int number) override {
        if (!workbook_ || number != 1) failWith(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
        selected_ = sheet_;
    }

    void setText(int row, int column, const std::string& utf8) override {
        CNumbers c(cNumbers_);
        check(worksheet_write_string(sheet(), cellRow(row), cellColumn(column), utf8.c_str(),
                                     nullptr));
    }

    void setInteger(int row, int column, std::int64_t value) override {
        setDouble(row, column, static_cast<double>(value));
    }

    void setDouble(int row, int column, double value) override {
        CNumbers c(cNumbers_);
        check(worksheet_write_number(sheet(), cellRow(row), cellColumn(column), value, nullptr));
    }

    void saveAs(const std::string& path) override {
        if (!workbook_) failWith(LXW_ERROR_NULL_PARAMETER_IGNORED);
        lxw_error error;
        errno = 0;
        {
            CNumbers c(cNumbers_);
            error = workbook_close(workbook_);  // frees the workbook, also on failure
        }
        const int systemError = errno;
        workbook_ = nullptr;
        sheet_ = selected_ = nullptr;
        if (error != LXW_NO_ERROR) {
            ::unlink(bookName().c_str());
            failSaving(error, systemError);
        }
        std::vector<std::uint8_t> bytes;
        {
            std::ifstream book(bookName(), std::ios::binary);
            if (!book.is_open()) failSaving(LXW_ERROR_CREATING_XLSX_FILE, EIO);
            bytes.assign(std::istreambuf_iterator<char>(book), std::istreambuf_iterator<char>());
            if (book.bad()) failSaving(LXW_ERROR_CREATING_XLSX_FILE, EIO);
        }
        ::unlink(bookName().c_str());
        replaceWithExport(path, bytes);
    }

    // The workbook was closed by saving it; closing an unsaved one drops it.
    void close() override { discardWorkbook(); }

  private:
    std::string bookName() const { return (folder_ / "book.xlsx").string(); }

    lxw_worksheet* sheet() const {
        if (!selected_) failWith(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
        return selected_;
    }

    static lxw_row_t cellRow(int row) {
        if (row < 1 || row > LXW_ROW_MAX) failWith(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
        return static_cast<lxw_row_t>(row - 1);
    }

    static lxw_col_t cellColumn(int column) {
        if (column < 1 || column > LXW_COL_MAX) failWith(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
        return static_cast<lxw_col_t>(column - 1);
    }

    // Closes an unsaved workbook into the private folder, where it is removed.
    void discardWorkbook() {
        if (!workbook_) return;
        CNumbers c(cNumbers_);
        workbook_close(workbook_);
        workbook_ = nullptr;
        sheet_ = selected_ = nullptr;
        ::unlink(bookName().c_str());
    }

    fs::path folder_;
    locale_t cNumbers_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_worksheet* selected_ = nullptr;
};

}  // namespace

XlsxSpreadsheet::XlsxSpreadsheet(std::string tempFolder) : tempFolder_(std::move(tempFolder)) {}

std::unique_ptr<SpreadsheetSession> XlsxSpreadsheet::connect() {
    std::error_code error;
    const fs::path base =
        tempFolder_.empty() ? fs::temp_directory_path(error) : fs::path(tempFolder_);
    if (error) return nullptr;
    std::string pattern = (base / "uroflow-xlsx-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return nullptr;
    const locale_t cNumbers = ::newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    if (cNumbers == static_cast<locale_t>(0)) {
        fs::remove(pattern, error);
        return nullptr;
    }
    return std::make_unique<XlsxSession>(pattern, cNumbers);
}

}  // namespace uroflow
