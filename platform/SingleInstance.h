#pragma once

// One running navigator per user session. An exclusive lock on a file in the user's runtime
// folder stands for the program's named mutex: the kernel lets exactly one process hold it and
// drops it when that process ends, however it ends. The holder listens on a local socket of the
// same name; a later start finds the lock held, sends the wake-up message to that socket and
// leaves, and the first instance restores itself and comes to the front.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace platform {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  explicit SingleInstance(QString name, QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when this process is the first instance (it now holds the name); false when another
  // instance holds it, in which case that instance has been sent the wake-up message.
  [[nodiscard]] bool Acquire();

  // Called on the main thread each time a later instance asks this one to come forward. A
  // wake-up that arrived before a handler was set (the window was still starting) is handed
  // to the handler as soon as it is set.
  void SetOnWake(std::function<void()> onWake);

  // The socket name: per user, inside the user's runtime folder when there is one.
  QString ServerName() const;
  // The file whose lock is the instance's mutex.
  QString LockPath() const;

 private:
  void Accept();
  void Woken();
  bool SendWake(const QString& serverName) const;

  QString name_;
  int lockFd_ = -1;
  std::unique_ptr<QLocalServer> server_;
  std::function<void()> onWake_;
  bool wakePending_ = false;
};

}  // namespace platform
