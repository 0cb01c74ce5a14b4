// Drives the page codec for phone_csv_interop.py.
//   phone_page_interop write FILE  < JSON array of rows (arrays of strings)
//   phone_page_interop read FILE   > JSON array of the page's rows
#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "contacts/phone_page.h"
#include "platform/file_io.h"

int main(int argc, char** argv) {
  using namespace mirokata;
  if (argc != 3) return 2;
  const std::string mode = argv[1];
  const std::string path = argv[2];
  if (mode == "write") {
    const std::string input(std::istreambuf_iterator<char>(std::cin), {});
    const QJsonArray array =
        QJsonDocument::fromJson(QByteArray::fromStdString(input)).array();
    std::vector<PhoneRow> rows;
    for (const QJsonValue& row : array) {
      PhoneRow cells;
      for (const QJsonValue& cell : row.toArray()) {
        cells.push_back(cell.toString().toStdString());
      }
      if (cells.size() < size_t(kPhoneColumns)) cells.resize(kPhoneColumns);
      rows.push_back(std::move(cells));
    }
    while (rows.size() < size_t(kPhonePageRows)) rows.emplace_back(6);
    return WriteFileAtomic(path, FormatPhonePage(rows), 0600) ? 0 : 1;
  }
  if (mode == "read") {
    std::string bytes;
    if (ReadWholeFile(path, &bytes) != ReadResult::kOk) return 1;
    const PhonePage page = ParsePhonePage(bytes);
    QJsonArray rows;
    for (const PhoneRow& row : page.rows) {
      QJsonArray cells;
      for (const std::string& cell : row) {
        cells.append(QString::fromStdString(cell));
      }
      rows.append(cells);
    }
    std::cout
        << QJsonDocument(rows).toJson(QJsonDocument::Compact).toStdString();
    return page.faithful ? 0 : 3;
  }
  return 2;
}
