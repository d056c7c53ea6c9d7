#pragma once

// Bringing an open program's top-level window forward by its title, instead of starting the
// program a second time.

#include <QString>

namespace platform {

// Looks for a top-level window titled exactly title and restores it and brings it to the
// front. A window of ours registers its title (TitledWindow) and brings itself forward when
// asked; other programs (Windows tools under Wine) are found through the window manager where
// the desktop allows it (wmctrl on X11). True when a window was found.
bool BringWindowForward(const QString& title);

}  // namespace platform
