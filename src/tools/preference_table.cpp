#include "tools/preference_table.h"

#include <strings.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/settings_file.h"
#include "calendar/holidays.h"
#include "contacts/phone_book_settings.h"
#include "mainwin/month_grid.h"
#include "platform/color/color_value.h"

namespace mirokata {
namespace {

using P = PreferencePage;
using T = PreferenceType;
using C = PreferenceControl;

constexpr const char* kPageTitles[kPreferencePageCount] = {
    "基本設定", "拡張設定", "補助設定",  "ｶﾚﾝﾀﾞｰ",     "ｽｹｼﾞｭｰﾙ",
    "メモ",     "日記",     "ﾎﾟｯﾌﾟｱｯﾌﾟ", "簡易電話帳", "ﾊﾞｰｼﾞｮﾝ情報"};
constexpr const char* kPageHelp[kPreferencePageCount] = {
    "基本の設定です。",
    "基本以外の動作設定です。",
    "右クリックメニュー項目の設定です。",
    "カレンダーの設定です。",
    "カレンダーの設定です。",
    "メモの配色、動作の設定です。",
    "日記のカスタマイズ",
    "ポップアップスケジュールの設定です。",
    "簡易電話帳と、ダイヤラの設定です。",
    ""};

constexpr char kDefaultFont[] = "ＭＳ Ｐゴシック";
constexpr char kMemoGroup[] = "メモのデフォルト値の設定";
constexpr char kMemoHelp[] = "メモの動作を設定できます。";
constexpr char kDiaryGroup[] = "日記";
constexpr char kDiaryHelp[] = "日記の動作を設定できます。";
constexpr char kLazyGroup[] = "３日坊主の防止";
constexpr char kLazyHelp[] = "日記を強制的に表示し記入を促します。";

std::string ColorText(ColorValue value) {
  return std::to_string(ColorValueToInt(value));
}

class TableBuilder {
 public:
  PreferenceItem& Add(P page, const char* section, const std::string& key,
                      T type, std::string default_value, C control,
                      std::string caption, std::string help = {},
                      std::string group = {}) {
    PreferenceItem item;
    item.section = section;
    item.key = key;
    item.type = type;
    item.default_value = std::move(default_value);
    item.page = page;
    item.control = control;
    item.caption = std::move(caption);
    item.help = std::move(help);
    item.group = std::move(group);
    items_.push_back(std::move(item));
    return items_.back();
  }
  PreferenceItem& Check(P page, const char* section, const char* key, bool on,
                        const char* caption, const char* help = "",
                        const char* group = "") {
    return Add(page, section, key, T::kBool, on ? "1" : "0", C::kCheck, caption,
               help, group);
  }
  PreferenceItem& Choice(P page, const char* section, const char* key,
                         int default_value, const char* caption,
                         std::vector<std::string> options,
                         const char* group = "") {
    PreferenceItem& item =
        Add(page, section, key, T::kInteger, std::to_string(default_value),
            C::kChoice, caption, "", group);
    item.high = static_cast<int>(options.size()) - 1;
    item.options = std::move(options);
    return item;
  }
  PreferenceItem& Number(P page, const char* section, const char* key,
                         int default_value, int low, int high,
                         const char* caption, const char* unit,
                         const char* help = "", const char* group = "") {
    PreferenceItem& item =
        Add(page, section, key, T::kInteger, std::to_string(default_value),
            C::kNumber, caption, help, group);
    item.low = low;
    item.high = high;
    item.unit = unit;
    return item;
  }
  PreferenceItem& Color(P page, const char* section, const char* key,
                        ColorValue default_value, const char* caption,
                        const char* group = "", const char* help = "") {
    return Add(page, section, key, T::kColor, ColorText(default_value),
               C::kColor, caption, help, group);
  }
  std::vector<PreferenceItem> Take() { return std::move(items_); }

 private:
  std::vector<PreferenceItem> items_;
};

std::vector<PreferenceItem> BuildTable() {
  TableBuilder t;
  // 基本設定
  t.Choice(
      P::kBasic, "Setup", "Cal_DBLC", 0, "カレンダーのダブルクリック",
      {"ポップアップを記入", "スケジュールを記入", "スケジュール管理を表示",
       "指定日に移動を表示", "日記タイトル一覧を表示"});
  t.Choice(P::kBasic, "Form", "Tray_icon", 0, "アイコンの表示",
           {"トレイ", "タスクバー", "タスクバー＆トレイ", "なし"});
  t.Choice(
      P::kBasic, "Setup", "MIcon_DBLC", 0,
      "トレイのメモアイコンのダブルクリック",
      {"日記タイトル一覧を表示", "スケジュール一覧を表示", "ポップアップの登録",
       "スケジュールの登録", "受信メールチェック", "簡易電話帳を表示"});
  t.Choice(P::kBasic, "Form", "Resource", 0, "空メモリの取得方法",
           {"Win98(GlobalMemoryStatus)", "Win3.1(GDI/USER)"});

  // 拡張設定
  t.Check(P::kExtended, "Form", "Today_pop", false,
          "起動時にｽｹｼﾞｭｰﾙ一覧を表示");
  t.Check(P::kExtended, "Form", "Todo_pop", false, "起動時にTodoボードを表示");
  t.Check(P::kExtended, "Form", "BirthPop", true,
          "誕生日お知らせウィンドウを表示",
          "誕生日になるとポップアップでお知らせします。");
  t.Check(P::kExtended, "Form", "Qreki", false, "ｽｹｼﾞｭｰﾙに六曜を表示",
          "六曜とは、大安や仏滅などの事です。");
  t.Check(P::kExtended, "Form", "Delete", false,
          "データの削除時に確認をしない｡",
          "削除されたデータは復旧できませんので注意!!");
  t.Add(P::kExtended, "Pop_Born", "file", T::kString, "", C::kSound,
        "誕生日ﾎﾟｯﾌﾟｱｯﾌﾟのｻｳﾝﾄﾞ", "誕生日がポップアップする時のサウンド。");
  t.Check(P::kExtended, "Password", "Use", false, "パスワード機能を使う。",
          "使用前に必ずヘルプを読んでください。。");
  t.Number(P::kExtended, "Form", "Interval", 1000, 1000, 10000,
           "タイマー割込み間隔", "ミリ秒（通常は1000で設定してください。）",
           "大きな数値にすると時計表示が秒飛びになります。")
      .step = 100;
  t.Check(P::kExtended, "Form", "AnalogClock", false,
          "月齢にアナログ時計を表示",
          "月齢表示の際にアナログ時計も表示します。");
  // Shown as the day pop-view reads it: an absent key is off.
  t.Check(P::kExtended, "CalendarEx", "PopView", false,
          "ｽｹｼﾞｭｰﾙのﾎﾟｯﾌﾟﾋﾞｭｰﾜｰを使用",
          "使用しなければカレンダーの日付変更が高速に動作します。");
  t.Check(P::kExtended, "ToolWindow", "Separate", false,
          "ドロップファイルの区切りはスペース");
  t.Check(P::kExtended, "Form", "Move", false, "ウィンドウの位置を固定");
  t.Check(P::kExtended, "ToolWindow", "StayOnTop", false,
          "ウィンドウを常に手前に表示");
  t.Check(P::kExtended, "Form", "ModeSave", false,
          "ウィンドウ位置を各モードで記憶");
  t.Check(P::kExtended, "Form", "Waveplay", true, "操作に伴う効果音を鳴らす。");
  t.Check(P::kExtended, "Form", "minitokei", false,
          "ミニ時計モードをベースにする。");

  // 補助設定
  t.Choice(P::kHelper, "Setup", "Period", 1, "Period", {"有効", "無効"});
  constexpr char kMenuGroup[] = "右ｸﾘｯｸﾒﾆｭｰの設定";
  t.Choice(P::kHelper, "Setup", "Reboot", 1, "Windowsの終了ﾒﾆｭｰ",
           {"表示", "非表示"}, kMenuGroup);
  t.Check(P::kHelper, "Setup", "Reboot_exec", false,
          "ランチャーメニューにも表示", "", kMenuGroup);
  t.Add(P::kHelper, "Form", "Period_Cap", T::kString, "Period", C::kText,
        "右ｸﾘｯｸﾒﾆｭｰの表示項目名", "", kMenuGroup);
  t.Choice(P::kHelper, "Setup", "DblClick", 0,
           "日付・時間・リソース表示部分のダブルクリック",
           {"ポップアップの登録", "スケジュールの登録", "スケジュール管理",
            "予定一覧", "ToDoボード", "誕生日管理", "日記タイトル一覧",
            "簡易電話帳"});
  t.Choice(P::kHelper, "Form", "Hotkey", 0, "ランチャーのホットキー設定",
           {"Windows + SPACEキー", "CTRL + SPACEキー"});

  // ｶﾚﾝﾀﾞｰ
  t.Check(P::kCalendar, kCalendarExSection, kHolidayLawKey, true,
          "祝日は祝日法のとおりにする",
          "祝日法の改正の年ごとに、その年の祝日を求めます。");
  t.Check(P::kCalendar, kCalendarExSection, kHappyMondayKey, true,
          "ハッピーマンデー対応", "成人の日、体育の日を第２月曜とします。");
  constexpr const char* kGridCaptions[kGridColorCount] = {
      "平日の色", "日曜日の色", "土曜日の色",
      "休日の色", "予定日の色", "前・翌月の色"};
  for (int i = 0; i < kGridColorCount; ++i) {
    t.Color(P::kCalendar, kCalendarExSection, GridColorKey(i),
            kMainWindowGridColors[i], kGridCaptions[i]);
  }
  t.Check(P::kCalendar, kCalendarExSection, "CanCol_All", false,
          "全ての予定日、誕生日の色変更をしない。");
  t.Check(P::kCalendar, kCalendarExSection, "CanCol_Mon", false,
          "毎月○日の予定は色変更しない。");
  t.Check(P::kCalendar, kCalendarExSection, "CanCol_Day", false,
          "毎年○月○日の予定は色変更しない。");
  t.Check(P::kCalendar, kCalendarExSection, "CanCol_Week", false,
          "毎週、第×週○曜日の予定は色変更しない。");
  t.Check(P::kCalendar, kCalendarExSection, "CanCol_todo", false,
          "○年○月○日の予定は色変更しない。");
  t.Check(P::kCalendar, kCalendarExSection, "CanCol_Born", false,
          "誕生日は色変更しない。");

  // ｽｹｼﾞｭｰﾙ: text and background of the past, today and the future.
  const struct {
    const char* group;
    const char* text_key;
    const char* back_key;
    ColorValue text, back;
  } kTimes[] = {
      {"過去", "PastColor", "PastBackColor", kClWhite, kClActiveCaption},
      {"当日", "TodayColor", "TodayBackColor", kClWhite, kClBtnShadow},
      {"未来", "FutureColor", "FutureBackColor", kClNavy, kClMenu},
  };
  for (const auto& time : kTimes) {
    t.Color(P::kSchedule, "To_do", time.text_key, time.text, "フォント色",
            time.group);
    t.Color(P::kSchedule, "To_do", time.back_key, time.back, "背景色",
            time.group);
  }

  // メモ
  t.Color(P::kMemo, "Memo", "BackColor", kClYellow, "背景色", kMemoGroup,
          kMemoHelp);
  t.Color(P::kMemo, "Memo", "FontColor", kClBlack, "フォント色", kMemoGroup,
          kMemoHelp);
  t.Add(P::kMemo, "Memo", "FontName", T::kString, kDefaultFont, C::kFont,
        "フォント", kMemoHelp, kMemoGroup);
  t.Number(P::kMemo, "Memo", "FontSize", 9, 1, 72, "文字サイズ", "", kMemoHelp,
           kMemoGroup);
  t.Check(P::kMemo, "Memo", "Caption", false,
          "新規メモを開いたら題名記入ウィンドウを表示", kMemoHelp, kMemoGroup);
  t.Check(P::kMemo, "Memo", "DropCaption", false,
          "ドロップした場合はファイル名を題名にする", kMemoHelp, kMemoGroup);
  t.Choice(P::kMemo, "Form", "PastePic", 0, "画像貼り付けの保存形式",
           {"JPEG", "Bitmap"}, kMemoGroup)
      .help = kMemoHelp;
  // Unset, a new memo goes beside the main window and takes its size.
  const struct {
    const char* key;
    const char* caption;
    int low, high;
  } kPlacement[] = {{"top", "上", -9999, 9999},
                    {"left", "左", -9999, 9999},
                    {"Width", "幅", 16, 9999},
                    {"Height", "高さ", 16, 9999}};
  for (const auto& p : kPlacement) {
    PreferenceItem& item =
        t.Add(P::kMemo, "Memo", p.key, T::kOptionalInteger, "", C::kNumber,
              p.caption, kMemoHelp, "新規メモの位置、サイズの指定");
    item.low = p.low;
    item.high = p.high;
  }

  // 日記
  t.Color(P::kDiary, "Nikki", "BackColor", kClWhite, "背景色", kDiaryGroup,
          kDiaryHelp);
  t.Color(P::kDiary, "Nikki", "FontColor", kClWindowText, "フォント色",
          kDiaryGroup, kDiaryHelp);
  t.Add(P::kDiary, "Nikki", "FontName", T::kString, kDefaultFont, C::kFont,
        "フォント", kDiaryHelp, kDiaryGroup);
  t.Number(P::kDiary, "Nikki", "FontSize", 9, 1, 72, "文字サイズ", "",
           kDiaryHelp, kDiaryGroup);
  t.Check(P::kDiary, "Nikki", "Auto", false, "有効にする。", kLazyHelp,
          kLazyGroup);
  t.Number(P::kDiary, "Nikki", "Auto_H", 0, 0, 23, "毎日", "時", kLazyHelp,
           kLazyGroup);
  t.Number(P::kDiary, "Nikki", "Auto_M", 0, 0, 59, "",
           "分に日記タイトル一覧を表示自動的に開く。", kLazyHelp, kLazyGroup);

  // ﾎﾟｯﾌﾟｱｯﾌﾟ
  t.Number(P::kPopup, "Calendar", "before", 0, 0, 59, "ﾎﾟｯﾌﾟｱｯﾌﾟを予定の",
           "分前に表示させる。", "指定した時間だけ早くポップアップします。。");
  t.Add(P::kPopup, "Calendar", "file", T::kString, "", C::kSound,
        "ｽｹｼﾞｭｰﾙ ﾎﾟｯﾌﾟｱｯﾌﾟのｻｳﾝﾄﾞ",
        "Popupスケジュールが表示される時のサウンド。");
  t.Add(P::kPopup, "Calendar", "bitmap", T::kString, "", C::kPicture, "画像");
  t.Check(P::kPopup, "Calendar", "Stretch", false, "ストレッチ解除");
  t.Check(P::kPopup, "Form", "Exec_List", false,
          "ポップアップと共にスケジュール一覧を開く。");
  t.Check(P::kPopup, "Form", "Kill_List", false,
          "同様にスケジュール一覧を閉じる。");

  // 簡易電話帳: the twelve pages' titles and column captions.
  for (int page = 0; page < kSearchPage; ++page) {
    t.Add(P::kPhoneBook, kPhoneBookSection, PhonePageTitleKey(page), T::kString,
          kPhonePageCaptions[page], C::kText, "題名");
    for (int column = 0; column < kPhoneColumns; ++column) {
      t.Add(P::kPhoneBook, kPhoneBookSection,
            PhoneColumnCaptionKey(page, column), T::kString,
            kPhoneColumnCaptions[column], C::kText,
            "項目" + std::to_string(column + 1));
    }
  }
  t.Add(P::kPhoneBook, kPhoneBookSection, "Browser", T::kString, "",
        C::kProgram, "ブラウザ",
        "入力が無ければ関連付けされたブラウザを起動します。");
  t.Add(P::kPhoneBook, kPhoneBookSection, "Mailer", T::kString, "", C::kProgram,
        "メーラー", "入力が無ければ関連付けされたメーラーを起動します。");
  t.Check(P::kPhoneBook, kPhoneBookSection, "Close", false,
          "ダイヤラを閉じる。",
          "簡易電話帳を閉じる時ダイヤラも閉じるならチェック。");
  t.Add(P::kPhoneBook, kPhoneBookSection, "CloseTitle", T::kString,
        kDiallerTitleDefault, C::kText, "ダイヤラのタイトル",
        "閉じたい窓のタイトルを入力。");
  t.Number(P::kPhoneBook, kPhoneBookSection, "Sleep", kToneGapDefault, 0,
           kToneGapMax, "トール音の間隔", "ミリ秒",
           "スピーカからのトール音（プッシュ）間隔を設定します。");
  return t.Take();
}

// An integer as the settings file reads it, or nothing for garbage.
bool ParseWhole(std::string_view raw, long long* value) {
  // Two different defaults tell garbage from a number.
  const int a = SettingsFile::ParseInteger(raw, INT_MIN);
  const int b = SettingsFile::ParseInteger(raw, INT_MAX);
  if (a != b) return false;
  *value = a;
  return true;
}

}  // namespace

const char* PreferencePageTitle(PreferencePage page) {
  return kPageTitles[static_cast<int>(page)];
}

const char* PreferencePageHelp(PreferencePage page) {
  return kPageHelp[static_cast<int>(page)];
}

const std::vector<PreferenceItem>& PreferenceTable() {
  static const std::vector<PreferenceItem> table = BuildTable();
  return table;
}

int PreferenceIndex(std::string_view section, std::string_view key) {
  const auto& table = PreferenceTable();
  auto same = [](const std::string& a, std::string_view b) {
    return a.size() == b.size() &&
           strncasecmp(a.data(), b.data(), a.size()) == 0;
  };
  for (size_t i = 0; i < table.size(); ++i) {
    if (same(table[i].section, section) && same(table[i].key, key)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string NormalizePreference(const PreferenceItem& item, bool present,
                                std::string_view raw) {
  if (!present) return item.default_value;
  long long number = 0;
  switch (item.type) {
    case PreferenceType::kString:
      return std::string(raw);
    case PreferenceType::kBool:
      if (!ParseWhole(raw, &number)) return item.default_value;
      return number != 0 ? "1" : "0";
    case PreferenceType::kColor:
      if (!ParseWhole(raw, &number)) return item.default_value;
      return std::to_string(number);
    case PreferenceType::kInteger:
    case PreferenceType::kOptionalInteger:
      if (!ParseWhole(raw, &number)) return item.default_value;
      return std::to_string(std::clamp<long long>(number, item.low, item.high));
  }
  return item.default_value;
}

PreferenceValues PreferenceValues::Load(const SettingsReader& settings) {
  PreferenceValues values;
  const auto& table = PreferenceTable();
  values.loaded_.reserve(table.size());
  for (const PreferenceItem& item : table) {
    const bool present = settings.HasKey(item.section, item.key);
    values.loaded_.push_back(NormalizePreference(
        item, present,
        present ? settings.ReadString(item.section, item.key, "") : ""));
  }
  values.current_ = values.loaded_;
  return values;
}

int PreferenceValues::GetInt(int index) const {
  return SettingsFile::ParseInteger(current_[index], 0);
}

bool PreferenceValues::GetBool(int index) const {
  return current_[index] == "1";
}

void PreferenceValues::Set(int index, std::string_view value) {
  const PreferenceItem& item = PreferenceTable()[index];
  if (item.type == PreferenceType::kOptionalInteger && value.empty()) {
    current_[index].clear();
    return;
  }
  current_[index] = NormalizePreference(item, true, value);
}

std::vector<int> PreferenceValues::ChangedItems() const {
  std::vector<int> changed;
  for (size_t i = 0; i < current_.size(); ++i) {
    if (current_[i] != loaded_[i]) changed.push_back(static_cast<int>(i));
  }
  return changed;
}

void PreferenceValues::WriteChanged(SettingsBatch& batch) const {
  const auto& table = PreferenceTable();
  for (int i : ChangedItems()) {
    const PreferenceItem& item = table[i];
    if (current_[i].empty() && item.type == PreferenceType::kOptionalInteger) {
      batch.DeleteKey(item.section, item.key);
    } else {
      batch.WriteString(item.section, item.key, current_[i]);
    }
  }
}

}  // namespace mirokata
