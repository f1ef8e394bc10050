// The libxlsxwriter side of the cohort workbook: the workbook object, whose every call is
// checked, its cell formats and a sheet that writes texts safely. Internal to rez_report.
#pragma once

#include "atomic_file.h"
#include "file_names.h"
#include "rez_error.h"
#include "sheet_names.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace rez::xlsx {

// Colours as the window paints differences, and two fills that do not suggest good or bad.
constexpr lxw_color_t PositiveDifferenceColor = 0xFF0000;
constexpr lxw_color_t OtherDifferenceColor = 0x0000FF;
constexpr lxw_color_t BelowFirstQuartileFill = 0xD9D9D9; // light grey
constexpr lxw_color_t AboveThirdQuartileFill = 0xFFE9A8; // pale sand

// While it lives, standard error (descriptor 2) goes to the null device: the library prints
// its own failures there ("[ERROR] workbook_close(): ..." naming files of ours), while our
// message already says what failed and why. The descriptor is swapped in one step each way,
// so a worker thread that opens files meanwhile never gets it; hold this only on the thread
// that prints the run's messages, around calls into the library, so no message of ours is
// lost. errno passes through unchanged.
class LibraryOutputSetAside {
public:
    LibraryOutputSetAside() {
        std::fflush(stderr);
#ifdef _WIN32
        saved_ = ::_dup(2);
        const int null = ::_open("NUL", _O_WRONLY | _O_NOINHERIT);
        if (saved_ >= 0 && null >= 0)
            ::_dup2(null, 2);
        if (null >= 0)
            ::_close(null);
#else
        saved_ = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0)
            ::dup2(null, 2);
        if (null >= 0)
            ::close(null);
#endif
    }
    ~LibraryOutputSetAside() {
        const int error = errno;
        std::fflush(stderr);
        if (saved_ >= 0) {
#ifdef _WIN32
            ::_dup2(saved_, 2);
            ::_close(saved_);
#else
            ::dup2(saved_, 2);
            ::close(saved_);
#endif
        }
        errno = error;
    }
    LibraryOutputSetAside(const LibraryOutputSetAside&) = delete;
    LibraryOutputSetAside& operator=(const LibraryOutputSetAside&) = delete;

private:
    int saved_ = -1; // the real standard error, put back at the end
};

// Owns the libxlsxwriter workbook that writes `file`; every call's result is checked, and
// the first failure ends the writing with the name of `target` and the library's reason.
class Book {
public:
    Book(const std::filesystem::path& file, const std::filesystem::path& target,
         std::time_t created)
        : target_(target) {
        // The library's own scratch files go into the folder of `file` (the staged file's
        // private folder), not into a system folder that may be small or, on some Windows
        // set-ups, not writable.
        const std::string folder =
            BytesOfPath(file.parent_path().empty() ? "." : file.parent_path());
        lxw_workbook_options options{};
        options.tmpdir = const_cast<char*>(folder.c_str());
        book_ = workbook_new_opt(BytesOfPath(file).c_str(), &options);
        if (!book_)
            Fail("out of memory");
        lxw_doc_properties properties{};
        properties.created = created;
        Check(workbook_set_properties(book_, &properties));
    }
    ~Book() {
        if (book_) { // only after a failure: frees the library's memory
            const LibraryOutputSetAside quiet;
            workbook_close(book_);
        }
    }
    Book(const Book&) = delete;
    Book& operator=(const Book&) = delete;

    void Check(lxw_error error) const {
        if (error != LXW_NO_ERROR)
            Fail(lxw_strerror(error));
    }

    lxw_worksheet* AddSheet(std::string_view name) {
        lxw_worksheet* sheet = workbook_add_worksheet(book_, std::string(name).c_str());
        if (!sheet)
            Fail("cannot add the sheet " + std::string(name));
        return sheet;
    }

    lxw_format* Format() { return workbook_add_format(book_); }

    void Close() {
        lxw_workbook* book = book_;
        book_ = nullptr;
        errno = 0;
        const lxw_error error = workbook_close(book);
        if (error != LXW_NO_ERROR)
            Fail(errno != 0 ? std::strerror(errno) : lxw_strerror(error));
    }

private:
    [[noreturn]] void Fail(const std::string& reason) const {
        throw RezError(MsgCannotWriteFile(DisplayPath(target_), reason));
    }

    std::filesystem::path target_;
    lxw_workbook* book_ = nullptr;
};

struct Formats {
    lxw_format* bold;
    lxw_format* title;    // bold, wrapped, bottom line
    lxw_format* value;    // one decimal
    lxw_format* below;    // one decimal on the below-first-quartile fill
    lxw_format* above;    // one decimal on the above-third-quartile fill
    lxw_format* positive; // a difference above zero: bold red
    lxw_format* other;    // any other difference: bold blue
    lxw_format* quartile; // two decimals
    lxw_format* link;     // a link to a group's sheet

    explicit Formats(Book& book) {
        bold = book.Format();
        format_set_bold(bold);
        title = book.Format();
        format_set_bold(title);
        format_set_text_wrap(title);
        format_set_align(title, LXW_ALIGN_VERTICAL_TOP);
        format_set_bottom(title, LXW_BORDER_THIN);
        value = Number(book, "0.0");
        below = Number(book, "0.0");
        format_set_bg_color(below, BelowFirstQuartileFill);
        above = Number(book, "0.0");
        format_set_bg_color(above, AboveThirdQuartileFill);
        positive = Number(book, "0.0");
        format_set_bold(positive);
        format_set_font_color(positive, PositiveDifferenceColor);
        other = Number(book, "0.0");
        format_set_bold(other);
        format_set_font_color(other, OtherDifferenceColor);
        quartile = Number(book, "0.00");
        link = book.Format();
        format_set_underline(link, LXW_UNDERLINE_SINGLE);
        format_set_font_color(link, LXW_COLOR_BLUE);
    }

    static lxw_format* Number(Book& book, const char* pattern) {
        lxw_format* format = book.Format();
        format_set_num_format(format, pattern);
        return format;
    }

    lxw_format* Difference(bool positiveValue) const { return positiveValue ? positive : other; }
};

class Sheet {
public:
    Sheet(const Book& book, lxw_worksheet* sheet)
        : book_(book)
        , sheet_(sheet) {}

    // Every text goes in as a string, never as a formula, within the cell limit.
    void Text(lxw_row_t row, lxw_col_t col, std::string_view text, lxw_format* format = nullptr) {
        book_.Check(worksheet_write_string(sheet_, row, col, CellText(text).c_str(), format));
    }
    void Number(lxw_row_t row, lxw_col_t col, double value, lxw_format* format) {
        book_.Check(worksheet_write_number(sheet_, row, col, value, format));
    }
    // A link to another sheet of the workbook, showing `text`.
    void Link(lxw_row_t row, lxw_col_t col, std::string_view sheetName, std::string_view text,
              lxw_format* format) {
        // The library also copies the shown text into an attribute, where control characters
        // would break the file; the cell's own text is written over it afterwards.
        std::string plain = CellText(text);
        for (char& c : plain)
            if (static_cast<unsigned char>(c) < 0x20)
                c = '_';
        book_.Check(worksheet_write_url_opt(sheet_, row, col, InternalLink(sheetName).c_str(),
                                            format, plain.c_str(), nullptr));
        Text(row, col, text, format);
    }
    void Columns(lxw_col_t first, lxw_col_t last, double width) {
        book_.Check(worksheet_set_column(sheet_, first, last, width, nullptr));
    }
    void RowHeight(lxw_row_t row, double height) {
        book_.Check(worksheet_set_row(sheet_, row, height, nullptr));
    }
    void Check(lxw_error error) const { book_.Check(error); }
    lxw_worksheet* get() const { return sheet_; }

private:
    const Book& book_;
    lxw_worksheet* sheet_;
};

} // namespace rez::xlsx
