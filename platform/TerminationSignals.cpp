#include "platform/TerminationSignals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
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

// Quitting acts only on a running event loop. Before the program's loop runs, a modal window
// of the start-up (a greeting, an error) would hold the request until someone closed it: close
// it now; later boxes see TerminationRequested and are not shown.
void CloseModalWindows() {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  for (int guard = 0; guard < 64; ++guard) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (auto* dialog = qobject_cast<QDialog*>(modal))
      dialog->reject();
    else
      modal->close();
    if (QApplication::activeModalWidget() == modal) return;  // it would not go
  }
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
    CloseModalWindows();
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
