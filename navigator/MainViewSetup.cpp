// The main window's views wired to its controls, pictures and layout.

#include "controls/DrawListBox.h"
#include "controls/PosBar.h"
#include "controls/TotalPaintBox.h"
#include "navigator/NavigatorViews.h"
#include "navigator/uMain.h"

void TfmMain::CreateViews() {
  ViewContext ctx;
  ctx.Controls.List = qobject_cast<TDrawBox*>(Control(QStringLiteral("lbDemos")));
  ctx.Controls.Bar = qobject_cast<TPosBar*>(Control(QStringLiteral("PosBar")));
  ctx.Controls.Main = pbMain();
  ctx.Controls.Tela = qobject_cast<TTotalPaintBox*>(Control(QStringLiteral("pbTela")));
  ctx.Controls.Emblem = Control(QStringLiteral("pbLogo"));
  ctx.Skin.Background = &BackgroundBitmap;
  ctx.Skin.Gradient = &GradientBitmap;
  ctx.Skin.Indicator = &IndicatorBitmap;
  ctx.Skin.GameMask = &GameMaskBitmap;
  ctx.Skin.Layout = &Layout;
  ctx.Catalogue = Catalogue.get();
  ctx.Screenshot = &ScreenshotBitmap;
  ctx.Clock = options_.Clock;
  ctx.Sleep = options_.Sleep;
  ViewHooks& hooks = ctx.Hooks;
  hooks.PlayEffect = [this](int effect, int channel) { PlayEffect(effect, channel); };
  hooks.EnableInstall = [this](bool enabled) {
    if (QWidget* inst = Control(QStringLiteral("gtbInst"))) inst->setEnabled(enabled);
  };
  hooks.InstallEnabled = [this] {
    const QWidget* inst = Control(QStringLiteral("gtbInst"));
    return inst && inst->isEnabled();
  };
  hooks.Ragged = [this] { return ShowsAlternatePicture(QStringLiteral("gtbAlign")); };
  hooks.WindowActive = [this] { return isVisible() && isActiveWindow(); };
  hooks.LogoScheduled = [this] { frames_->Wake(); };
  hooks.ChangeMode = [this](int mode) { ChangeMode(mode); };
  hooks.ListEnteredFromElsewhere = [this](int) { ShowAdvPanel(); };
  Views = std::make_unique<NavigatorViews>(std::move(ctx));
  if (ScreenshotBitmap.IsEmpty()) ScreenshotBitmap = platform::Bitmap::Blank(1, 1);
  Views->Attach();
}
