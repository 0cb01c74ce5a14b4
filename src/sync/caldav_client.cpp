#include "sync/caldav_client.h"

#include <QBuffer>
#include <QHostAddress>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslConfiguration>
#include <QTimer>
#include <memory>

#include "platform/extra_ca.h"

namespace mirokata {

namespace {

bool IsLoopback(const QString& host) {
  if (host.compare("localhost", Qt::CaseInsensitive) == 0) return true;
  const QHostAddress address(host);
  return !address.isNull() && address.isLoopback();
}

}  // namespace

CalDavClient::CalDavClient(QNetworkAccessManager* network,
                           SyncCredentials credentials, int deadline_ms,
                           QObject* parent)
    : QObject(parent),
      network_(network),
      credentials_(std::move(credentials)),
      deadline_ms_(deadline_ms),
      extra_ca_(ExtraCaCertificates()),
      requests_(new QObject(this)) {}

bool CalDavClient::MaySendPassword(const QUrl& url) {
  return url.scheme() == "https" || IsLoopback(url.host());
}

void CalDavClient::AbortAll() {
  delete requests_;
  requests_ = new QObject(this);
}

void CalDavClient::Send(const QByteArray& verb, const QUrl& url,
                        const Headers& headers, const QByteArray& body,
                        std::function<void(const HttpReply&)> done) {
  Issue(verb, url, headers, body, url, 0, std::move(done));
}

void CalDavClient::Issue(const QByteArray& verb, const QUrl& url,
                         const Headers& headers, const QByteArray& body,
                         const QUrl& origin, int redirects,
                         std::function<void(const HttpReply&)> done) {
  const bool with_password = !credentials_.user.isEmpty();
  if (with_password && !MaySendPassword(url)) {
    HttpReply refused;
    refused.error =
        QStringLiteral("パスワードは暗号化された接続 (https) でしか送れません");
    QTimer::singleShot(0, requests_, [done, refused] { done(refused); });
    return;
  }
  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::ManualRedirectPolicy);
  request.setTransferTimeout(deadline_ms_);
  request.setHeader(QNetworkRequest::UserAgentHeader, "Mirokata");
  if (!extra_ca_.isEmpty()) {
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.addCaCertificates(extra_ca_);
    request.setSslConfiguration(tls);
  }
  if (with_password) {
    request.setRawHeader("Authorization", "Basic " + (credentials_.user + ":" +
                                                      credentials_.password)
                                                         .toUtf8()
                                                         .toBase64());
  }
  for (const auto& [name, value] : headers) request.setRawHeader(name, value);
  if (!body.isEmpty() && !request.hasRawHeader("Content-Type")) {
    request.setRawHeader("Content-Type", "application/xml; charset=utf-8");
  }
  QNetworkReply* reply = body.isEmpty() && verb == "GET"
                             ? network_->get(request)
                             : network_->sendCustomRequest(request, verb, body);
  // The reply lives under the guard object: AbortAll drops them all.
  QObject* guard = new QObject(requests_);
  reply->setParent(guard);
  auto too_big = std::make_shared<bool>(false);
  auto timed_out = std::make_shared<bool>(false);
  QTimer* deadline = new QTimer(guard);
  deadline->setSingleShot(true);
  QObject::connect(deadline, &QTimer::timeout, reply, [reply, timed_out] {
    *timed_out = true;
    reply->abort();
  });
  deadline->start(deadline_ms_);
  QObject::connect(
      reply, &QNetworkReply::downloadProgress, reply,
      [reply, too_big](qint64 received, qint64 total) {
        if (received > kMaxResponseBytes || total > kMaxResponseBytes) {
          *too_big = true;
          reply->abort();
        }
      });
  QObject::connect(
      reply, &QNetworkReply::finished, guard,
      [this, reply, guard, verb, url, headers, body, origin, redirects, done,
       too_big, timed_out] {
        HttpReply out;
        out.status =
            reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (*too_big) {
          out.status = 0;
          out.error = QStringLiteral("応答が大きすぎます (50 MB 超)");
        } else if (*timed_out) {
          out.status = 0;
          out.error = QStringLiteral("サーバーの応答が時間内にありません");
        } else if (out.status == 0) {
          out.error = reply->errorString();
        } else if (out.status >= 300 && out.status < 400 &&
                   reply->hasRawHeader("Location")) {
          const QUrl next = url.resolved(QUrl(reply->rawHeader("Location")));
          guard->deleteLater();
          if (next.scheme() != origin.scheme() ||
              next.host() != origin.host() ||
              next.port(-1) != origin.port(-1) || redirects >= kMaxRedirects) {
            HttpReply refused;
            refused.error =
                QStringLiteral("別のサーバーへの転送は受け付けません: ") +
                next.host();
            done(refused);
            return;
          }
          Issue(verb, next, headers, body, origin, redirects + 1, done);
          return;
        } else {
          out.body = reply->readAll();
          out.etag = reply->rawHeader("ETag");
          if (out.body.size() > kMaxResponseBytes) {
            out.status = 0;
            out.body.clear();
            out.error = QStringLiteral("応答が大きすぎます (50 MB 超)");
          }
        }
        if (out.status == 401 || out.status == 403) {
          out.error = QStringLiteral(
              "ユーザー名かパスワードが違うか、権限がありません");
        }
        guard->deleteLater();
        done(out);
      });
}

}  // namespace mirokata
