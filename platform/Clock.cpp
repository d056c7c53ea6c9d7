#include "platform/Clock.h"

#include <chrono>

namespace platform {
namespace {
Clock* gOverride = nullptr;
}

uint32_t TimeGetTime() {
  using namespace std::chrono;
  static const auto start = steady_clock::now();
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

Clock& DefaultClock() {
  static SteadyClock steady;
  return gOverride ? *gOverride : steady;
}

void SetDefaultClock(Clock* clock) { gOverride = clock; }

}  // namespace platform
