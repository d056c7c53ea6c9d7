// The application hooks of the main window: activation, deactivation and the frame loop, the
// wake-up by a second start, and the first show.

#include <QApplication>
#include <QScreen>
#include <QShowEvent>
#include <exception>

#include "navigator/AdvPanel.h"
#include "navigator/ModeAnimation.h"
#include "navigator/NavigatorViews.h"
#include "navigator/uMain.h"
#include "platform/Dialogs.h"
#include "platform/Timer.h"

namespace {

// Hooks run from Qt's event dispatch, which no exception may cross: a failure is reported the
// way the toolkit reports one and the program goes on.
template <class F>
void Guarded(F&& f) {
  try {
    f();
  } catch (...) {
    TfmMain::ReportFailure(std::current_exception());
  }
}

}  // namespace

void TfmMain::ReportFailure(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    platform::MessageBoxRequest box;
    box.title = QStringLiteral("Quarx CD-ROM 9");
    box.text = QString::fromUtf8(e.what());
    box.icon = platform::MsgIcon::Stop;
    platform::Dialogs().ShowMessage(box);
  } catch (...) {
    // Nothing to tell about a failure that is no exception of ours.
  }
}

void TfmMain::InstallHooks() {
  if (hooksInstalled_) return;
  hooksInstalled_ = true;
  stateHook_ = connect(qApp, &QGuiApplication::applicationStateChanged, this,
                       [this](Qt::ApplicationState state) {
                         if (state == Qt::ApplicationActive)
                           ApplicationActivated();
                         else if (state == Qt::ApplicationInactive)
                           ApplicationDeactivated();
                       });
  // A measured screen follows the system's display changes; a screen given on the command
  // line is changed only by calling DisplayChanged.
  if (options_.Environment.screenWidth <= 0) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      screenHook_ =
          connect(screen, &QScreen::geometryChanged, this, [this, screen](const QRect& g) {
            Guarded([&] { DisplayChanged(screen->depth(), g.width(), g.height()); });
          });
    }
  }
  frames_->SetRunning(true);
}

void TfmMain::RemoveHooks() {
  if (!hooksInstalled_) return;
  hooksInstalled_ = false;
  disconnect(stateHook_);
  disconnect(screenHook_);
  frames_->SetRunning(false);
}

void TfmMain::ApplicationActivated() {
  Guarded([this] {
    if (displayChangePending_) {
      ApplyDisplayChange();
    } else if (Env().ColourDepth <= 8) {
      // Every window repaints with the palette realised again.
      for (QWidget* w : QApplication::topLevelWidgets()) w->update();
    }
    TurnWaveTimer();
  });
}

void TfmMain::ApplicationDeactivated() {
  if (QWidget* focus = focusWidget()) focus->clearFocus();
  SilenceSound();
  TurnWave->SetEnabled(false);
}

void TfmMain::RestoreFromWake() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
}

int TfmMain::RunFrame(uint32_t elapsedMs) {
  int dueMs = FrameLoop::kIdle;
  auto sooner = [&dueMs](int ms) {
    if (ms != FrameLoop::kIdle && (dueMs == FrameLoop::kIdle || ms < dueMs)) dueMs = ms;
  };
  Guarded([&] {
    // The mode animation (or else the pending logo) and the advertisement panel step here,
    // in that order, before the volume ramp.
    if (modes_->Animating()) {
      modes_->StepAnimation(int(elapsedMs));
      sooner(animation_->MsUntilNextFrame());
    } else if (Views && Views->LogoPending()) {
      Views->StepLogo();
    }
    if (Adv && Adv->Active()) {
      Adv->StepAdvPanel(int(elapsedMs));
      sooner(Adv->MsUntilNextFrame());
    }
    if (ramp_.Active()) {
      if (const int step = ramp_.Step(elapsedMs)) {
        SetVolumeLevel(Settings.VolumeLevel + step);
        ApplyVolumeLevel();
      }
      sooner(int(ramp_.MsUntilNextStep()));
    }
  });
  return dueMs;
}

void TfmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  Guarded([this] { FormShow(); });
}
