#include "platform/TitledWindow.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QWidget>

namespace platform {
namespace {
const QByteArray kRestoreRequest = "restore\n";
const QByteArray kRestoreAnswer = "restored\n";
}  // namespace

QString TitledWindowServerName(const QString& title) {
  // Titles hold spaces and accented letters; a hash keeps the name short and portable.
  const QByteArray hash =
      QCryptographicHash::hash(title.toUtf8(), QCryptographicHash::Sha1).toHex().left(20);
  const QString name = QStringLiteral("quarx-window-") + QString::fromLatin1(hash);
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (!runtime.isEmpty() && QDir(runtime).exists()) return QDir(runtime).filePath(name);
  return name;
}

TitledWindow::TitledWindow(QWidget* window, QString title, QObject* parent)
    : QObject(parent), window_(window), title_(std::move(title)) {
  const QString name = TitledWindowServerName(title_);
  // A live window with this title keeps it; a dead one's socket file is stale.
  {
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(200)) return;
  }
  QLocalServer::removeServer(name);
  auto server = std::make_unique<QLocalServer>();
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server->listen(name)) return;
  server_ = std::move(server);
  connect(server_.get(), &QLocalServer::newConnection, this, &TitledWindow::Accept);
}

TitledWindow::~TitledWindow() {
  if (server_) server_->close();
}

void TitledWindow::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    socket->setParent(this);
    auto handle = [this, socket] {
      QByteArray& pending = buffers_[socket];
      pending += socket->readAll();
      if (!pending.contains('\n')) return;
      const bool asked = pending.startsWith(kRestoreRequest);
      buffers_.remove(socket);
      if (!asked) {
        socket->disconnectFromServer();
        return;
      }
      Restore();
      socket->write(kRestoreAnswer);
      socket->flush();
      socket->disconnectFromServer();
    };
    connect(socket, &QLocalSocket::readyRead, this, handle);
    connect(socket, &QLocalSocket::disconnected, socket, [this, socket] {
      buffers_.remove(socket);
      socket->deleteLater();
    });
    if (socket->bytesAvailable() > 0) handle();
  }
}

void TitledWindow::Restore() {
  if (OnRestore) {
    OnRestore();
    return;
  }
  if (!window_) return;
  window_->setWindowState((window_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  window_->show();
  window_->raise();
  window_->activateWindow();
}

bool RestoreWindowByTitle(const QString& title, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(TitledWindowServerName(title));
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kRestoreRequest);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  QByteArray answer;
  while (!answer.contains('\n')) {
    if (!socket.waitForReadyRead(timeoutMs)) break;
    answer += socket.readAll();
  }
  return answer.startsWith(kRestoreAnswer);
}

}  // namespace platform
