#include "platform/TerminationSignals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

namespace platform {

namespace {

// Only a byte written to a socket and a flag: all a signal handler may safely do.
int gWakeFds[2] = {-1, -1};
volatile std::sig_atomic_t gRequested = 0;

void OnSignal(int) {
  gRequested = 1;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(gWakeFds[0], &byte, 1);
}

}  // namespace

void QuitOnTerminationSignals() {
  if (gWakeFds[0] >= 0 || !QCoreApplication::instance()) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gWakeFds) != 0) {
    gWakeFds[0] = gWakeFds[1] = -1;
    return;
  }
  auto* notifier =
      new QSocketNotifier(gWakeFds[1], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
    char buffer[16];
    [[maybe_unused]] const ssize_t n = ::read(gWakeFds[1], buffer, sizeof buffer);
    QCoreApplication::quit();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

bool TerminationRequested() {
  return gRequested != 0;
}

}  // namespace platform
