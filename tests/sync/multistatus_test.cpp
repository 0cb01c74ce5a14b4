#include "sync/multistatus.h"

#include <gtest/gtest.h>

#include <QXmlStreamReader>

namespace mirokata {
namespace {

const QUrl kCollection("https://dav.example/user/cal/");

QByteArray Wrap(const QByteArray& responses, const QByteArray& tail = "") {
  return "<?xml version=\"1.0\"?>\n<d:multistatus xmlns:d=\"DAV:\" "
         "xmlns:c=\"urn:ietf:params:xml:ns:caldav\">" +
         responses + tail + "</d:multistatus>";
}

QByteArray Member(const QByteArray& href, const QByteArray& etag) {
  return "<d:response><d:href>" + href +
         "</d:href><d:propstat><d:prop><d:getetag>" + etag +
         "</d:getetag></d:prop><d:status>HTTP/1.1 200 OK</d:status>"
         "</d:propstat></d:response>";
}

TEST(MultistatusTest, ReadsCollectionMembersAndToken) {
  const QByteArray body = Wrap(
      "<d:response><d:href>/user/cal/</d:href><d:propstat><d:prop>"
      "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>"
      "<d:sync-token>http://x/sync/7</d:sync-token></d:prop>"
      "<d:status>HTTP/1.1 200 OK</d:status></d:propstat>"
      "<d:propstat><d:prop><d:displayname/></d:prop>"
      "<d:status>HTTP/1.1 404 Not Found</d:status></d:propstat></d:response>" +
      Member("/user/cal/a.ics", "\"e1\"") +
      Member("https://dav.example/user/cal/b%20c.ics", "\"e2\"") +
      "<d:response><d:href>/user/cal/gone.ics</d:href>"
      "<d:status>HTTP/1.1 404 Not Found</d:status></d:response>");
  const Multistatus m = ReadMultistatus(body, kCollection);
  ASSERT_TRUE(m.ok) << m.error.toStdString();
  ASSERT_EQ(m.members.size(), 4u);
  EXPECT_TRUE(m.members[0].name.isEmpty());
  EXPECT_TRUE(m.members[0].calendar);
  EXPECT_TRUE(m.members[0].collection);
  EXPECT_EQ(m.sync_token, "http://x/sync/7");
  EXPECT_EQ(m.members[1].name, "a.ics");
  EXPECT_EQ(m.members[1].etag, "\"e1\"");
  EXPECT_EQ(m.members[1].status, 200);
  EXPECT_EQ(m.members[2].name, "b c.ics");
  EXPECT_EQ(m.members[3].name, "gone.ics");
  EXPECT_EQ(m.members[3].status, 404);
}

TEST(MultistatusTest, HrefsOutsideTheCollectionAreIgnored) {
  const QByteArray body =
      Wrap(Member("/user/other/x.ics", "\"1\"") +
           Member("https://evil.example/user/cal/x.ics", "\"2\"") +
           Member("http://dav.example/user/cal/x.ics", "\"3\"") +
           Member("/user/cal/../other/y.ics", "\"4\"") +
           Member("/user/cal/sub/z.ics", "\"5\"") + Member("", "\"6\"") +
           Member("/user/cal/ok.ics", "\"7\""));
  const Multistatus m = ReadMultistatus(body, kCollection);
  ASSERT_TRUE(m.ok);
  ASSERT_EQ(m.members.size(), 1u);
  EXPECT_EQ(m.members[0].name, "ok.ics");
  EXPECT_EQ(m.ignored, 6u);
}

TEST(MultistatusTest, TokenOfSyncReportAndTruncation) {
  const QByteArray body = Wrap(
      Member("a.ics", "\"1\"") +
          "<d:response><d:href>/user/cal/</d:href>"
          "<d:status>HTTP/1.1 507 Insufficient Storage</d:status></d:response>",
      "<d:sync-token>tok-2</d:sync-token>");
  const Multistatus m = ReadMultistatus(body, kCollection);
  ASSERT_TRUE(m.ok);
  EXPECT_EQ(m.sync_token, "tok-2");
  EXPECT_TRUE(m.truncated);
  EXPECT_EQ(m.members[0].name, "a.ics");  // relative href
}

TEST(MultistatusTest, BadInputIsAnError) {
  const QByteArray long_href(kMaxHrefBytes + 1, 'a');
  const QByteArray cases[] = {
      "",
      "not xml at all",
      "<d:multistatus xmlns:d=\"DAV:\"><d:response>",  // cut short
      "<multistatus><response/></multistatus>",        // no DAV: namespace
      Wrap(Member("/user/cal/a.ics", "\"1\"") + "</d:response>"),
      Wrap(Member("/user/cal/" + long_href, "\"1\"")),
      // An entity may not swell past the reader's expansion limit.
      "<!DOCTYPE d [<!ENTITY a \"" + QByteArray(2000, 'x') +
          "\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
          "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>&b;&b;&b;"
          "</d:href></d:response></d:multistatus>",
  };
  for (const QByteArray& body : cases) {
    const Multistatus m = ReadMultistatus(body, kCollection);
    EXPECT_FALSE(m.ok) << body.left(80).toStdString();
    EXPECT_FALSE(m.error.isEmpty());
  }
}

TEST(MultistatusTest, RequestBodiesAreWellFormedAndEscapeTheToken) {
  const QByteArray bodies[] = {CollectionPropfindBody(), EtagPropfindBody(),
                               SyncCollectionBody("a<&>\"b")};
  for (const QByteArray& body : bodies) {
    QXmlStreamReader xml(body);
    while (!xml.atEnd()) xml.readNext();
    EXPECT_FALSE(xml.hasError()) << body.toStdString();
  }
  EXPECT_TRUE(CollectionPropfindBody().contains("resourcetype"));
  EXPECT_TRUE(CollectionPropfindBody().contains("sync-token"));
  EXPECT_TRUE(EtagPropfindBody().contains("getetag"));
  const QByteArray report = SyncCollectionBody("a<&>\"b");
  EXPECT_TRUE(report.contains("sync-collection"));
  EXPECT_TRUE(report.contains("a&lt;&amp;&gt;"));
  EXPECT_TRUE(report.contains("<d:sync-level>1</d:sync-level>"));
}

}  // namespace
}  // namespace mirokata
