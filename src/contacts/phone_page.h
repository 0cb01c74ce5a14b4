// The phone book's pages: comma-separated CP932 files "0.CSV" .. "12.CSV",
// one grid row per line, and the search that copies matching lines into
// the last page.
#ifndef MIROKATA_CONTACTS_PHONE_PAGE_H_
#define MIROKATA_CONTACTS_PHONE_PAGE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mirokata {

inline constexpr int kPhonePageCount = 13;
inline constexpr int kSearchPage = 12;
inline constexpr int kPhoneColumns = 6;
// A page always shows at least this many rows; longer files keep them all.
inline constexpr int kPhonePageRows = 256;
// A larger file is shown but never written back.
inline constexpr size_t kMaxPhonePageBytes = 8u << 20;
inline constexpr char kPhoneFolderName[] = "Tel";

// The cells of one row, UTF-8: at least kPhoneColumns, then any fields
// past the sixth, which are not shown but are written back.
using PhoneRow = std::vector<std::string>;

// The fields of one line, raw bytes (no decoding): blanks (codes 0 to 32)
// around fields are skipped; a field in double quotes runs to its closing
// quote ("" is one quote, a NUL inside is kept); any other field runs to
// the next comma with the blanks at its ends dropped. A line that ends
// just after a comma has an empty last field. Every step consumes input.
std::vector<std::string> ReadPhoneFields(std::string_view line);

// One line (no line end) from cells: an empty cell is written " ", a cell
// with a blank (codes 0 to 32), a double quote or a comma is quoted with
// its quotes doubled, anything else is written bare.
std::string WritePhoneFields(const std::vector<std::string>& cells);

// The lines of a file: "\r\n", "\n" and a lone "\r" end a line; the text
// after the last line end is a line when it is not empty.
std::vector<std::string_view> SplitPhoneLines(std::string_view text);

struct PhonePage {
  // At least kPhonePageRows rows, each with at least kPhoneColumns cells;
  // a cell that was a single space is empty.
  std::vector<PhoneRow> rows;
  // False when the page cannot be shown as it is on disk (bytes CP932
  // does not define, or a file over kMaxPhonePageBytes): it must stay
  // read-only and is never written.
  bool faithful = true;
  // Why it is not faithful, for the status bar.
  std::string problem;
};

// Reads a page file's bytes (CP932).
PhonePage ParsePhonePage(std::string_view bytes);

// The bytes of a page: every row as a CP932 line ending in "\r\n".
// Characters CP932 cannot hold become "?": callers check cells with
// FitsCp932 when they are edited.
std::string FormatPhonePage(const std::vector<PhoneRow>& rows);

// The empty rows of a page (kPhonePageRows of them).
std::vector<PhoneRow> EmptyPhoneRows();

// Appends to `found` the raw lines of a page file (CP932) whose decoded
// text contains `needle` (UTF-8), unchanged. Comparing decoded text keeps
// "A" from matching the trail byte of a double-byte character. An empty
// needle finds nothing.
void AppendMatchingLines(std::string_view page_bytes, std::string_view needle,
                         std::vector<std::string>& found);

// The file name of a page, as written when the folder has none yet.
std::string PhonePageFileName(int page);

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_PHONE_PAGE_H_
