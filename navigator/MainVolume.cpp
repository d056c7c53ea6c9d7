// The volume level of the main window and the ramp of the volume buttons.

#include "controls/TotalPaintBox.h"
#include "navigator/uMain.h"

void TfmMain::SetVolumeLevel(int level) {
  Settings.VolumeLevel = ClampVolumeLevel(level);
}

void TfmMain::ApplyVolumeLevel() {
  ramp_.ClearAccumulator();
  SendVolumeToBackEnd();
  // The digits are redrawn over the background (their drawing belongs to the mode machine).
  const LayoutRect& r = Layout.VolumeRegion;
  if (TTotalPaintBox* main = pbMain())
    main->Invalidate(QRect(r.Left, r.Top, r.Width(), r.Height()));
}

void TfmMain::VolumeButtonDown(VolumeRamp::Direction direction) {
  ramp_.Press(direction);
  frames_->Wake();
}

void TfmMain::VolumeButtonUp() {
  if (!ramp_.Active()) return;
  SetVolumeLevel(Settings.VolumeLevel + ramp_.Release());
  ApplyVolumeLevel();
}

void TfmMain::VolumeButtonLeave() {
  ramp_.Leave();
}
