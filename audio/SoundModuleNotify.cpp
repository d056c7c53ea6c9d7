#include "audio/SoundModuleNotify.h"

#include <QMetaObject>

TWaveThreadNotify::TWaveThreadNotify(QObject* context, Handler handler, int channel,
                                     std::vector<std::shared_ptr<platform::Event>> events)
    : context_(context),
      handler_(std::move(handler)),
      channel_(channel),
      events_(std::move(events)),
      shared_(std::make_shared<Shared>()) {}

TWaveThreadNotify::~TWaveThreadNotify() {
  Terminate();
  wait();
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
  QMetaObject::invokeMethod(
      context_,
      [shared = shared_, handler = handler_, channel = channel_, eventIndex] {
        if (!shared->terminated.load()) {
          try {
            handler(channel, eventIndex);
          } catch (...) {
            // Nothing may cross the event dispatch; the handler reports its own failures.
          }
        }
        --shared->pending;
        {
          std::lock_guard lock(shared->mutex);
          ++shared->completed;
        }
        shared->callDone.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock lock(shared_->mutex);
  shared_->callDone.wait(
      lock, [&] { return shared_->completed >= ticket || shared_->terminated.load(); });
}
