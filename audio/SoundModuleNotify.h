#pragma once

// TWaveThreadNotify: the thread that waits on a wave's events and hands each one to the main
// thread.
//
// Thread model: the thread blocks on the wave's events (any of them, no time-out). When one is
// set it resets it and passes (channel, event index) to the handler on the main thread: it
// puts a letter into the player's NotifyMailbox and blocks until the main thread has run it
// (or until the thread is terminated); afterwards it hands on each later event of its set
// that is already set, in index order, before it waits again. The handler runs only while
// the thread is not terminated. The thread keeps its own copies of the event handles, the
// channel and the handler, so a wave may be freed inside its own notification: freeing
// terminates the thread, which wakes from any wait, touches nothing of the wave and ends; the
// wave's destructor joins it.
//
// Everything that crosses threads goes through std::mutex (the mailbox's queue, the shared
// state of a thread), never through captures carried by Qt's event queue.

#include <QObject>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/Event.h"

namespace notifydetail {

// Runs on the main thread; must not throw.
using Handler = std::function<void(int channel, int eventIndex)>;

// What one thread shares with the main thread; outlives both sides' use of it.
struct Shared {
  std::mutex mutex;
  std::condition_variable callDone;
  std::atomic<bool> terminated{false};
  uint64_t completed = 0;  // guarded by mutex
  // Events taken (reset) whose handler has not run yet: raised before the reset, lowered on
  // the main thread after the handler, so "no event set and none pending" means idle.
  std::atomic<int> pending{0};
  std::shared_ptr<const Handler> handler;  // made on the main thread, never changed
};

}  // namespace notifydetail

// Receives the notifier threads' letters on the main thread, in the order they were posted.
class NotifyMailbox : public QObject {
  Q_OBJECT

 public:
  explicit NotifyMailbox(QObject* parent = nullptr) : QObject(parent) {}

  // Any thread.
  void Post(std::shared_ptr<notifydetail::Shared> shared, int channel, int eventIndex);

 private slots:
  void Drain();

 private:
  struct Letter {
    std::shared_ptr<notifydetail::Shared> shared;
    int channel;
    int eventIndex;
  };
  std::mutex mutex_;
  std::deque<Letter> letters_;  // guarded by mutex_
};

class TWaveThreadNotify : public QThread {
  Q_OBJECT

 public:
  using Handler = notifydetail::Handler;

  // mailbox: where the letters go (the player's); it must outlive the thread.
  TWaveThreadNotify(NotifyMailbox* mailbox, Handler handler, int channel,
                    std::vector<std::shared_ptr<platform::Event>> events);
  ~TWaveThreadNotify() override;  // terminates and joins

  // Tells the thread to end and wakes it from any wait. Main thread.
  void Terminate();
  bool Terminated() const { return shared_->terminated.load(); }

  // True when no event of the set is signalled and no hand-over is under way (tests wait for
  // this after rendering).
  bool Idle() const;

  int Channel() const { return channel_; }
  int EventCount() const { return static_cast<int>(events_.size()); }

 protected:
  void run() override;

 private:
  void Deliver(int eventIndex);

  NotifyMailbox* mailbox_;
  int channel_;
  std::vector<std::shared_ptr<platform::Event>> events_;
  std::shared_ptr<notifydetail::Shared> shared_;
  uint64_t posted_ = 0;  // thread only
  std::atomic<int> signalledIndex_{-1};
};
