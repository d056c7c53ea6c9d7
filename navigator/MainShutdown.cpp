// The shutdown order of the main window.

#include "audio/SoundModule.h"
#include "audio/WaveMix.h"
#include "controls/PosBar.h"
#include "controls/TotalPaintBox.h"
#include "controls/Transbut.h"
#include "formats/BPK.h"
#include "formats/DemoFile.h"
#include "navigator/AdvPanel.h"
#include "navigator/BackgroundDecode.h"
#include "navigator/Ceremony.h"
#include "navigator/DemoActions.h"
#include "navigator/MainActionWindow.h"
#include "navigator/ModeAnimation.h"
#include "navigator/NavigatorViews.h"
#include "navigator/uMain.h"
#include "platform/Drives.h"
#include "platform/Fonts.h"
#include "platform/Timer.h"

TfmMain::~TfmMain() {
  FormDestroy();
}

void TfmMain::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  JoinFontTask();
  if (FontAdded) {
    if (const auto host = platform::Drives().ToHost(FontFile())) platform::RemoveFontFile(*host);
    FontAdded = false;
  }
  ReleaseSound();
  MusicList.clear();
  RemoveHooks();
  StopAdvPanel();
  // The panel's box outlives the panel (Qt deletes children last).
  if (auto* adv = qobject_cast<TTotalPaintBox*>(Control(QStringLiteral("pbAdv")))) {
    adv->OnPaint = [this, adv](QObject*) { PaintBackgroundUnder(adv); };
    adv->OnMouseDown = nullptr;
    adv->OnMouseMove = nullptr;
    adv->OnMouseUp = nullptr;
  }
  // The window leaves the screen before the store is written.
  hide();
  WriteSettings(Settings, Env().SoundAvailable, options_.Keys);
  // The views go before the pictures they draw with; the controls stop calling them.
  if (Views) Views->Detach();
  Views.reset();
  ScreenshotBitmap = {};
  BackgroundBitmap = {};
  GradientBitmap = {};
  IndicatorBitmap = {};
  AdvMaskBitmap = {};
  GameMaskBitmap = {};
  // The controls outlive these members (Qt deletes children after them) and would otherwise
  // look at a destroyed background when a neighbour they take it through goes first.
  for (const SkinnedControl& c : controls_) {
    if (auto* bar = qobject_cast<TPosBar*>(c.Widget)) {
      bar->SetBGParent(nullptr);
      bar->SetBackground(nullptr);
    } else if (auto* button = qobject_cast<TGButton*>(c.Widget)) {
      button->SetBGParent(nullptr);
      button->SetBackground(nullptr);
    }
  }
}
