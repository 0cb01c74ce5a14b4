// Command texts and argument splitting: what reaches a started program must
// be exactly what the user wrote, with no shell in between.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/shell.h"

namespace mirokata {
namespace {

TEST(SplitCommandText, SplitsAtTheFirstQuestionMark) {
  struct Case {
    const char* text;
    const char* file;
    const char* parameters;
  };
  const Case cases[] = {
      {"/usr/bin/gedit", "/usr/bin/gedit", ""},
      {"/usr/bin/gedit?/home/a/memo.txt", "/usr/bin/gedit", "/home/a/memo.txt"},
      {"prog?a?b", "prog", "a?b"},
      {"?/usr/bin/xclock", "/usr/bin/xclock", ""},
      {"?prog?x", "prog?x", ""},
      {"prog?", "prog", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    const CommandText split = SplitCommandText(c.text);
    EXPECT_EQ(split.file, c.file) << c.text;
    EXPECT_EQ(split.parameters, c.parameters) << c.text;
  }
}

TEST(FolderOfPath, KeepsTheLastSeparator) {
  EXPECT_EQ(FolderOfPath("/usr/bin/gedit"), "/usr/bin/");
  EXPECT_EQ(FolderOfPath("C:\\Tools\\x.exe"), "C:\\Tools\\");
  EXPECT_EQ(FolderOfPath("C:x.exe"), "C:");
  EXPECT_EQ(FolderOfPath("gedit"), "");
}

TEST(SplitArguments, QuotesGroupAndNothingElseIsSpecial) {
  struct Case {
    const char* parameters;
    std::vector<std::string> arguments;
  };
  const Case cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"a  b\tc", {"a", "b", "c"}},
      {"\"/home/a/My Music/x.wav\" --quiet",
       {"/home/a/My Music/x.wav", "--quiet"}},
      {"pre\"fix mid\"post", {"prefix midpost"}},
      {"\"\"", {""}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"\\\"quoted\\\"", {"\"quoted\""}},
      {"C:\\dir\\ \"C:\\dir two\\\\\"", {"C:\\dir\\", "C:\\dir two\\"}},
      {"\"unterminated arg", {"unterminated arg"}},
      // Shell syntax passes through untouched.
      {"$(rm -rf ~) `id` ; | && > out *.wav ~",
       {"$(rm", "-rf", "~)", "`id`", ";", "|", "&&", ">", "out", "*.wav", "~"}},
      {"日本語 ﾒﾓ.txt", {"日本語", "ﾒﾓ.txt"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitArguments(c.parameters), c.arguments) << c.parameters;
  }
}

}  // namespace
}  // namespace mirokata
