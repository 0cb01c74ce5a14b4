// WebDAV multistatus answers (RFC 4918) of a CalDAV collection and the
// request bodies that ask for them: the collection itself (Depth 0), its
// members' ETags (Depth 1) and the changes since a sync token (RFC 6578).
#ifndef MIROKATA_SYNC_MULTISTATUS_H_
#define MIROKATA_SYNC_MULTISTATUS_H_

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <cstddef>
#include <string>
#include <vector>

namespace mirokata {

// Limits on what one answer may hold; beyond them the answer is refused.
inline constexpr size_t kMaxMultistatusResponses = 200000;
inline constexpr qsizetype kMaxHrefBytes = 4096;
inline constexpr qsizetype kMaxEtagBytes = 1024;
inline constexpr qsizetype kMaxSyncTokenBytes = 4096;

struct DavMember {
  // The member's path, percent-encoded as the server sent it, relative to
  // the collection ("abc.ics"); empty for the collection itself.
  QString name;
  QString etag;    // as sent, quotes included
  int status = 0;  // 200, or 404 for a member gone (sync-collection)
  bool collection = false;
  bool calendar = false;
};

struct Multistatus {
  bool ok = false;
  QString error;
  std::vector<DavMember> members;  // the collection's own entry included
  QString sync_token;              // the answer's, or the collection's prop
  bool truncated = false;          // 507 on the collection: ask again
  // Responses whose href lies outside the collection, left out.
  size_t ignored = 0;
};

// Reads a multistatus body. `collection` is the address the request went
// to; only hrefs naming it or a direct member of it are kept.
Multistatus ReadMultistatus(const QByteArray& body, const QUrl& collection);

// The collection's path with a "/" at its end.
QString CollectionPath(const QUrl& collection);

// PROPFIND Depth 0: resource type, display name and sync token.
QByteArray CollectionPropfindBody();
// PROPFIND Depth 1: ETags and resource types of the members.
QByteArray EtagPropfindBody();
// REPORT sync-collection from `token` (empty: everything).
QByteArray SyncCollectionBody(const QString& token);

}  // namespace mirokata

#endif  // MIROKATA_SYNC_MULTISTATUS_H_
