// Mail connections over QSslSocket, signal-driven on the UI thread.
#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QString>
#include <QTimer>
#include <memory>
#include <utility>

#include "platform/extra_ca.h"
#include "platform/mail_connection.h"

namespace mirokata {
namespace {

// The system's roots plus the user's extra CA.
QSslConfiguration MailTlsConfiguration() {
  QSslConfiguration config = QSslConfiguration::defaultConfiguration();
  config.setPeerVerifyMode(QSslSocket::VerifyPeer);
  const QList<QSslCertificate> extra = ExtraCaCertificates();
  if (!extra.isEmpty()) config.addCaCertificates(extra);
  return config;
}

class QtMailConnection : public MailConnection {
 public:
  QtMailConnection(const std::string& host, int port, MailTransport transport,
                   MailConnectionEvents events)
      : events_(std::move(events)), socket_(new QSslSocket) {
    socket_->setSslConfiguration(MailTlsConfiguration());
    socket_->setPeerVerifyMode(QSslSocket::VerifyPeer);
    QObject::connect(socket_, &QSslSocket::connected,
                     [this] { OnConnected(); });
    QObject::connect(socket_, &QSslSocket::encrypted,
                     [this] { OnEncrypted(); });
    QObject::connect(socket_, &QSslSocket::readyRead,
                     [this] { OnReadyRead(); });
    QObject::connect(socket_, &QSslSocket::errorOccurred,
                     [this](QAbstractSocket::SocketError e) { OnError(e); });
    QObject::connect(socket_, &QSslSocket::disconnected,
                     [this] { OnDisconnected(); });
    const QString qhost = QString::fromStdString(host);
    const quint16 qport = static_cast<quint16>(port);
    if (transport == MailTransport::kImplicitTls) {
      phase_ = Phase::kHandshake;
      implicit_ = true;
      socket_->connectToHostEncrypted(qhost, qport);
    } else {
      socket_->connectToHost(qhost, qport);
    }
  }

  ~QtMailConnection() override { Abort(); }

  void StartTls() override {
    if (!socket_ || phase_ != Phase::kOpen) return;
    phase_ = Phase::kHandshake;
    socket_->startClientEncryption();
  }

  void Write(std::string_view bytes) override {
    if (!socket_) return;
    socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
  }

  void Close() override {
    if (!socket_) return;
    QSslSocket* socket = Release();
    if (socket->state() == QAbstractSocket::UnconnectedState) {
      socket->deleteLater();
      return;
    }
    QObject::connect(socket, &QSslSocket::disconnected, socket,
                     &QObject::deleteLater);
    // A peer that never acknowledges the close does not keep the socket.
    QTimer::singleShot(5000, socket, [socket] {
      socket->abort();
      socket->deleteLater();
    });
    socket->disconnectFromHost();
  }

  void Abort() override {
    if (!socket_) return;
    QSslSocket* socket = Release();
    socket->abort();
    socket->deleteLater();
  }

 private:
  enum class Phase { kConnecting, kHandshake, kOpen, kDone };

  // The receiver may destroy this connection: the callback runs from a
  // copy, and nothing of this object is touched afterwards.
  template <typename F, typename... Args>
  static void Report(const F& callback, Args&&... args) {
    if (!callback) return;
    F copy = callback;
    copy(std::forward<Args>(args)...);
  }

  std::string LocalAddress() const {
    return socket_->localAddress().toString().toStdString();
  }

  QSslSocket* Release() {
    QSslSocket* socket = socket_;
    socket_ = nullptr;
    phase_ = Phase::kDone;
    socket->disconnect();
    return socket;
  }

  void OnConnected() {
    if (implicit_) return;  // reported once encrypted
    phase_ = Phase::kOpen;
    Report(events_.connected, LocalAddress());
  }

  void OnEncrypted() {
    const bool was_implicit = implicit_;
    implicit_ = false;
    phase_ = Phase::kOpen;
    if (was_implicit) {
      Report(events_.connected, LocalAddress());
    } else {
      Report(events_.tls_ready);
    }
  }

  void OnReadyRead() {
    if (!socket_) return;
    const QByteArray data = socket_->readAll();
    if (data.isEmpty()) return;
    Report(events_.received, std::string_view(data.constData(), data.size()));
  }

  void OnError(QAbstractSocket::SocketError error) {
    if (!socket_ || phase_ == Phase::kDone) return;
    const Phase phase = phase_;
    if (phase == Phase::kOpen &&
        error == QAbstractSocket::RemoteHostClosedError) {
      return;  // disconnected() reports it
    }
    MailConnectionError kind = MailConnectionError::kNetwork;
    if (phase == Phase::kConnecting) kind = MailConnectionError::kConnect;
    if (phase == Phase::kHandshake) {
      kind = MailConnectionError::kTls;
      // A refused TCP connection of an implicit-TLS session is not TLS.
      if (implicit_ && socket_->state() != QAbstractSocket::ConnectedState &&
          error != QAbstractSocket::SslHandshakeFailedError &&
          error != QAbstractSocket::RemoteHostClosedError) {
        kind = MailConnectionError::kConnect;
      }
    }
    QSslSocket* socket = Release();
    socket->abort();
    socket->deleteLater();
    Report(events_.failed, kind);
  }

  void OnDisconnected() {
    if (!socket_ || phase_ == Phase::kDone) return;
    const Phase phase = phase_;
    QSslSocket* socket = Release();
    socket->deleteLater();
    if (phase == Phase::kHandshake) {
      Report(events_.failed, MailConnectionError::kTls);
      return;
    }
    Report(events_.closed);
  }

  MailConnectionEvents events_;
  QSslSocket* socket_;
  Phase phase_ = Phase::kConnecting;
  bool implicit_ = false;
};

class QtMailNetwork : public MailNetwork {
 public:
  std::unique_ptr<MailConnection> Connect(
      const std::string& host, int port, MailTransport transport,
      MailConnectionEvents events) override {
    return std::make_unique<QtMailConnection>(host, port, transport,
                                              std::move(events));
  }
};

}  // namespace

std::unique_ptr<MailNetwork> MakeLinuxMailNetwork() {
  return std::make_unique<QtMailNetwork>();
}

}  // namespace mirokata
