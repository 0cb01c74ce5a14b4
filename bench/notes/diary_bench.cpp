// The diary over ten years of daily pages (3,650 pages of Japanese RTF as
// the editor writes it): the search as a whole `mirokata-cal diary search`
// process against `grep -rF` for the same word over the same folder (warm
// cache), the month list, and opening and saving a 50,000-character page.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/settings_file.h"
#include "notes/diary_page.h"
#include "notes/diary_search.h"
#include "notes/diary_store.h"
#include "richtext/rich_document.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

extern char** environ;

namespace mirokata {
namespace {

const char* const kSentences[] = {
    "今日は朝から良い天気で、近くの公園まで散歩に出かけた。",
    "桜の花がちょうど見頃を迎えていて、たくさんの人で賑わっていた。",
    "午後は図書館で本を借りて、喫茶店でゆっくり読んだ。",
    "夕方に友人から電話があり、週末に会う約束をした。",
    "晩ご飯は久しぶりにカレーを作ったが、少し辛すぎたかもしれない。",
    "仕事の打ち合わせが長引いて、帰りが遅くなってしまった。",
    "雨の音を聞きながら、日記を書いている。",
    "明日は早起きして、駅前のパン屋に行ってみようと思う。",
    "子供の頃に住んでいた町を訪ねると、懐かしい景色が広がっていた。",
    "新しい靴を買ったので、足取りも軽く感じる。",
    "電車の窓から見える富士山がとても美しかった。",
    "体調が少し悪いので、今日は早めに休むことにする。",
};
const char* const kTitles[] = {"散歩",   "買い物", "仕事",    "旅行の計画",
                               "雨の日", "友人と", "読書",    "料理",
                               "通院",   "映画",   "家の掃除"};
const char* const kWeathers[] = {"晴",         "曇",         "雨",
                                 "晴 のち 曇", "曇 時々 雨", "雪"};
constexpr char kWord[] = "懐かしい景色";

std::string PageBody(std::mt19937& random, size_t characters) {
  RichDocument doc;
  doc.paragraphs.clear();
  size_t count = 0;
  while (count < characters) {
    RichParagraph paragraph;
    const int sentences = 1 + int(random() % 4);
    for (int s = 0; s < sentences; ++s) {
      RichCharFormat format;
      format.font = "ＭＳ Ｐゴシック";
      format.half_points = 18;
      if (random() % 7 == 0) format.bold = true;
      if (random() % 9 == 0) format.color = RichColor{255, 0, 0};
      const std::string text = kSentences[random() % std::size(kSentences)];
      AppendRunText(paragraph, format, text);
      count += text.size() / 3;
    }
    if (random() % 6 == 0) paragraph.format.list = RichListStyle::kBullet;
    doc.paragraphs.push_back(std::move(paragraph));
  }
  return WriteRtf(doc);
}

struct Diary {
  Diary() {
    char tmpl[] = "/tmp/mirokata-diary-bench-XXXXXX";
    root = ::mkdtemp(tmpl);
    folder = root + "/data/Diary";
    std::filesystem::create_directories(folder);
    SettingsFile settings(root + "/mirokata.ini");
    settings.WriteString("Calendar", "Directory", root + "/data");
    std::mt19937 random(7);
    int32_t day = DayNumber(2015, 1, 1);
    for (int i = 0; i < 3650; ++i, ++day) {
      DiaryPage page;
      page.header.title = kTitles[random() % std::size(kTitles)];
      page.header.weather = kWeathers[random() % std::size(kWeathers)];
      page.body = PageBody(random, 300 + random() % 500);
      SaveDiaryPage(folder + "/" + DiaryPageName(CivilDateOf(day)), page,
                    nullptr);
    }
  }
  ~Diary() { std::filesystem::remove_all(root); }
  std::string root, folder;
};

const Diary& Data() {
  static const Diary diary;
  return diary;
}

// Runs a program to its end with its output thrown away.
void Run(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.data()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) ==
      0) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
  }
  posix_spawn_file_actions_destroy(&actions);
}

void BM_SearchProcess(benchmark::State& state) {
  const Diary& diary = Data();
  Run({MIROKATA_CAL_PATH, "--home", diary.root, "diary", "search", kWord});
  for (auto _ : state) {
    Run({MIROKATA_CAL_PATH, "--home", diary.root, "diary", "search", kWord});
  }
}
BENCHMARK(BM_SearchProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_GrepProcess(benchmark::State& state) {
  const Diary& diary = Data();
  Run({"grep", "-rF", kWord, diary.folder});
  for (auto _ : state) Run({"grep", "-rF", kWord, diary.folder});
}
BENCHMARK(BM_GrepProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_SearchInProcess(benchmark::State& state) {
  const Diary& diary = Data();
  size_t hits = 0;
  for (auto _ : state) {
    hits = SearchDiary(diary.folder, kWord, {1, 1, 9999, 12}).size();
    benchmark::DoNotOptimize(hits);
  }
  state.counters["hits"] = double(hits);
}
BENCHMARK(BM_SearchInProcess)->Unit(benchmark::kMillisecond);

void BM_MonthList(benchmark::State& state) {
  const Diary& diary = Data();
  for (auto _ : state) {
    DiaryMonth month = ListDiaryMonth(diary.folder, 2020, 5, 2026);
    benchmark::DoNotOptimize(month);
  }
}
BENCHMARK(BM_MonthList)->Unit(benchmark::kMicrosecond);

struct BigPage {
  BigPage() {
    char tmpl[] = "/tmp/mirokata-diary-page-bench-XXXXXX";
    folder = ::mkdtemp(tmpl);
    std::mt19937 random(11);
    page.header.title = "長い日記";
    page.body = PageBody(random, 50000);
    SaveDiaryPage(folder + "/" + DiaryPageName({2024, 5, 1}), page, nullptr);
  }
  ~BigPage() { std::filesystem::remove_all(folder); }
  std::string folder;
  DiaryPage page;
};

const BigPage& Big() {
  static const BigPage big;
  return big;
}

// Open: the file read, its header taken and its body made a document.
void BM_OpenPage50k(benchmark::State& state) {
  const BigPage& big = Big();
  size_t characters = 0;
  for (auto _ : state) {
    OpenedPage opened = OpenDiaryPage(big.folder, {2024, 5, 1}, 2026, "");
    RichDocument doc = ReadRichText(opened.page.body);
    characters = PlainText(doc).size();
    benchmark::DoNotOptimize(doc);
  }
  state.counters["utf8_bytes"] = double(characters);
}
BENCHMARK(BM_OpenPage50k)->Unit(benchmark::kMillisecond);

// Save: the document written as RTF and the page replaced on disk (with its
// flush to the disk).
void BM_SavePage50k(benchmark::State& state) {
  const BigPage& big = Big();
  const RichDocument doc = ReadRichText(big.page.body);
  DiaryPage page = big.page;
  for (auto _ : state) {
    page.body = WriteRtf(doc);
    SaveDiaryPage(big.folder + "/" + DiaryPageName({2024, 5, 1}), page,
                  nullptr);
  }
}
BENCHMARK(BM_SavePage50k)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace mirokata
