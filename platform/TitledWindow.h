#pragma once

// Finding another program's top-level window by its exact title and bringing it forward, as the
// navigator does with the explorer and the tools it starts. A window that wants to be found
// registers its title: it listens on a local socket named after the title (per user, in the
// runtime folder). Restoring connects to that socket, asks once, and waits for the answer; a
// socket left behind by a program that died answers nothing and counts as no window.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QWidget;

namespace platform {

class TitledWindow : public QObject {
  Q_OBJECT

 public:
  // window: the top-level window restored by default; it must outlive nothing (held weakly).
  TitledWindow(QWidget* window, QString title, QObject* parent = nullptr);
  ~TitledWindow() override;

  // False when the title could not be registered (another live window holds it, or local
  // sockets are not available).
  bool Registered() const { return server_ != nullptr; }
  const QString& Title() const { return title_; }

  // Runs on the main thread when another program asks for the window. Unset: the window is
  // shown normal (un-minimised), raised and activated.
  std::function<void()> OnRestore;

 private:
  void Accept();
  void Restore();

  QPointer<QWidget> window_;
  QString title_;
  std::unique_ptr<QLocalServer> server_;
  QHash<QObject*, QByteArray> buffers_;  // a request may arrive in pieces
};

// The socket name a title is registered under.
QString TitledWindowServerName(const QString& title);

// True when a window with exactly this title exists and was asked to come forward (it has
// confirmed); false when there is none. Waits at most timeoutMs for the answer.
bool RestoreWindowByTitle(const QString& title, int timeoutMs = 1000);

}  // namespace platform
