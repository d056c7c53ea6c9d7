#pragma once

// The views of the main window together: the list, the description page, the logo and the
// screenshot box with the viewer and the credits. The mode machine tells them which mode to
// draw and when a mode is being entered; they never change the mode themselves (a click that
// asks for another mode goes out through ViewHooks::ChangeMode).

#include <memory>

#include "navigator/DescriptionView.h"
#include "navigator/ListView.h"
#include "navigator/LogoView.h"
#include "navigator/ViewContext.h"
#include "navigator/Viewer.h"

class NavigatorViews {
 public:
  explicit NavigatorViews(ViewContext context);
  NavigatorViews(const NavigatorViews&) = delete;
  NavigatorViews& operator=(const NavigatorViews&) = delete;

  ViewContext& Context() { return ctx_; }
  ViewState& State() { return ctx_.State; }
  ListView& List() { return list_; }
  DescriptionView& Description() { return description_; }
  LogoView& Logo() { return logo_; }
  Viewer& Screen() { return viewer_; }

  // Hooks the controls' events (list rows and clicks, the bar, pbTela's paint and clicks).
  void Attach();
  // Unhooks them again (before the views go while the controls stay).
  void Detach();

  // Entering (or repainting) a mode. previousMode is the mode left.
  void ShowList(int mode, int previousMode, bool entering);
  void ShowDescription(int mode, bool entering);
  // Mode 10 (the viewer) or 11 (the credits); returnMode is where a click leads back.
  void EnterViewerMode(int mode, int returnMode, bool entering);
  void ShowCredits(int returnMode, bool entering) { EnterViewerMode(kCreditsMode, returnMode, entering); }
  // Draws the current mode again without its set-up (after pbMain repainted its background).
  void RedrawMode();

  void StepScreenshot(bool forward) { viewer_.StepScreenshot(forward); }
  // The frame step: draws a pending logo; false when none was pending.
  bool StepLogo() { return logo_.StepPendingLogo(); }
  bool LogoPending() const { return ctx_.State.PendingLogo.Names(); }
  // Asks for a demo's logo at the next frame step, unless it is the one shown.
  void ScheduleLogo(const DemoRef& demo);
  // Leaving the current mode: its scroll position is kept, its logo forgotten.
  void LeaveMode();

  // The installation-instructions panel of the described demo in the information region:
  // shown draws it (built once per page), hidden puts the background back.
  void DrawHowTo(bool shown);
  bool HowToBuilt() const { return !howTo_.isNull(); }

 private:
  ViewContext ctx_;
  ListView list_;
  Viewer viewer_;
  LogoView logo_;
  DescriptionView description_;
  QImage howTo_;  // the panel of the page shown, once built
};
