#include "navigator/ModeMachine.h"

QString AnimationFileName(AnimationKind kind) {
  switch (kind) {
    case AnimationKind::ListEntry:
      return QStringLiteral("gbttin");
    case AnimationKind::ListExit:
      return QStringLiteral("gbttout");
    case AnimationKind::DescriptionEntry:
      return QStringLiteral("dettin");
    case AnimationKind::DescriptionExit:
      return QStringLiteral("dettout");
    case AnimationKind::None:
      break;
  }
  return {};
}

void ModeMachine::Start() {
  returnMode_ = 0;
  savedReturnMode_ = 0;
  backEnabled_ = false;
  host_.SetBackEnabled(false);
  EnterFromPartner(0);
}

void ModeMachine::ReEnter() {
  // A change cut short by the new display is replaced by the entry of where it was going.
  const int mode = entering_ ? targetMode_ : currentMode_;
  if (animator_.AnimationOpen()) animator_.CloseAnimation();
  animation_ = AnimationKind::None;
  leftMode_ = -1;
  EnterFromPartner(mode);
}

void ModeMachine::EnterFromPartner(int mode) {
  targetMode_ = mode;
  currentMode_ = PartnerMode(mode);
  entering_ = true;
  StartEntry();
}

void ModeMachine::ChangeMode(int mode) {
  if (mode < 0 || mode >= kModeCount) return;
  // Closing leaves nothing to go to but the credits.
  if (closing_ && mode != kCreditsMode) return;
  if (entering_) {
    // The change under way ends first; the last request wins.
    deferredMode_ = mode == targetMode_ ? -1 : mode;
    return;
  }
  if (mode == currentMode_) {
    // The credits already up when the window is told to close: close from here.
    if (closing_) host_.CloseAfterCredits();
    return;
  }
  leftMode_ = currentMode_ <= 9 ? currentMode_ : -1;
  entering_ = true;
  targetMode_ = mode;
  const int oldMode = currentMode_;
  LeaveMode(oldMode, mode);
  if (IsListMode(oldMode) && IsListMode(mode)) {
    FinishModeChange();
    return;
  }
  after_ = After::StartEntry;
  animation_ = IsListMode(oldMode)          ? AnimationKind::ListExit
               : IsDescriptionMode(oldMode) ? AnimationKind::DescriptionExit
                                            : AnimationKind::None;
  StepAnimation(-1);
}

void ModeMachine::LeaveMode(int oldMode, int newMode) {
  host_.LeaveModeControls(oldMode, newMode);
  if (IsScreenMode(oldMode)) {
    // Leaving the credits for the mode they were opened from leaves the back button as it
    // was before they opened.
    if (oldMode == kCreditsMode && returnMode_ == savedReturnMode_) {
      backEnabled_ = false;
      host_.SetBackEnabled(false);
    }
    returnMode_ = savedReturnMode_;
    return;
  }
  returnMode_ = oldMode;
  backEnabled_ = true;
  host_.SetBackEnabled(true);
}

void ModeMachine::StartEntry() {
  after_ = After::FinishModeChange;
  animation_ = IsListMode(targetMode_)          ? AnimationKind::ListEntry
               : IsDescriptionMode(targetMode_) ? AnimationKind::DescriptionEntry
                                                : AnimationKind::None;
  StepAnimation(-1);
}

void ModeMachine::StepAnimation(int elapsedMs) {
  if (animation_ == AnimationKind::None) {
    EndAnimation();
    return;
  }
  if (!animator_.AnimationOpen() && !animator_.OpenAnimation(animation_)) {
    EndAnimation();
    return;
  }
  if (animator_.StepAnimation(elapsedMs)) EndAnimation();
}

void ModeMachine::EndAnimation() {
  animation_ = AnimationKind::None;
  if (animator_.AnimationOpen()) animator_.CloseAnimation();
  if (after_ == After::StartEntry)
    StartEntry();
  else
    FinishModeChange();
}

void ModeMachine::FinishModeChange() {
  const int previous = currentMode_;
  currentMode_ = targetMode_;
  host_.EnterMode(currentMode_, previous, leftMode_);
  entering_ = false;
  if (deferredMode_ >= 0) {
    const int next = deferredMode_;
    deferredMode_ = -1;
    ChangeMode(next);
    return;
  }
  if (pendingRun_) {
    pendingRun_ = false;
    host_.RunSelectedDemo();
  }
  if (closing_ && currentMode_ == kCreditsMode) host_.CloseAfterCredits();
}
