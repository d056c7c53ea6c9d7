#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace platform {
namespace {
constexpr int kConnectTimeoutMs = 1000;
// How long a later start keeps trying to reach the holder: it may have taken the lock an
// instant ago and not be listening yet, or be busy starting.
constexpr int kWakeDeadlineMs = 2000;
const QByteArray kWakeMessage = "msg_velOrbintKVR9\n";
}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() {
  server_.reset();
  // Closing the file lets the lock go (the kernel does the same if the process dies).
  if (lockFd_ >= 0) ::close(lockFd_);
}

QString SingleInstance::ServerName() const {
  // A named mutex belongs to one session; a bare socket name would be shared by every user of
  // the machine, so it goes into the user's own runtime folder.
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (!runtime.isEmpty() && QDir(runtime).exists()) return QDir(runtime).filePath(name_);
  return name_;
}

QString SingleInstance::LockPath() const {
  const QString server = ServerName();
  if (QDir::isAbsolutePath(server)) return server + QStringLiteral(".lock");
  return QDir::temp().filePath(name_ + QLatin1Char('.') + QString::number(::getuid()) +
                               QStringLiteral(".lock"));
}

bool SingleInstance::SendWake(const QString& serverName) const {
  QLocalSocket probe;
  probe.connectToServer(serverName);
  if (!probe.waitForConnected(kConnectTimeoutMs)) return false;
  probe.write(kWakeMessage);
  const bool sent = probe.waitForBytesWritten(kConnectTimeoutMs);
  probe.disconnectFromServer();
  if (probe.state() != QLocalSocket::UnconnectedState) probe.waitForDisconnected(kConnectTimeoutMs);
  return sent;
}

bool SingleInstance::Acquire() {
  const QString serverName = ServerName();
  const QByteArray lockPath = QFile::encodeName(LockPath());
  lockFd_ = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd_ < 0) {
    // The name cannot be held (no writable runtime folder): run anyway rather than refuse to
    // start.
    return true;
  }
  if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    ::close(lockFd_);
    lockFd_ = -1;
    // Another instance holds the name: whatever happens to the wake-up, this one never goes on.
    const QDeadlineTimer deadline(kWakeDeadlineMs);
    while (!SendWake(serverName) && !deadline.hasExpired()) QThread::msleep(20);
    return false;
  }
  // Only the holder of the lock ever touches the socket, so one that exists was left by an
  // instance that ended without removing it.
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(serverName)) {
    QLocalServer::removeServer(serverName);
    if (!server_->listen(serverName)) {
      // No socket support: this instance is the only one, it just cannot be woken.
      server_.reset();
      return true;
    }
  }
  connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::Accept);
  return true;
}

void SingleInstance::SetOnWake(std::function<void()> onWake) {
  onWake_ = std::move(onWake);
  if (wakePending_ && onWake_) {
    wakePending_ = false;
    onWake_();
  }
}

void SingleInstance::Woken() {
  if (onWake_)
    onWake_();
  else
    wakePending_ = true;
}

void SingleInstance::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    socket->setParent(this);
    // One wake-up per connection, whatever the message was split into.
    auto handle = [this, socket] {
      if (socket->readAll().isEmpty() || socket->property("woke").toBool()) return;
      socket->setProperty("woke", true);
      Woken();
    };
    connect(socket, &QLocalSocket::readyRead, this, handle);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (socket->bytesAvailable() > 0) handle();
  }
}

}  // namespace platform
