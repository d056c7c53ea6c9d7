#include "navigator/SerialWorker.h"

#include <algorithm>

SerialWorker::SerialWorker() : thread_([this] { Run(); }) {}

SerialWorker::~SerialWorker() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  thread_.join();
}

void SerialWorker::Start(std::function<void()> task, int priority) {
  {
    std::lock_guard lock(mutex_);
    // After the last task of the same or a higher priority.
    auto at = std::find_if(queue_.begin(), queue_.end(),
                           [priority](const Queued& q) { return q.priority < priority; });
    queue_.insert(at, Queued{priority, std::move(task)});
  }
  wake_.notify_one();
}

void SerialWorker::Clear() {
  std::deque<Queued> dropped;
  {
    std::lock_guard lock(mutex_);
    dropped.swap(queue_);
  }
  // The dropped tasks (and what they hold) go outside the lock.
}

void SerialWorker::WaitForDone() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

void SerialWorker::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    std::function<void()> task = std::move(queue_.front().task);
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    task();  // the tasks catch their own failures
    task = nullptr;
    lock.lock();
    busy_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
}
