// The sync run against a scripted server: faults end the run with an
// error, leave every entry as it was and never loop.
#include "sync/sync_run.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_folder.h"
#include "sync/fake_dav_server.h"
#include "sync/sync_settings.h"

namespace mirokata {
namespace {

QCoreApplication* App() {
  static int argc = 1;
  static char name[] = "sync_run_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  return app;
}

const QByteArray kCollectionAnswer =
    "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\" "
    "xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:response>"
    "<d:href>/cal/</d:href><d:propstat><d:prop><d:resourcetype>"
    "<d:collection/><c:calendar/></d:resourcetype></d:prop>"
    "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"
    "</d:multistatus>";
const QByteArray kEmptyListing =
    "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\">"
    "</d:multistatus>";

FakeAnswer Multistatus(const QByteArray& body) {
  FakeAnswer a;
  a.status = 207;
  a.body = body;
  a.headers = {{"Content-Type", "application/xml"}};
  return a;
}

// Discovery and an empty listing; everything else from `rest`.
FakeDavServer::Script Calendar(FakeDavServer::Script rest) {
  return [rest](const FakeRequest& r) {
    if (r.method == "PROPFIND" && r.headers.value("depth") == "0") {
      return Multistatus(kCollectionAnswer);
    }
    if (r.method == "PROPFIND") return Multistatus(kEmptyListing);
    return rest(r);
  };
}

class SyncRunTest : public ::testing::Test {
 protected:
  SyncRunTest() {
    App();
    data_.Touch("____0214.30", "{\\rtf1 mine\\par}");
  }

  SyncResult Run(FakeDavServer& server, int deadline_ms = 5000,
                 const QString& path = "/cal/") {
    SyncJob job;
    job.url = QUrl(
        QStringLiteral("http://127.0.0.1:%1%2").arg(server.port()).arg(path));
    job.credentials = {"user", "secret"};
    job.data_folder = data_.path();
    job.is_holiday = [](int, int, int) { return false; };
    job.export_options.from = {2029, 1, 1};
    job.export_options.to = {2031, 12, 31};
    job.deadline_ms = deadline_ms;
    job.now = [] { return QDateTime(QDate(2030, 2, 1), QTime(9, 5)); };
    QNetworkAccessManager network;
    SyncRun run(std::move(job), &network);
    std::optional<SyncResult> result;
    run.Start([&](const SyncResult& r) { result = r; });
    QElapsedTimer clock;
    clock.start();
    while (!result && clock.elapsed() < 30000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_TRUE(result.has_value()) << "no result in 30 s";
    return result.value_or(SyncResult());
  }

  std::string Entry() {
    std::ifstream in(data_ / "____0214.30", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  TempFolder data_;
};

TEST_F(SyncRunTest, FaultsEndTheRunAndChangeNothing) {
  struct Case {
    const char* what;
    FakeDavServer::Script script;
    int deadline_ms;
    const char* error_part;  // in the error text
  };
  const QByteArray big(kMaxResponseBytes + 1024, 'x');
  const Case cases[] = {
      {"malformed XML",
       [](const FakeRequest&) {
         return Multistatus("<d:multistatus xmlns:d=\"DAV:\"><d:response>");
       },
       5000, "PROPFIND"},
      {"not a calendar",
       [](const FakeRequest&) { return Multistatus(kEmptyListing); }, 5000,
       "カレンダー"},
      {"huge body",
       [&big](const FakeRequest&) {
         FakeAnswer a = Multistatus(big);
         a.content_length = false;
         return a;
       },
       20000, "50 MB"},
      {"slow trickle",
       [](const FakeRequest&) {
         FakeAnswer a = Multistatus(kCollectionAnswer);
         a.trickle_ms = 100;
         return a;
       },
       1500, "時間内"},
      {"redirect to another host",
       [](const FakeRequest&) {
         FakeAnswer a;
         a.status = 301;
         a.headers = {{"Location", "http://192.0.2.7/cal/"}};
         return a;
       },
       5000, "192.0.2.7"},
      {"401",
       [](const FakeRequest&) {
         FakeAnswer a;
         a.status = 401;
         a.headers = {{"WWW-Authenticate", "Basic realm=\"x\""}};
         return a;
       },
       5000, "パスワード"},
      {"5xx on PUT", Calendar([](const FakeRequest&) {
         FakeAnswer a;
         a.status = 503;
         return a;
       }),
       5000, "503"},
      {"dropped on PUT", Calendar([](const FakeRequest&) {
         FakeAnswer a;
         a.hang_up = true;
         return a;
       }),
       5000, "PUT"},
  };
  for (const Case& c : cases) {
    const std::string before = Entry();
    FakeDavServer server(c.script);
    const SyncResult result = Run(server, c.deadline_ms);
    EXPECT_FALSE(result.ok) << c.what;
    EXPECT_TRUE(result.error.contains(QString::fromUtf8(c.error_part)))
        << c.what << ": " << result.error.toStdString();
    EXPECT_EQ(Entry(), before) << c.what;
    EXPECT_LE(server.requests().size(), 4u) << c.what;  // no retry storm
    EXPECT_FALSE(std::filesystem::exists(data_ / ".sync/conflicts")) << c.what;
    EXPECT_FALSE(SyncResultText(result).isEmpty());
  }
}

TEST_F(SyncRunTest, RedirectOnTheSameHostIsFollowed) {
  bool redirected = false;
  FakeDavServer server([&](const FakeRequest& r) {
    if (!redirected) {
      redirected = true;
      FakeAnswer a;
      a.status = 307;
      a.headers = {{"Location", "/cal/?moved=1"}};
      return a;
    }
    if (r.method == "PROPFIND") {
      return Multistatus(r.headers.value("depth") == "0" ? kCollectionAnswer
                                                         : kEmptyListing);
    }
    FakeAnswer a;
    a.status = 201;
    a.headers = {{"ETag", "\"1\""}};
    return a;
  });
  const SyncResult result = Run(server);
  EXPECT_TRUE(result.ok) << result.error.toStdString();
  ASSERT_GE(server.requests().size(), 2u);
  EXPECT_EQ(server.requests()[1].path, "/cal/?moved=1");
  EXPECT_EQ(server.requests()[1].method, "PROPFIND");
  EXPECT_EQ(result.sent, 1);
}

TEST_F(SyncRunTest, PreconditionFailedFetchesThenKeepsBoth) {
  const QByteArray theirs =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\n"
      "UID:phone-1\r\nDTSTART;VALUE=DATE:20300214\r\nSUMMARY:theirs\r\n"
      "END:VEVENT\r\nEND:VCALENDAR\r\n";
  int puts = 0;
  FakeDavServer server(Calendar([&](const FakeRequest& r) {
    FakeAnswer a;
    if (r.method == "PUT") {
      ++puts;
      a.status = r.headers.value("if-none-match") == "*" ? 412 : 204;
      if (a.status == 204) {
        EXPECT_EQ(r.headers.value("if-match"), "\"theirs\"");
        EXPECT_TRUE(r.body.contains("UID:phone-1"));  // their UID kept
        a.headers = {{"ETag", "\"mine\""}};
      }
    } else if (r.method == "GET") {
      a.body = theirs;
      a.headers = {{"ETag", "\"theirs\""}};
    } else {
      a.status = 400;
    }
    return a;
  }));
  const SyncResult result = Run(server);
  ASSERT_TRUE(result.ok) << result.error.toStdString();
  EXPECT_EQ(result.conflicts, 1);
  EXPECT_EQ(puts, 2);
  ASSERT_EQ(result.conflict_files.size(), 1u);
  EXPECT_NE(result.conflict_files[0].find(
                "/.sync/conflicts/____0214.30.20300201-090500.ics"),
            std::string::npos);
  std::ifstream saved(result.conflict_files[0], std::ios::binary);
  std::stringstream text;
  text << saved.rdbuf();
  EXPECT_EQ(text.str(), theirs.toStdString());
  EXPECT_EQ(Entry(), "{\\rtf1 mine\\par}");
  EXPECT_EQ(SyncResultText(result),
            "最終同期: 2030/02/01 09:05  送信 1件 受信 0件 競合 1件");
}

}  // namespace
}  // namespace mirokata
