#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/settings_file.h"
#include "richtext/rtf_writer.h"
#include "schedule/entry_text.h"
#include "schedule/ical_export.h"
#include "schedule/ical_import.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

using Lines = std::vector<std::string>;

// 1 January 2023 a Sunday holiday, 2 January its substitute Monday.
HolidayTest NewYear2023() {
  return [](int y, int m, int d) {
    return y == 2023 && m == 1 && (d == 1 || d == 2);
  };
}

IcalExportOptions Options() {
  IcalExportOptions o;
  o.from = {2023, 1, 1};
  o.to = {2023, 3, 31};
  o.before_minutes = 10;
  o.time_zone = "Asia/Tokyo";
  o.folder_key = "/home/me/Schedule";
  o.now_utc = 1672531200;  // 2023-01-01T00:00:00Z
  return o;
}

Lines Unfold(const std::string& text) {
  Lines lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line[0] == ' ' && !lines.empty()) {
      lines.back() += line.substr(1);
    } else {
      lines.push_back(line);
    }
    start = end + 2;
  }
  return lines;
}

// The lines of the event whose UID starts with the name, without its
// BEGIN/END, UID and DTSTAMP.
Lines EventOf(const Lines& all, const std::string& name) {
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i].rfind("UID:" + name + "-", 0) != 0) continue;
    Lines event;
    int depth = 0;
    for (size_t j = i + 1; j < all.size(); ++j) {
      if (all[j].rfind("BEGIN:", 0) == 0) ++depth;
      if (all[j] == "END:VEVENT" && depth == 0) break;
      if (all[j].rfind("END:", 0) == 0) --depth;
      if (all[j].rfind("DTSTAMP:", 0) != 0) event.push_back(all[j]);
    }
    return event;
  }
  return {};
}

bool Has(const Lines& lines, const std::string& prefix) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
    return l.rfind(prefix, 0) == 0;
  });
}

class IcalExportTest : public ::testing::Test {
 protected:
  std::string Export(IcalExportOptions o = Options()) {
    EntryFolder folder(folder_.path());
    left_out_.clear();
    return ExportIcal(folder, NewYear2023(), o, &left_out_);
  }
  TempFolder folder_;
  std::vector<std::string> left_out_;
};

struct KindCase {
  const char* name;
  Lines lines;  // present, in this order
  bool alarm;
};

TEST_F(IcalExportTest, EachKindIsOneEvent) {
  const KindCase cases[] = {
      {"____0214.23", {"DTSTART;VALUE=DATE:20230214"}, false},
      {"10300301.23",
       {"DTSTART;TZID=Asia/Tokyo:20230301T103000", "ACTION:DISPLAY",
        "TRIGGER:-PT10M"},
       true},
      {"____0229.__",
       {"DTSTART;VALUE=DATE:20240229",
        "RRULE:FREQ=YEARLY;BYMONTHDAY=29;BYMONTH=2"},
       false},
      {"______31.__",
       {"DTSTART;VALUE=DATE:20230131", "RRULE:FREQ=MONTHLY;BYMONTHDAY=31"},
       false},
      {"0900__15.__",
       {"DTSTART;TZID=Asia/Tokyo:20230115T090000",
        "RRULE:FREQ=MONTHLY;BYMONTHDAY=15"},
       true},
      {"________.WED",
       {"DTSTART;VALUE=DATE:20230104", "RRULE:FREQ=WEEKLY;BYDAY=WE"},
       false},
      {"~_~_~___.TUE",
       {"DTSTART;VALUE=DATE:20230110", "RRULE:FREQ=MONTHLY;BYDAY=2TU,4TU"},
       false},
      {"~~~~~___.FRI",
       {"DTSTART;VALUE=DATE:20230127", "RRULE:FREQ=MONTHLY;BYDAY=-1FR"},
       false},
      {"0800__05.MON",
       {"DTSTART;TZID=Asia/Tokyo:20230102T080000",
        "RRULE:FREQ=MONTHLY;BYDAY=1MO,3MO"},
       true},
      {"1800__32.THU",
       {"DTSTART;TZID=Asia/Tokyo:20230126T180000",
        "RRULE:FREQ=MONTHLY;BYDAY=-1TH"},
       true},
      {"0730____.__",
       {"DTSTART;TZID=Asia/Tokyo:20230101T073000", "RRULE:FREQ=DAILY"},
       true},
      {"BORN0505.1990",
       {"DTSTART;VALUE=DATE:19900505",
        "RRULE:FREQ=YEARLY;BYMONTHDAY=5;BYMONTH=5"},
       false},
  };
  for (const KindCase& c : cases) folder_.Touch(c.name, "");
  const Lines all = Unfold(Export());
  for (const KindCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Lines event = EventOf(all, c.name);
    ASSERT_FALSE(event.empty());
    auto at = event.begin();
    for (const std::string& line : c.lines) {
      at = std::find(at, event.end(), line);
      EXPECT_NE(at, event.end()) << line;
    }
    EXPECT_FALSE(Has(event, "RDATE"));
    EXPECT_EQ(Has(event, "RRULE:"), c.lines.size() > 1 && c.lines[1][0] == 'R');
    EXPECT_EQ(Has(event, "BEGIN:VALARM"), c.alarm);
  }
  EXPECT_TRUE(left_out_.empty());
}

TEST_F(IcalExportTest, MovedEntriesAreTheirDaysWithTheRuleInWords) {
  // 1 January a Sunday holiday, 2 January a holiday: both move to the 3rd.
  folder_.Touch("_~__0101.__", "");
  folder_.Touch("0900__01.~_", "");
  // 1 April 2023 a Saturday: to Friday 31 March, inside the range.
  folder_.Touch("~_~~__01.__", "");
  const Lines all = Unfold(Export());
  const Lines yearly = EventOf(all, "_~__0101.__");
  EXPECT_TRUE(Has(yearly, "DTSTART;VALUE=DATE:20230103"));
  EXPECT_FALSE(Has(yearly, "RRULE"));
  EXPECT_FALSE(Has(yearly, "RDATE"));
  EXPECT_TRUE(Has(yearly, "COMMENT:毎年1月1日(休日:翌日)"));

  const Lines popup = EventOf(all, "0900__01.~_");
  EXPECT_TRUE(Has(popup, "DTSTART;TZID=Asia/Tokyo:20230103T090000"));
  EXPECT_TRUE(Has(popup, "RDATE;TZID=Asia/Tokyo:20230201T090000"));
  EXPECT_TRUE(Has(popup, "RDATE;TZID=Asia/Tokyo:20230301T090000"));
  EXPECT_TRUE(Has(popup, "BEGIN:VALARM"));

  const Lines monthly = EventOf(all, "~_~~__01.__");
  const Lines want = {"DTSTART;VALUE=DATE:20230201",
                      "RDATE;VALUE=DATE:20230301", "RDATE;VALUE=DATE:20230331"};
  for (const std::string& line : want) {
    EXPECT_TRUE(Has(monthly, line)) << line;
  }
  // Sunday 1 January moves back out of the range: not listed.
  EXPECT_FALSE(Has(monthly, "RDATE;VALUE=DATE:202212"));
}

TEST_F(IcalExportTest, LeavesOutWhatHasNoDay) {
  folder_.Touch("W0000600.__", "");
  folder_.Touch("BORN0229.1981", "");
  folder_.Touch("_~__1231.__", "");  // moves out of the range
  folder_.Touch("____0101.23", "");
  const std::string text = Export();
  EXPECT_EQ(left_out_.size(), 3u);
  EXPECT_EQ(std::count(text.begin(), text.end(), 'V') > 0, true);
  const Lines all = Unfold(text);
  EXPECT_EQ(std::count(all.begin(), all.end(), "BEGIN:VEVENT"), 1);
  // No popup: no zone.
  EXPECT_FALSE(Has(all, "BEGIN:VTIMEZONE"));
}

TEST_F(IcalExportTest, UidsStayForTheSameFolder) {
  folder_.Touch("____0214.23", "");
  folder_.Touch("0730____.__", "");
  auto uids = [](const std::string& text) {
    std::set<std::string> s;
    for (const std::string& l : Unfold(text)) {
      if (l.rfind("UID:", 0) == 0) s.insert(l);
    }
    return s;
  };
  IcalExportOptions later = Options();
  later.now_utc += 86400;
  later.from = {2022, 1, 1};
  const std::set<std::string> first = uids(Export());
  EXPECT_EQ(first.size(), 2u);
  EXPECT_EQ(uids(Export(later)), first);
  IcalExportOptions other = Options();
  other.folder_key = "/home/me/Other";
  std::set<std::string> moved = uids(Export(other));
  std::vector<std::string> common;
  std::set_intersection(first.begin(), first.end(), moved.begin(), moved.end(),
                        std::back_inserter(common));
  EXPECT_TRUE(common.empty());
}

TEST_F(IcalExportTest, TextIsEscapedFoldedAndInCrLfLines) {
  folder_.Touch("10300301.23",
                "a,b;c\\d\r\n" + std::string(100, 'x') + "\r\nthird");
  const std::string text = Export();
  EXPECT_EQ(text.rfind("BEGIN:VCALENDAR\r\n", 0), 0u);
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LE(end - start, 75u);
    EXPECT_EQ(text.substr(start, end - start).find('\n'), std::string::npos);
    start = end + 2;
  }
  const Lines event = EventOf(Unfold(text), "10300301.23");
  EXPECT_TRUE(Has(event, "SUMMARY:a\\,b\\;c\\\\d"));
  EXPECT_TRUE(Has(event, "DESCRIPTION:a\\,b\\;c\\\\d\\n" +
                             std::string(100, 'x') + "\\nthird"));
  // The zone the times refer to, under the same name.
  const Lines all = Unfold(text);
  EXPECT_TRUE(std::find(all.begin(), all.end(), "TZID:Asia/Tokyo") !=
              all.end());
}

// Import.

std::string Calendar(const std::string& events) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n" + events +
         "END:VCALENDAR\r\n";
}

std::string Event(const std::string& body, bool alarm = false) {
  return "BEGIN:VEVENT\r\nUID:u\r\nDTSTAMP:20230101T000000Z\r\n"
         "SUMMARY:s\r\n" +
         body +
         (alarm ? "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:r\r\n"
                  "TRIGGER:-PT5M\r\nEND:VALARM\r\n"
                : "") +
         "END:VEVENT\r\n";
}

struct ImportCase {
  std::string body;
  bool alarm;
  std::string name;    // expected name, or
  std::string reason;  // a part of the refusal
};

TEST(IcalImportTest, EachFormOneNameHolds) {
  const ImportCase cases[] = {
      {"DTSTART;VALUE=DATE:20230214\r\nDTEND;VALUE=DATE:20230215\r\n", false,
       "____0214.23", ""},
      {"DTSTART;TZID=Asia/Tokyo:20230301T103000\r\n", true, "10300301.23", ""},
      {"DTSTART:20230301T013000Z\r\n", true, "10300301.23", ""},
      {"DTSTART;TZID=Asia/Tokyo:20230301T103000\r\n", false, "____0301.23", ""},
      {"DTSTART;VALUE=DATE:19600225\r\nRRULE:FREQ=YEARLY\r\n", false,
       "____0225.__", ""},
      {"DTSTART;VALUE=DATE:19600225\r\n"
       "RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=25\r\n",
       false, "____0225.__", ""},
      {"DTSTART;TZID=Asia/Tokyo:20230225T080000\r\nRRULE:FREQ=YEARLY\r\n", true,
       "08000225.__", ""},
      {"DTSTART;VALUE=DATE:20230110\r\nRRULE:FREQ=MONTHLY\r\n", false,
       "______10.__", ""},
      {"DTSTART;TZID=Asia/Tokyo:20230110T090000\r\n"
       "RRULE:FREQ=MONTHLY;BYMONTHDAY=10\r\n",
       true, "0900__10.__", ""},
      {"DTSTART;VALUE=DATE:20230104\r\nRRULE:FREQ=WEEKLY;BYDAY=WE\r\n", false,
       "________.WED", ""},
      {"DTSTART;TZID=Asia/Tokyo:20230104T190000\r\nRRULE:FREQ=WEEKLY\r\n", true,
       "1900____.WED", ""},
      {"DTSTART;VALUE=DATE:20230110\r\nRRULE:FREQ=MONTHLY;BYDAY=2TU,4TU\r\n",
       false, "~_~_~___.TUE", ""},
      {"DTSTART;VALUE=DATE:20230127\r\nRRULE:FREQ=MONTHLY;BYDAY=-1FR\r\n",
       false, "~~~~~___.FRI", ""},
      {"DTSTART;TZID=Asia/Tokyo:20230102T080000\r\n"
       "RRULE:FREQ=MONTHLY;BYDAY=1MO,3MO\r\n",
       true, "0800__05.MON", ""},
      {"DTSTART;TZID=Asia/Tokyo:20230127T180000\r\n"
       "RRULE:FREQ=MONTHLY;BYDAY=-1FR\r\n",
       true, "1800__32.FRI", ""},
      {"DTSTART;TZID=Asia/Tokyo:20230101T070000\r\nRRULE:FREQ=DAILY\r\n", true,
       "0700____.__", ""},

      {"DTSTART;VALUE=DATE:20230101\r\nRRULE:FREQ=DAILY;COUNT=0\r\n", false, "",
       "unreadable"},
      {"DTSTART;VALUE=DATE:20230101\r\nRRULE:FREQ=WEEKLY;COUNT=5\r\n", false,
       "", "ends"},
      {"DTSTART;VALUE=DATE:20230101\r\n"
       "RRULE:FREQ=WEEKLY;UNTIL=20220101\r\n",
       false, "", "ends"},
      {"DTSTART;VALUE=DATE:20230101\r\nRRULE:FREQ=WEEKLY;INTERVAL=2\r\n", false,
       "", "INTERVAL"},
      {"DTSTART;VALUE=DATE:20230102\r\nRRULE:FREQ=WEEKLY;BYDAY=MO,WE,FR\r\n",
       false, "", "several weekdays"},
      {"DTSTART;VALUE=DATE:20230102\r\nRRULE:FREQ=WEEKLY;BYDAY=TU\r\n", false,
       "", "another weekday"},
      {"DTSTART;VALUE=DATE:20230101\r\nRRULE:FREQ=DAILY\r\n", false, "",
       "daily without an alarm"},
      {"DTSTART:20230101T070000\r\nRRULE:FREQ=HOURLY\r\n", true, "",
       "more often"},
      {"DTSTART;VALUE=DATE:20230310\r\nDTEND;VALUE=DATE:20230313\r\n", false,
       "", "several days"},
      {"DTSTART;VALUE=DATE:20230101\r\nRRULE:FREQ=YEARLY\r\n"
       "EXDATE;VALUE=DATE:20240101\r\n",
       false, "", "excluded"},
      {"DTSTART;VALUE=DATE:20230101\r\n"
       "RECURRENCE-ID;VALUE=DATE:20230101\r\n",
       false, "", "one day of a series"},
      {"LOCATION:x\r\n", false, "", "no start"},
      {"DTSTART;VALUE=DATE:20230131\r\n"
       "RRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1\r\n",
       false, "", "rule part"},
      {"DTSTART;VALUE=DATE:20230110\r\nRRULE:FREQ=MONTHLY;BYDAY=2TU,-1TU\r\n",
       false, "", "weeks"},
      {"DTSTART;VALUE=DATE:20230110\r\nRRULE:FREQ=YEARLY;BYMONTH=3\r\n", false,
       "", "other days"},
  };
  for (const ImportCase& c : cases) {
    SCOPED_TRACE(c.body);
    const IcalEvents read =
        ReadIcalEvents(Calendar(Event(c.body, c.alarm)), "Asia/Tokyo");
    ASSERT_TRUE(read.readable) << read.error;
    ASSERT_EQ(read.events.size(), 1u);
    EXPECT_EQ(read.events[0].name, c.name);
    if (!c.reason.empty()) {
      EXPECT_NE(read.events[0].reason.find(c.reason), std::string::npos)
          << read.events[0].reason;
    }
  }
}

TEST(IcalImportTest, BadInputIsRefusedWhole) {
  const std::string inputs[] = {
      "", "hello world", std::string("BEGIN:VCALENDAR\0x", 17),
      "BEGIN:VEVENT\r\nEND:VEVENT\r\n", "BEGIN:VCALENDAR"};
  for (const std::string& in : inputs) {
    const IcalEvents read = ReadIcalEvents(in, "Asia/Tokyo");
    EXPECT_TRUE(!read.readable || read.events.empty()) << in;
  }
  EXPECT_FALSE(ReadIcalEvents("hello", "").readable);
}

TEST(IcalImportTest, BrokenFoldingAndHugeTextAreSkipped) {
  // A continuation line without its leading blank.
  const IcalEvents broken = ReadIcalEvents(
      Calendar("BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20230101\r\nDESCRIPTION:ab"
               "\r\ncd\r\nEND:VEVENT\r\n"),
      "");
  ASSERT_TRUE(broken.readable);
  ASSERT_EQ(broken.events.size(), 1u);
  EXPECT_EQ(broken.events[0].name, "");

  // 10 MB in one line and folded, each followed by an ordinary event.
  const std::string big(10 << 20, 'x');
  std::string folded;
  for (size_t i = 0; i < big.size(); i += 74) {
    folded += (i ? "\r\n " : "") + big.substr(i, 74);
  }
  for (const std::string& description : {big, folded}) {
    const IcalEvents huge = ReadIcalEvents(
        Calendar(Event("DTSTART;VALUE=DATE:20230101\r\nDESCRIPTION:" +
                       description + "\r\n") +
                 Event("DTSTART;VALUE=DATE:20230102\r\n")),
        "");
    ASSERT_EQ(huge.events.size(), 2u);
    EXPECT_EQ(huge.events[0].name, "");
    EXPECT_NE(huge.events[0].reason.find("1 MiB"), std::string::npos);
    EXPECT_EQ(huge.events[1].name, "____0102.23");
  }
  // Just over the text limit, read by libical and refused after.
  const IcalEvents over = ReadIcalEvents(
      Calendar(Event("DTSTART;VALUE=DATE:20230101\r\nDESCRIPTION:" +
                     std::string(kMaxImportedTextBytes + 1, 'y') + "\r\n")),
      "");
  ASSERT_EQ(over.events.size(), 1u);
  EXPECT_NE(over.events[0].reason.find("1 MiB"), std::string::npos);
}

TEST(IcalImportTest, ManyEventsAreAllRead) {
  std::string events;
  for (int i = 0; i < 100000; ++i) {
    events += "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:2023" +
              std::string(i % 12 < 9 ? "0" : "") + std::to_string(i % 12 + 1) +
              "01\r\nEND:VEVENT\r\n";
  }
  const IcalEvents read = ReadIcalEvents(Calendar(events), "");
  ASSERT_TRUE(read.readable);
  EXPECT_EQ(read.events.size(), 100000u);
  EXPECT_EQ(read.events.back().name, "____0401.23");  // 99999 % 12 == 3
}

class IcalImportFolderTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  EntryFolder entries_{folder_.path()};
};

TEST_F(IcalImportFolderTest, WritesTextAndNeverReplacesAnEntry) {
  folder_.Touch("____0214.23", "mine");
  const std::string ics = Calendar(
      Event("DTSTART;VALUE=DATE:20230214\r\n") +
      "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20230215\r\nSUMMARY:買い物\r\n"
      "DESCRIPTION:牛乳\\, 卵\\nパン\r\nEND:VEVENT\r\n" +
      "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20230215\r\nSUMMARY:again\r\n"
      "END:VEVENT\r\n");
  const IcalImportResult result =
      ImportIcal(ics, entries_, "Asia/Tokyo", false);
  ASSERT_TRUE(result.readable);
  EXPECT_EQ(result.imported, std::vector<std::string>{"____0215.23"});
  ASSERT_EQ(result.problems.size(), 2u);
  EXPECT_NE(result.problems[0].find("exists already"), std::string::npos);
  EXPECT_NE(result.problems[1].find("again"), std::string::npos);
  std::string mine;
  entries_.ReadContent("____0214.23", &mine);
  EXPECT_EQ(mine, "mine");
  std::string content, text;
  entries_.ReadContent("____0215.23", &content);
  EXPECT_EQ(content.rfind("{\\rtf1", 0), 0u);
  ReadEntryTextForDisplay(entries_, "____0215.23", &text);
  EXPECT_EQ(text, "買い物\r\n牛乳, 卵\r\nパン");
}

TEST_F(IcalImportFolderTest, AnEntryThatCannotBeWrittenStopsNoOther) {
  const std::string ics =
      Calendar(Event("DTSTART;VALUE=DATE:20230213\r\n") +
               "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20230214\r\nSUMMARY:long\r\n"
               "DESCRIPTION:" +
               std::string(20000, 'x') + "\r\nEND:VEVENT\r\n" +
               Event("DTSTART;VALUE=DATE:20230215\r\n"));
  IcalImportResult result;
  {
    // The file system takes no file of the long event's size.
    FileSizeLimit limit(8192);
    ASSERT_TRUE(limit.ok());
    result = ImportIcal(ics, entries_, "Asia/Tokyo", false);
  }
  EXPECT_EQ(result.imported,
            (std::vector<std::string>{"____0213.23", "____0215.23"}));
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].rfind("long: ____0214.23 not written: write", 0),
            0u)
      << result.problems[0];
  EXPECT_FALSE(entries_.Exists("____0214.23"));
  EXPECT_TRUE(entries_.Exists("____0213.23"));
  EXPECT_TRUE(entries_.Exists("____0215.23"));
}

TEST_F(IcalImportFolderTest, DryRunWritesNothing) {
  const std::string ics = Calendar(Event("DTSTART;VALUE=DATE:20230214\r\n") +
                                   Event("DTSTART;VALUE=DATE:20230214\r\n"));
  const IcalImportResult result = ImportIcal(ics, entries_, "", true);
  EXPECT_EQ(result.imported, std::vector<std::string>{"____0214.23"});
  EXPECT_EQ(result.problems.size(), 1u);
  EXPECT_FALSE(entries_.Exists("____0214.23"));
}

TEST_F(IcalImportFolderTest, ExportImportsBackToTheSameNames) {
  const std::vector<std::string> names = {
      "____0214.23",  "10300301.23",  "____0229.__",  "______31.__",
      "0900__15.__",  "________.WED", "~_~_~___.TUE", "~~~~~___.FRI",
      "0800__05.MON", "1800__32.THU", "0730____.__",  "1900____.SUN"};
  for (const std::string& n : names) folder_.Touch(n, "text of " + n);
  const std::string ics = ExportIcal(entries_, NewYear2023(), Options());
  TempFolder other;
  EntryFolder into(other.path());
  const IcalImportResult result = ImportIcal(ics, into, "Asia/Tokyo", false);
  EXPECT_TRUE(result.problems.empty())
      << (result.problems.empty() ? "" : result.problems[0]);
  std::vector<std::string> got = result.imported;
  std::vector<std::string> want = names;
  std::sort(got.begin(), got.end());
  std::sort(want.begin(), want.end());
  EXPECT_EQ(got, want);
  std::string text;
  ReadEntryTextForDisplay(into, "1800__32.THU", &text);
  EXPECT_EQ(text, "text of 1800__32.THU");
}

// Resources for a calendar server, one per entry, read back by another
// copy of the program.
class IcalResourceTest : public ::testing::Test {
 protected:
  std::vector<IcalResource> Export(
      const std::map<std::string, std::string>& names) {
    EntryFolder folder(a_.path());
    left_out_.clear();
    return ExportIcalResources(folder, &settings_a_, NewYear2023(), Options(),
                               names, &left_out_);
  }
  TempFolder a_;
  TempFolder program_;
  SettingsFile settings_a_{program_ / "a.ini"};
  std::vector<std::string> left_out_;
};

TEST_F(IcalResourceTest, EveryKindComesBackByteEqualWithItsOptions) {
  const char* names[] = {
      "____0214.23",  "____0214.__",  "_~__0205.__",   "~_~~__25.__",
      "~_____25.__",  "_~~~0101.__",  "~___0210.__",   "_~_~____.TUE",
      "~~~~~___.FRI", "________.MON", "10300301.23",   "0900__25.~~",
      "0900__31.-~",  "08000202.-_",  "0800__10.~_",   "0730____.__",
      "1800__10.MON", "1800____.WED", "BORN0229.1980",
  };
  EntryFolder folder(a_.path());
  std::map<std::string, std::string> wanted;
  for (const char* name : names) {
    // Rich text as the editors write it, CP932 bytes included.
    ASSERT_TRUE(folder.WriteContent(
        name, PlainTextToRtf(std::string("予定 ") + name + "\n二行目")));
    wanted[name] = "";
  }
  PopupOptions o;
  o.closetime = 30;
  o.file = "/home/me/chime.wav";
  o.bitmap = "";
  o.smtp = true;
  o.stretch = true;
  o.execute = "/usr/bin/xcalc?-rpn";
  o.execlose = "電卓";
  ASSERT_TRUE(
      WritePopupOptions(settings_a_, folder.FullPath("0900__25.~~"), o));
  const std::vector<IcalResource> resources = Export(wanted);
  EXPECT_TRUE(left_out_.empty()) << left_out_[0];
  ASSERT_EQ(resources.size(), std::size(names));
  std::set<std::string> uids;
  for (const IcalResource& r : resources) {
    uids.insert(r.uid);
    EXPECT_EQ(r.text.find("BEGIN:VEVENT"), r.text.rfind("BEGIN:VEVENT"));
    const IcalResourceEntry back = ReadIcalResource(r.text, "Asia/Tokyo");
    EXPECT_EQ(back.name, r.name) << back.reason;
    EXPECT_EQ(back.uid, r.uid);
    std::string content;
    folder.ReadContent(r.name, &content);
    EXPECT_EQ(back.content, content) << r.name;
    const bool popup = r.name[0] >= '0' && r.name[0] <= '9';
    EXPECT_EQ(back.options.has_value(), popup) << r.name;
    if (r.name == "0900__25.~~") {
      EXPECT_EQ(*back.options, o) << r.text;
    } else if (popup) {
      EXPECT_EQ(*back.options, PopupOptions());
    }
  }
  EXPECT_EQ(uids.size(), resources.size());
}

TEST_F(IcalResourceTest, GivenUidsAndMissingEntries) {
  EntryFolder folder(a_.path());
  ASSERT_TRUE(folder.WriteContent("____0214.23", "plain"));
  ASSERT_TRUE(folder.WriteContent("W0000600.__", "up"));
  const std::vector<IcalResource> resources =
      Export({{"____0214.23", "their-uid@phone"},
              {"____0215.23", ""},
              {"W0000600.__", ""}});
  ASSERT_EQ(resources.size(), 1u);
  EXPECT_EQ(resources[0].uid, "their-uid@phone");
  EXPECT_EQ(left_out_.size(), 2u);
}

TEST_F(IcalResourceTest, AnEditByAnotherClientKeepsTheNameAndTakesTheText) {
  EntryFolder folder(a_.path());
  ASSERT_TRUE(folder.WriteContent("_~__0205.__", PlainTextToRtf("元の文")));
  std::string text = Export({{"_~__0205.__", ""}}).at(0).text;
  const size_t at = text.find("SUMMARY:");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, text.find("\r\n", at) - at, "SUMMARY:直した文");
  const size_t d = text.find("DESCRIPTION:元の文");
  ASSERT_NE(d, std::string::npos);
  text.replace(d, text.find("\r\n", d) - d, "DESCRIPTION:直した文");
  const IcalResourceEntry back = ReadIcalResource(text, "Asia/Tokyo");
  EXPECT_EQ(back.name, "_~__0205.__");
  EXPECT_EQ(back.content, PlainTextToRtf("直した文"));
}

TEST(IcalResourceReadTest, OtherClientsEvents) {
  const std::string head = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n";
  const std::string fits = head +
                           "BEGIN:VEVENT\r\nUID:a@b\r\nDTSTART;VALUE=DATE:"
                           "20230214\r\nSUMMARY:歯医者\r\nEND:VEVENT\r\n"
                           "END:VCALENDAR\r\n";
  IcalResourceEntry e = ReadIcalResource(fits, "Asia/Tokyo");
  EXPECT_EQ(e.name, "____0214.23");
  EXPECT_EQ(e.uid, "a@b");
  EXPECT_EQ(e.content, PlainTextToRtf("歯医者"));
  EXPECT_FALSE(e.options.has_value());

  std::string rdates = head +
                       "BEGIN:VEVENT\r\nUID:r@b\r\nDTSTART;VALUE=DATE:"
                       "20230214\r\nSUMMARY:many\r\n";
  for (int i = 0; i < 100000; ++i) {
    rdates += "RDATE;VALUE=DATE:2" + std::to_string(100000 + i).substr(1) +
              "0101\r\n";
  }
  rdates += "END:VEVENT\r\nEND:VCALENDAR\r\n";
  const std::string series =
      head +
      "BEGIN:VEVENT\r\nUID:s@b\r\nDTSTART;VALUE=DATE:20230214\r\n"
      "RRULE:FREQ=WEEKLY\r\nSUMMARY:s\r\nEND:VEVENT\r\n"
      "BEGIN:VEVENT\r\nUID:s@b\r\nRECURRENCE-ID;VALUE=DATE:20230221\r\n"
      "DTSTART;VALUE=DATE:20230222\r\nSUMMARY:s\r\nEND:VEVENT\r\n"
      "END:VCALENDAR\r\n";
  // A name of no entry form, and content that is no base64.
  const std::string forged =
      head +
      "BEGIN:VEVENT\r\nUID:f@b\r\nDTSTART;VALUE=DATE:20230214\r\n"
      "RRULE:FREQ=HOURLY\r\nX-MIROKATA-NAME:../../etc/passwd\r\n"
      "SUMMARY:f\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
  for (const std::string& text :
       {rdates, series, forged, std::string("garbage"), head}) {
    e = ReadIcalResource(text, "Asia/Tokyo");
    EXPECT_TRUE(e.name.empty()) << text.substr(0, 200);
    EXPECT_FALSE(e.reason.empty());
  }
}

}  // namespace
}  // namespace mirokata
