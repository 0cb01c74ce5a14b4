// A scripted HTTP server on a loopback port for the faults a real CalDAV
// server will not show: each request goes to a function that says what
// to answer, how fast, or to hang up.
#ifndef MIROKATA_TESTS_SYNC_FAKE_DAV_SERVER_H_
#define MIROKATA_TESTS_SYNC_FAKE_DAV_SERVER_H_

#include <QByteArray>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

namespace mirokata {

struct FakeRequest {
  QByteArray method;
  QByteArray path;
  QMap<QByteArray, QByteArray> headers;  // names in lower case
  QByteArray body;
};

struct FakeAnswer {
  int status = 200;
  std::vector<std::pair<QByteArray, QByteArray>> headers;
  QByteArray body;
  bool content_length = true;  // else the body ends with the connection
  int trickle_ms = 0;          // one byte each this often
  bool hang_up = false;        // close without an answer
};

class FakeDavServer : public QObject {
 public:
  using Script = std::function<FakeAnswer(const FakeRequest&)>;

  explicit FakeDavServer(Script script) : script_(std::move(script)) {
    server_.listen(QHostAddress::LocalHost);
    QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) Serve(s);
    });
  }
  quint16 port() const { return server_.serverPort(); }
  const std::vector<FakeRequest>& requests() const { return requests_; }

 private:
  void Serve(QTcpSocket* socket) {
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(socket, &QTcpSocket::disconnected, socket,
                     &QObject::deleteLater);
    QObject::connect(
        socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
          *buffer += socket->readAll();
          for (;;) {
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0) return;
            FakeRequest r;
            const QList<QByteArray> lines = buffer->left(end).split('\n');
            const QList<QByteArray> first = lines[0].trimmed().split(' ');
            r.method = first.value(0);
            r.path = first.value(1);
            for (qsizetype i = 1; i < lines.size(); ++i) {
              const qsizetype colon = lines[i].indexOf(':');
              if (colon < 0) continue;
              r.headers[lines[i].left(colon).trimmed().toLower()] =
                  lines[i].mid(colon + 1).trimmed();
            }
            const qsizetype length =
                r.headers.value("content-length", "0").toLongLong();
            if (buffer->size() < end + 4 + length) return;
            r.body = buffer->mid(end + 4, length);
            buffer->remove(0, end + 4 + length);
            requests_.push_back(r);
            Answer(socket, script_(r));
          }
        });
  }

  void Answer(QTcpSocket* socket, const FakeAnswer& a) {
    if (a.hang_up) {
      socket->disconnectFromHost();
      return;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + " X\r\n";
    for (const auto& [name, value] : a.headers) {
      head += name + ": " + value + "\r\n";
    }
    if (a.content_length) {
      head += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
    } else {
      head += "Connection: close\r\n";
    }
    head += "\r\n";
    if (a.trickle_ms == 0) {
      socket->write(head + a.body);
      if (!a.content_length) socket->disconnectFromHost();
      return;
    }
    socket->write(head);
    auto at = std::make_shared<qsizetype>(0);
    QTimer* timer = new QTimer(socket);
    const QByteArray body = a.body;
    QObject::connect(timer, &QTimer::timeout, socket, [socket, body, at] {
      if (*at < body.size()) socket->write(body.mid((*at)++, 1));
    });
    timer->start(a.trickle_ms);
  }

  Script script_;
  QTcpServer server_;
  std::vector<FakeRequest> requests_;
};

}  // namespace mirokata

#endif  // MIROKATA_TESTS_SYNC_FAKE_DAV_SERVER_H_
