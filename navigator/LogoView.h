#pragma once

// The demo's logo on pbMain: composed from the description file when the frame step finds one
// pending, kept while the mode lasts, drawn again with every repaint of the mode.

#include <QImage>
#include <optional>

#include "navigator/ViewContext.h"

class LogoView {
 public:
  explicit LogoView(ViewContext& context);

  // The frame step: composes and draws the pending logo; false when none was pending.
  bool StepPendingLogo();
  // Draws the logo bitmap at the logo area of the current mode kind (nothing without one).
  void DrawLogoArea();
  // Leaving a mode: the logo bitmap goes and the next mode draws its logo again.
  void Free();
  // Puts the background back over the current mode's logo area.
  void ClearArea();

  const QImage& LogoBitmap() const { return logo_; }
  // The logo area of a mode on pbMain; nothing for the viewer and the credits.
  std::optional<LayoutRect> AreaOf(int mode) const;

 private:
  ViewContext& ctx_;
  QImage logo_;
};
