#include "audio/SoundModuleNotify.h"

#include <QMetaObject>

// ---- NotifyMailbox -------------------------------------------------------------------------

void NotifyMailbox::Post(std::shared_ptr<notifydetail::Shared> shared, int channel,
                         int eventIndex) {
  {
    std::lock_guard lock(mutex_);
    letters_.push_back({std::move(shared), channel, eventIndex});
  }
  // A queued call without arguments: the letter itself travels under mutex_.
  QMetaObject::invokeMethod(this, "Drain", Qt::QueuedConnection);
}

void NotifyMailbox::Drain() {
  for (;;) {
    Letter letter;
    {
      std::lock_guard lock(mutex_);
      if (letters_.empty()) return;
      letter = std::move(letters_.front());
      letters_.pop_front();
    }
    notifydetail::Shared& shared = *letter.shared;
    if (!shared.terminated.load()) {
      try {
        (*shared.handler)(letter.channel, letter.eventIndex);
      } catch (...) {
        // Nothing may cross the event dispatch; the handler reports its own failures.
      }
    }
    --shared.pending;
    {
      std::lock_guard lock(shared.mutex);
      ++shared.completed;
    }
    shared.callDone.notify_all();
  }
}

// ---- TWaveThreadNotify ---------------------------------------------------------------------

TWaveThreadNotify::TWaveThreadNotify(NotifyMailbox* mailbox, Handler handler, int channel,
                                     std::vector<std::shared_ptr<platform::Event>> events)
    : mailbox_(mailbox),
      channel_(channel),
      events_(std::move(events)),
      shared_(std::make_shared<notifydetail::Shared>()) {
  shared_->handler = std::make_shared<const Handler>(std::move(handler));
}

TWaveThreadNotify::~TWaveThreadNotify() {
  Terminate();
  wait();
  // The thread's last act is to take this mutex; taking it here orders everything the thread
  // did before what the destructor frees.
  std::lock_guard lock(shared_->mutex);
}

void TWaveThreadNotify::Terminate() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->terminated = true;
  }
  shared_->callDone.notify_all();
  for (const auto& event : events_) event->Set();
}

void TWaveThreadNotify::run() {
  while (!Terminated()) {
    const int index = platform::Event::WaitAny(events_);
    if (index < 0 || Terminated()) break;
    ++shared_->pending;
    events_[static_cast<size_t>(index)]->Reset();
    Deliver(index);
    for (size_t later = static_cast<size_t>(index) + 1; later < events_.size(); ++later) {
      if (Terminated()) break;
      if (events_[later]->IsSet()) {
        ++shared_->pending;
        events_[later]->Reset();
        Deliver(static_cast<int>(later));
      }
    }
  }
  std::lock_guard lock(shared_->mutex);
}

bool TWaveThreadNotify::Idle() const {
  // Events first: the thread raises pending before it resets one, so an event taken between
  // the two looks is still seen.
  for (const auto& event : events_) {
    if (event->IsSet()) return false;
  }
  return shared_->pending.load() == 0;
}

void TWaveThreadNotify::Deliver(int eventIndex) {
  signalledIndex_ = eventIndex;
  const uint64_t ticket = ++posted_;
  mailbox_->Post(shared_, channel_, eventIndex);
  std::unique_lock lock(shared_->mutex);
  shared_->callDone.wait(
      lock, [&] { return shared_->completed >= ticket || shared_->terminated.load(); });
}
