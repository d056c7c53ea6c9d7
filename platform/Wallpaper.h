#pragma once

// The desktop wallpaper setting, standing for the system parameter that also updated the
// user's profile and told every window: the desktop portal where one answers, else the
// settings of GNOME, KDE Plasma or XFCE.

#include <QString>

namespace platform {

struct WallpaperResult {
  bool Set = false;
  QString Desktop;  // who took it: "portal", "gnome", "kde", "xfce"; empty when nobody did
};

// Makes the picture at hostPath the desktop wallpaper; the tiling and placement stay as the
// user has them.
WallpaperResult SetDesktopWallpaper(const QString& hostPath);

}  // namespace platform
