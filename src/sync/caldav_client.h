// HTTP requests to one CalDAV server, asynchronous on
// QNetworkAccessManager: a deadline per request, redirects followed only on
// the same host, TLS verified (with the extra CA of MIROKATA_EXTRA_CA),
// Basic authentication only over TLS or to a loopback address, and answers
// cut off at 50 MB. Nothing here waits; each answer comes to a callback.
#ifndef MIROKATA_SYNC_CALDAV_CLIENT_H_
#define MIROKATA_SYNC_CALDAV_CLIENT_H_

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QUrl>
#include <functional>
#include <utility>
#include <vector>

namespace mirokata {

inline constexpr qint64 kMaxResponseBytes = 50ll << 20;
inline constexpr int kMaxRedirects = 5;

struct SyncCredentials {
  QString user;
  QString password;
};

struct HttpReply {
  int status = 0;  // 0: no answer (network error, deadline, refusal)
  QString error;   // why, when no usable answer came
  QByteArray body;
  QByteArray etag;  // the ETag header
  bool auth_failed() const { return status == 401 || status == 403; }
  bool ok() const { return status >= 200 && status < 300; }
};

using Headers = std::vector<std::pair<QByteArray, QByteArray>>;

class CalDavClient : public QObject {
 public:
  // `deadline_ms`: the longest one request may take, answer included.
  CalDavClient(QNetworkAccessManager* network, SyncCredentials credentials,
               int deadline_ms = 60000, QObject* parent = nullptr);

  void Send(const QByteArray& verb, const QUrl& url, const Headers& headers,
            const QByteArray& body, std::function<void(const HttpReply&)> done);

  // Aborts every request under way; their callbacks are not called.
  void AbortAll();

  // Whether Basic authentication may go to this address.
  static bool MaySendPassword(const QUrl& url);

 private:
  void Issue(const QByteArray& verb, const QUrl& url, const Headers& headers,
             const QByteArray& body, const QUrl& origin, int redirects,
             std::function<void(const HttpReply&)> done);

  QNetworkAccessManager* network_;
  SyncCredentials credentials_;
  int deadline_ms_;
  QList<QSslCertificate> extra_ca_;
  QObject* requests_;  // parent of the replies' guards; deleted to abort
};

}  // namespace mirokata

#endif  // MIROKATA_SYNC_CALDAV_CLIENT_H_
