#include "contacts/phone_page_store.h"

#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/file_io.h"

namespace mirokata {
namespace {

constexpr char kUnreadablePage[] = "読み込めないファイルなので表示のみです。";

}  // namespace

PhonePageStore::PhonePageStore(std::string folder)
    : folder_(std::move(folder)) {}

std::string PhonePageStore::PagePath(int page) const {
  const std::string name = PhonePageFileName(page);
  const std::string exact = folder_ + "/" + name;
  std::error_code ec;
  if (std::filesystem::exists(exact, ec)) return exact;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
    const std::string found = entry.path().filename().string();
    if (strcasecmp(found.c_str(), name.c_str()) == 0) {
      return folder_ + "/" + found;
    }
  }
  return exact;
}

PhonePage PhonePageStore::Load(int page) const {
  const std::string path = PagePath(page);
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
      size_t(info.st_size) > kMaxPhonePageBytes) {
    // Shown from its head only; the size alone keeps it from being written.
    std::string head;
    ReadFileHead(path, kMaxPhonePageBytes, &head);
    PhonePage shown = ParsePhonePage(head);
    shown.faithful = false;
    shown.problem = "8 MiB を超えるファイルなので先頭のみ表示しています。";
    return shown;
  }
  std::string bytes;
  switch (ReadWholeFile(path, &bytes)) {
    case ReadResult::kOk:
      return ParsePhonePage(bytes);
    case ReadResult::kMissing:
      return ParsePhonePage({});
    case ReadResult::kUnreadable:
      break;
  }
  PhonePage unreadable = ParsePhonePage({});
  unreadable.faithful = false;
  unreadable.problem = kUnreadablePage;
  return unreadable;
}

bool PhonePageStore::EnsureFolder(std::string* error) const {
  std::error_code ec;
  if (std::filesystem::is_directory(folder_, ec)) return true;
  if (::mkdir(folder_.c_str(), kPrivateFolderMode) == 0 ||
      std::filesystem::is_directory(folder_, ec)) {
    return true;
  }
  if (error) *error = std::error_code(errno, std::generic_category()).message();
  return false;
}

bool PhonePageStore::WritePage(int page, std::string_view bytes,
                               std::string* error) const {
  if (!EnsureFolder(error)) return false;
  // Other people's numbers and addresses: readable by the owner alone.
  return WriteFileAtomic(PagePath(page), bytes, kPrivateFileMode, error);
}

bool PhonePageStore::Save(int page, const std::vector<PhoneRow>& rows,
                          std::string* error) const {
  return WritePage(page, FormatPhonePage(rows), error);
}

bool PhonePageStore::Search(std::string_view needle, std::string* error) const {
  std::vector<std::string> found;
  for (int page = 0; page < kSearchPage; ++page) {
    const std::string path = PagePath(page);
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        size_t(info.st_size) > kMaxPhonePageBytes) {
      continue;
    }
    std::string bytes;
    if (ReadWholeFile(path, &bytes) != ReadResult::kOk) continue;
    AppendMatchingLines(bytes, needle, found);
  }
  std::string text;
  for (const std::string& line : found) {
    text += line;
    text += "\r\n";
  }
  return WritePage(kSearchPage, text, error);
}

}  // namespace mirokata
