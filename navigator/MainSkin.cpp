// Skin loading, layout and display changes of the main window.

#include <QApplication>
#include <optional>

#include "common/Messages.h"
#include "controls/PosBar.h"
#include "controls/TotalPaintBox.h"
#include "controls/Transbut.h"
#include "formats/BMR.h"
#include "formats/DemoFile.h"
#include "navigator/BackgroundDecode.h"
#include "navigator/NavigatorViews.h"
#include "navigator/Rounding.h"
#include "navigator/SkinNames.h"
#include "navigator/uMain.h"
#include "navigator/uStatus.h"
#include "platform/Canvas.h"

namespace {

const QString kFace = QStringLiteral("vkScr_01");
const QString kTallLetters = QStringLiteral("ÀÇÔ");
constexpr int kDesignFontHeightPx = 11;

bool HighColour() {
  return Env().ColourDepth > 8;
}

// Which skin naming a control follows; none for controls without skin pictures.
std::optional<SkinClass> SkinClassOf(const SkinnedControl& control) {
  switch (control.ControlKind) {
    case SkinnedControl::Kind::Button:
      return SkinClass::GraphicButton;
    case SkinnedControl::Kind::PosBar:
      if (auto* bar = qobject_cast<TPosBar*>(control.Widget); bar && bar->Kind() == pkHorzSlider)
        return SkinClass::HorzSliderBar;
      return SkinClass::PosBar;
    default:
      return std::nullopt;
  }
}

}  // namespace

void TfmMain::LoadSkin() {
  // S1: a display change has no progress window of its own.
  std::unique_ptr<TfmStatus> ownStatus;
  if (!status_) {
    ownStatus = std::make_unique<TfmStatus>(ScreenArea(), Env().ScreenScale);
    ownStatus->setWindowTitle(QStringLiteral("Resolução alterada..."));
    ownStatus->show();
    status_ = ownStatus.get();
  }
  ++skinLoads_;
  Step(QStringLiteral("Carregando imagens"), 21);
  // Pictures decoded ahead count only when they come from the container now open.
  const QString container = Env().SkinDir + QStringLiteral("controls.bmr");
  if (!NavigatorBmr().IsOpen() ||
      NavigatorBmr().OpenName().compare(container, Qt::CaseInsensitive) != 0) {
    prefetchedSkin_.clear();
    prefetchedMasks_.clear();
  }

  // S2: the layout and the text shrink together below 800 pixels.
  Environment& env = Env();
  double scale = 1.0;
  if (env.ScreenWidth < kDesignWidth) {
    scale = LayoutScaleFor(env.ScreenWidth);
    env.ScreenScale *= double(kDesignWidth) / env.ScreenWidth;
  }
  Layout.LayoutScale = scale;

  // S3
  QFont f = font();
  f.setPixelSize(std::max(1, std::abs(RoundHalfEven(kDesignFontHeightPx / env.ScreenScale))));
  setFont(f);

  // S4, S5: the progress moves with every control, loaded or not.
  const int count = int(controls_.size());
  const int step = count > 1 ? RoundHalfEven(55.0 / (count - 1)) : 55;
  int progress = 20;
  for (const SkinnedControl& control : controls_) {
    if (control.Tag & kTagSkinned) LoadControlSkin(control);
    progress += step;
    Step(QStringLiteral("Carregando imagens"), progress);
  }

  // S6
  auto take = [&](platform::Bitmap& target, const QString& name, bool convert,
                  const std::map<QString, platform::Bitmap>& ahead) {
    if (const auto it = ahead.find(name); it != ahead.end())
      target = it->second;
    else if (NavigatorBmr().IsOpen())
      NavigatorBmr().LoadBitmap(target, name, {}, convert, env.ColourDepth);
  };
  take(GradientBitmap, QStringLiteral("GreenGrad"), HighColour(), prefetchedSkin_);
  take(IndicatorBitmap, QStringLiteral("Indicator"), HighColour(), prefetchedSkin_);
  // The masks stay as stored: their two colours are combined bit for bit.
  const QStringList masks = MaskPictureNames();
  take(AdvMaskBitmap, masks[0], false, prefetchedMasks_);
  take(GameMaskBitmap, masks[1], false, prefetchedMasks_);
  prefetchedSkin_.clear();
  prefetchedMasks_.clear();
  if (ownStatus) {
    ownStatus.reset();
    status_ = nullptr;
  }
}

void TfmMain::LoadControlSkin(const SkinnedControl& control) {
  const std::optional<SkinClass> kind = SkinClassOf(control);
  if (!kind) return;
  const Environment& env = Env();
  PrepareSkin(control);
  // A container that could not be opened was reported once, by name, by the open; asking it
  // for each picture would only repeat that for every one of them.
  const bool open = NavigatorBmr().IsOpen();
  for (const SkinPicture& picture : SkinPictures(*kind, control.Name, control.Tag)) {
    if (const auto it = prefetchedSkin_.find(picture.BitmapName); it != prefetchedSkin_.end()) {
      AssignSkinPicture(control, picture.Property, it->second);
      continue;
    }
    platform::Bitmap bitmap;
    if (open &&
        NavigatorBmr().LoadBitmap(bitmap, picture.BitmapName, {}, HighColour(), env.ColourDepth))
      AssignSkinPicture(control, picture.Property, std::move(bitmap));
  }
  FinishSkin(control);
}

void TfmMain::OpenSkinContainer() {
  const QString container = Env().SkinDir + QStringLiteral("controls.bmr");
  BmrDecoded decoded = skinPrefetch_->Take(container, HighColour(), Env().ColourDepth);
  prefetchedSkin_ = std::move(decoded.Pictures);
  prefetchedMasks_ = std::move(decoded.Stored);
  // Read whole on the worker, it stands as opened here; otherwise the open below reads it and
  // reports what is wrong with it.
  if (decoded.Archive.IsOpen()) NavigatorBmr() = std::move(decoded.Archive);
  NavigatorBmr().OpenContainer(container);
}

QStringList TfmMain::MaskPictureNames() {
  return {QStringLiteral("advMask"), QStringLiteral("gameMask")};
}

QStringList TfmMain::SkinPictureNames() const {
  QStringList names;
  for (const SkinnedControl& control : controls_) {
    if (!(control.Tag & kTagSkinned)) continue;
    if (const std::optional<SkinClass> kind = SkinClassOf(control))
      for (const SkinPicture& picture : SkinPictures(*kind, control.Name, control.Tag))
        names << picture.BitmapName;
  }
  names << QStringLiteral("GreenGrad") << QStringLiteral("Indicator");
  return names;
}

void TfmMain::StartPrefetch() {
  const Environment& env = Env();
  if (!EnvironmentAcceptable(env.ColourDepth, env.ScreenWidth, env.ScreenHeight)) return;
  skinPrefetch_->Start(env.SkinDir + QStringLiteral("controls.bmr"), SkinPictureNames(),
                       HighColour(), env.ColourDepth, MaskPictureNames());
  backgroundPrefetch_->Start(env.SkinDir + QStringLiteral("gbttin.bpk"), env.ColourDepth);
}

void TfmMain::LoadBackground() {
  const QString path = Env().SkinDir + QStringLiteral("gbttin.bpk");
  DecodedBackground decoded = backgroundPrefetch_->Take(path, Env().ColourDepth);
  // A missing file throws the file layer's open error to the caller.
  if (decoded.Error) std::rethrow_exception(decoded.Error);
  if (!decoded.Usable) {
    // A header without a readable last frame is as unusable as a wrong version.
    ShowAppMessage(20, path);
    return;
  }
  BackgroundBitmap = std::move(decoded.Frame);
}

void TfmMain::LayoutControls() {
  LoadBackground();  // L1
  PlaceControls();
  SetAdvSkin();
}

void TfmMain::PlaceControls() {
  const Environment& env = Env();
  LayoutInput in;
  in.ClientWidth = width();
  in.ClientHeight = height();
  in.LayoutScale = Layout.LayoutScale;
  platform::FontSpec rowFont{kFace, RoundHalfEven(-20 / env.ScreenScale), true, Qt::black};
  platform::FontSpec lineFont{kFace, RoundHalfEven(-14 / env.ScreenScale), true, Qt::black};
  in.RowTextHeight = platform::MeasureText(rowFont, kTallLetters).height();
  in.LineTextHeight = platform::MeasureText(lineFont, kTallLetters).height();
  in.DigitsWidth = platform::MeasureText(rowFont, QStringLiteral("88")).width();
  if (QWidget* bar = Control(QStringLiteral("PosBar"))) in.PosBarWidth = bar->width();
  if (QWidget* down = Control(QStringLiteral("gtbVolDo"))) in.VolDoHeight = down->height();
  Layout = ComputeLayout(in);

  // L2, L3
  const LayoutRect& m = Layout.PbMain;
  TTotalPaintBox* main = pbMain();
  main->setGeometry(m.Left, m.Top, m.Width(), m.Height());
  if (QWidget* logo = Control(QStringLiteral("pbLogo"))) {
    const LayoutRect& r = Layout.PbLogo;
    logo->setGeometry(r.Left, r.Top, r.Width(), r.Height());
    if (auto* box = qobject_cast<TTotalPaintBox*>(logo)) box->SetVisible(true);
  }
  if (QWidget* adv = Control(QStringLiteral("pbAdv"))) {
    const LayoutRect& r = Layout.PbAdv;
    adv->setGeometry(r.Left, r.Top, r.Width(), r.Height());
  }
  main->SetVisible(true);
  main->lower();

  // L8: sizes come from the pictures.
  for (const SkinnedControl& c : controls_) {
    if (c.ControlKind != SkinnedControl::Kind::Button || !c.Widget) continue;
    const Layout::Point p = Layout.ButtonPos(c.Name);
    if (p.X >= 0) c.Widget->move(p.X, p.Y);
    // The background may be new while the place is not.
    if (auto* button = qobject_cast<TGButton*>(c.Widget)) button->UpdateBackground();
  }
  if (auto* bar = qobject_cast<TPosBar*>(Control(QStringLiteral("PosBar")))) bar->SetBGParent(main);
  main->Invalidate();
  if (auto* logo = qobject_cast<TTotalPaintBox*>(Control(QStringLiteral("pbLogo"))))
    logo->Invalidate();
}

void TfmMain::DisplayChanged(int bitsPerPixel, int width, int height) {
  pendingDepth_ = bitsPerPixel;
  pendingWidth_ = width;
  pendingHeight_ = height;
  displayChangePending_ = true;
  if (isActiveWindow()) ApplyDisplayChange();
}

void TfmMain::ApplyDisplayChange() {
  displayChangePending_ = false;
  Environment& env = Env();
  // D1
  if (!EnvironmentAcceptable(pendingDepth_, pendingWidth_, pendingHeight_)) {
    // The message names the display that was refused, not the one the program ran on.
    env.ScreenWidth = pendingWidth_;
    env.ScreenHeight = pendingHeight_;
    env.ColourDepth = pendingDepth_;
    ShowAppMessage(0);
    terminated_ = true;
    close();
    return;
  }
  // D2: another depth has another picture set.
  if (pendingDepth_ != env.ColourDepth) {
    env.ColourDepth = pendingDepth_;
    Catalogue->ClearCounts();
    LoadDemoCatalogue();
    // The logo shown and the selection belong to the old picture set.
    if (Views) Views->State().PendingLogo = {};
  }
  // D3
  if (pendingWidth_ == env.ScreenWidth && pendingHeight_ == env.ScreenHeight) return;

  // D4
  options_.Environment.screenWidth = pendingWidth_;
  options_.Environment.screenHeight = pendingHeight_;
  options_.Environment.colourDepth = pendingDepth_;
  MeasureEnvironment(options_.Environment);
  StartPrefetch();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    PlaceWindow();
    // D5
    BmrArchive& bmr = NavigatorBmr();
    OpenSkinContainer();
    try {
      LoadSkin();
      LayoutControls();
    } catch (...) {
      bmr.CloseContainer();
      throw;
    }
    bmr.CloseContainer();
    // D6: the current mode comes in again over the new layout.
    if (formShown_) {
      modes_->ReEnter();
      frames_->Wake();
    }
    if (!isVisible()) show();
    for (QWidget* w : QApplication::topLevelWidgets()) w->update();
  } catch (...) {
    QApplication::restoreOverrideCursor();  // D7, also on failure
    throw;
  }
  QApplication::restoreOverrideCursor();
}
