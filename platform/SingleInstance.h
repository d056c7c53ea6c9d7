#pragma once

// One running navigator per user session. A local socket named after the program's mutex stands
// for the mutex: the first instance listens on it; a later one finds it, sends the wake-up
// message and leaves, and the first one restores itself and comes to the front.

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

  // Called on the main thread each time a later instance asks this one to come forward.
  std::function<void()> OnWake;

  // The socket name: per user, inside the user's runtime folder when there is one.
  QString ServerName() const;

 private:
  void Accept();

  QString name_;
  std::unique_ptr<QLocalServer> server_;
};

}  // namespace platform
