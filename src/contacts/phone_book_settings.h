// The phone book's settings (section `TelePhone`) that both its window and
// the preferences show: page titles, column captions and the dialler keys,
// with the defaults each reader falls back on.
#ifndef MIROKATA_CONTACTS_PHONE_BOOK_SETTINGS_H_
#define MIROKATA_CONTACTS_PHONE_BOOK_SETTINGS_H_

#include <string>

#include "contacts/phone_page.h"

namespace mirokata {

inline constexpr char kPhoneBookSection[] = "TelePhone";

// Tab captions; the user may rename every page but the search results.
inline constexpr const char* kPhonePageCaptions[kPhonePageCount] = {
    "電話帳", "あ", "か", "さ", "た", "な",      "は",
    "ま",     "や", "ら", "わ", "他", "検索結果"};
inline constexpr const char* kPhoneColumnCaptions[kPhoneColumns] = {
    "会社名・所属", "氏名", "電話番号", "E-Mail", "Webページ", "IPアドレス"};

// The dialler window closed with the phone book, and the gap between tones.
inline constexpr char kDiallerTitleDefault[] = "ﾀﾞｲﾔﾗｰ";
inline constexpr int kToneGapDefault = 100;
inline constexpr int kToneGapMax = 9999;

// "Title_" + page, and page + "Section_" + column.
inline std::string PhonePageTitleKey(int page) {
  return "Title_" + std::to_string(page);
}
inline std::string PhoneColumnCaptionKey(int page, int column) {
  return std::to_string(page) + "Section_" + std::to_string(column);
}

}  // namespace mirokata

#endif  // MIROKATA_CONTACTS_PHONE_BOOK_SETTINGS_H_
