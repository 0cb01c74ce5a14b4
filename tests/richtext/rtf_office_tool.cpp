// Writes and re-saves RTF the way the editors do, for the office suite
// round trip in office_interop.py.
//   rtf_office_tool write OUT.rtf      a page built with a text cursor
//   rtf_office_tool resave IN OUT.rtf  opened and saved again; prints one
//                                      line per paragraph of what was read
#include <QFont>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "richtext/rich_document.h"
#include "richtext/rtf_reader.h"
#include "richtext/text_document_rtf_qt.h"

namespace mirokata {
namespace {

bool WriteFile(const char* path, const std::string& data) {
  std::ofstream out(path, std::ios::binary);
  out << data;
  return bool(out);
}

void BuildPage(QTextDocument* text) {
  QTextCursor cursor(text);
  QTextBlockFormat spaced;
  spaced.setTopMargin(16);    // 240 twips
  spaced.setBottomMargin(8);  // 120 twips
  spaced.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
  cursor.setBlockFormat(spaced);
  cursor.insertText(QString::fromUtf8("買い物の予定 Café 😀"));
  cursor.insertBlock(QTextBlockFormat());
  QTextList* list = cursor.createList(ListFormatFor(RichListStyle::kDecimal));
  cursor.insertText(QString::fromUtf8("牛乳を買う"));
  for (const char* item : {"卵を買う", "表示ソフトを直す"}) {
    cursor.insertBlock();
    cursor.insertText(QString::fromUtf8(item));
  }
  cursor.insertBlock();
  list->remove(cursor.block());
  cursor.setBlockFormat(QTextBlockFormat());
  cursor.insertText(QString::fromUtf8("寄る所"));
  cursor.insertBlock();
  cursor.createList(ListFormatFor(RichListStyle::kLowerAlpha));
  cursor.insertText(QString::fromUtf8("郵便局"));
  cursor.insertBlock();
  cursor.insertText(QString::fromUtf8("銀行"));
}

const char* StyleName(RichListStyle style) {
  switch (style) {
    case RichListStyle::kNone:
      return "none";
    case RichListStyle::kBullet:
      return "bullet";
    case RichListStyle::kDecimal:
      return "decimal";
    case RichListStyle::kLowerAlpha:
      return "lower-alpha";
    case RichListStyle::kUpperAlpha:
      return "upper-alpha";
    case RichListStyle::kLowerRoman:
      return "lower-roman";
    case RichListStyle::kUpperRoman:
      return "upper-roman";
  }
  return "?";
}

int Run(int argc, char** argv) {
  QTextDocument text;
  text.setDefaultFont(QFont(QString::fromUtf8("ＭＳ Ｐゴシック"), 9));
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "write" && argc == 3) {
    BuildPage(&text);
    return WriteFile(argv[2], SaveRichText(text)) ? 0 : 1;
  }
  if (mode == "resave" && argc == 4) {
    std::ifstream in(argv[2], std::ios::binary);
    std::stringstream data;
    data << in.rdbuf();
    LoadRichText(data.str(), &text);
    const std::string saved = SaveRichText(text);
    const RichDocument doc = ReadRichText(saved);
    const std::vector<int> numbers = ListItemNumbers(doc);
    for (size_t i = 0; i < doc.paragraphs.size(); ++i) {
      const RichParagraph& p = doc.paragraphs[i];
      std::string body;
      for (const RichRun& run : p.runs) body += run.text;
      std::printf("%s\t%d\t%d\t%d\t%d\t%d\t%s\n", StyleName(p.format.list),
                  numbers[i], p.format.space_before, p.format.space_after,
                  p.format.line_spacing, p.format.line_multiple ? 1 : 0,
                  body.c_str());
    }
    return WriteFile(argv[3], saved) ? 0 : 1;
  }
  std::fprintf(stderr, "usage: %s write OUT | resave IN OUT\n", argv[0]);
  return 2;
}

}  // namespace
}  // namespace mirokata

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  return mirokata::Run(argc, argv);
}
