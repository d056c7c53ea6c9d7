#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace platform {
namespace {
constexpr int kConnectTimeoutMs = 1000;
const QByteArray kWakeMessage = "msg_velOrbintKVR9\n";
}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::ServerName() const {
  // A named mutex belongs to one session; a bare socket name would be shared by every user of
  // the machine, so it goes into the user's own runtime folder.
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (!runtime.isEmpty() && QDir(runtime).exists()) return QDir(runtime).filePath(name_);
  return name_;
}

bool SingleInstance::Acquire() {
  const QString serverName = ServerName();
  {
    QLocalSocket probe;
    probe.connectToServer(serverName);
    if (probe.waitForConnected(kConnectTimeoutMs)) {
      probe.write(kWakeMessage);
      probe.waitForBytesWritten(kConnectTimeoutMs);
      probe.disconnectFromServer();
      if (probe.state() != QLocalSocket::UnconnectedState)
        probe.waitForDisconnected(kConnectTimeoutMs);
      return false;
    }
  }
  // Nobody answers: a socket file left by a crashed instance is stale.
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(serverName)) {
    QLocalServer::removeServer(serverName);
    if (!server_->listen(serverName)) {
      // The name cannot be held (no socket support): run anyway rather than refuse to start.
      server_.reset();
      return true;
    }
  }
  connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::Accept);
  return true;
}

void SingleInstance::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    socket->setParent(this);
    // One wake-up per connection, whatever the message was split into.
    auto handle = [this, socket] {
      if (socket->readAll().isEmpty() || socket->property("woke").toBool()) return;
      socket->setProperty("woke", true);
      if (OnWake) OnWake();
    };
    connect(socket, &QLocalSocket::readyRead, this, handle);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (socket->bytesAvailable() > 0) handle();
  }
}

}  // namespace platform
