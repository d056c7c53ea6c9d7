#pragma once

// A request to end the program from outside (SIGTERM at logout, SIGINT, SIGHUP) ends it the way
// closing its window does: the event loop quits and the windows shut down in order, so the
// settings are written and the sound device is let go.

namespace platform {

// Installs the handlers. Main thread, once the application object exists; later calls do
// nothing.
void QuitOnTerminationSignals();

// True once such a signal arrived: start-up code running before the event loop checks it,
// since quitting a loop that has not started yet does nothing.
bool TerminationRequested();

}  // namespace platform
