// Entry names come from whatever files lie in the data folder: the parser,
// the classifier and the wildcard matcher must take any bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/entry_match.h"
#include "schedule/entry_name.h"
#include "schedule/folder_index.h"

namespace {

using mirokata::EntryClass;
using mirokata::EntryKind;

#define CHECK(cond)                \
  do {                             \
    if (!(cond)) __builtin_trap(); \
  } while (0)

EntryClass ClassOfKind(EntryKind kind) {
  switch (kind) {
    case EntryKind::kBirthday:
      return EntryClass::kBirthday;
    case EntryKind::kElapsedPopup:
      return EntryClass::kElapsedPopup;
    case EntryKind::kWeeklySchedule:
      return EntryClass::kWeeklySchedule;
    case EntryKind::kOneDaySchedule:
    case EntryKind::kYearlySchedule:
    case EntryKind::kMonthlySchedule:
      return EntryClass::kSchedule;
    default:
      return EntryClass::kPopup;
  }
}

// Plain dynamic-programming wildcard match to compare against.
bool ReferenceMatch(std::string_view p, std::string_view n) {
  std::vector<std::vector<char>> m(p.size() + 1,
                                   std::vector<char>(n.size() + 1, 0));
  m[0][0] = 1;
  for (size_t i = 1; i <= p.size(); ++i) {
    m[i][0] = p[i - 1] == '*' && m[i - 1][0];
    for (size_t j = 1; j <= n.size(); ++j) {
      if (p[i - 1] == '*') {
        m[i][j] = m[i - 1][j] || m[i][j - 1];
      } else {
        m[i][j] = (p[i - 1] == '?' || p[i - 1] == n[j - 1]) && m[i - 1][j - 1];
      }
    }
  }
  return m[p.size()][n.size()];
}

// "pattern\nname\nname...": a folder index of those names answers every
// lookup and list like a plain scan over them.
void CheckSnapshot(std::string_view input) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= input.size()) {
    size_t end = input.find('\n', start);
    if (end == std::string_view::npos) end = input.size();
    lines.emplace_back(input.substr(start, end - start));
    start = end + 1;
  }
  const std::string pattern = lines[0];
  const std::vector<std::string> names(lines.begin() + 1, lines.end());
  auto snapshot = mirokata::FolderSnapshot::FromNames(names);

  auto before = [](const std::string& a, const std::string& b) {
    const std::string ua = mirokata::UpperAscii(a);
    const std::string ub = mirokata::UpperAscii(b);
    return ua != ub ? ua < ub : a < b;
  };
  std::vector<std::string> sorted = names;
  std::sort(sorted.begin(), sorted.end(), before);
  CHECK(snapshot->AllNames() == sorted);

  std::vector<std::string> expected;
  const std::string upper_pattern = mirokata::UpperAscii(pattern);
  for (const std::string& n : sorted) {
    if (ReferenceMatch(upper_pattern, mirokata::UpperAscii(n))) {
      expected.push_back(n);
    }
  }
  std::vector<std::string> found;
  snapshot->Match(pattern, &found);
  CHECK(found == expected);

  for (const std::string& query : lines) {
    const std::string* hit = snapshot->Find(query);
    bool exact = false, folded = false;
    for (const std::string& n : names) {
      exact = exact || n == query;
      folded = folded || mirokata::UpperAscii(n) == mirokata::UpperAscii(query);
    }
    CHECK((hit != nullptr) == folded);
    if (hit != nullptr) {
      CHECK(mirokata::UpperAscii(*hit) == mirokata::UpperAscii(query));
      CHECK(!exact || *hit == query);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const EntryClass coarse = mirokata::ClassifyEntryName(input);
  if (std::optional<mirokata::EntryFields> f =
          mirokata::ParseEntryName(input)) {
    CHECK(ClassOfKind(f->kind) == coarse);
    const std::string built = mirokata::BuildEntryName(*f);
    if (!built.empty()) {
      CHECK(mirokata::ParseEntryName(built) == f);
      // The parser is the builder's inverse, up to letter case; a mask
      // written "31" is the one other spelling of every week.
      const bool mask_31 = f->kind == EntryKind::kWeeklyPopup &&
                           f->weeks == mirokata::kEveryWeek && input[6] != '_';
      CHECK(mask_31 || built == mirokata::UpperAscii(input));
    }
    if (auto date = mirokata::OneDayEntryDate(*f, 1900 + int(size) * 37)) {
      CHECK(mirokata::IsValidDate(date->year, date->month, date->day));
    }
    if (f->kind == EntryKind::kBirthday) {
      CHECK(mirokata::BirthdayAge(input, {2000, f->month, f->day}) ==
            2000 - f->year);
    }
  }

  // "pattern\nname": the wildcard matcher against the reference.
  const size_t newline = input.find('\n');
  if (newline != std::string_view::npos && size <= 256) {
    const std::string pattern(input.substr(0, newline));
    const std::string name(input.substr(newline + 1));
    CHECK(mirokata::WildcardMatch(pattern, name) ==
          ReferenceMatch(pattern, name));
    CheckSnapshot(input);
  }
  return 0;
}
