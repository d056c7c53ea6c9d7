// The window side of the mode machine: the control groups each mode shows, what leaving and
// entering a mode do to the controls, the animations drawn on pbMain, the opening and the
// moment the credits stay on screen before the window closes.

#include <QApplication>
#include <QShowEvent>

#include "common/Environment.h"
#include "common/Messages.h"
#include "controls/DrawListBox.h"
#include "controls/PosBar.h"
#include "controls/TotalPaintBox.h"
#include "controls/Transbut.h"
#include "navigator/AdvPanel.h"
#include "navigator/ModeAnimation.h"
#include "navigator/uMain.h"
#include "platform/Timer.h"

namespace {

constexpr uint32_t kCreditsMomentMs = 1500;

template <class T>
T* As(QWidget* w) {
  return qobject_cast<T*>(w);
}

}  // namespace

void TfmMain::CreateModes() {
  ModeAnimation::Output out;
  out.DrawFrame = [this](const platform::Bitmap& frame) { DrawAnimationFrame(frame); };
  out.DrawUnreadableFrame = [this] { FillAnimationArea(); };
  out.PlayEffect = [this](int effect, int channel) { PlayEffect(effect, channel); };
  out.TakeBackground = [this](platform::Bitmap frame) { TakeAnimationBackground(std::move(frame)); };
  out.ReportUnusable = [](const QString& path) { ShowAppMessage(20, path); };
  animation_ = std::make_unique<ModeAnimation>([] { return Env().SkinDir; },
                                               [] { return Env().ColourDepth; }, std::move(out));
  ModeHost& host = *this;
  modes_ = std::make_unique<ModeMachine>(host, *animation_);
}

void TfmMain::ChangeMode(int mode) {
  modes_->ChangeMode(mode);
  // The animation's next frames come from the frame loop.
  frames_->Wake();
}

TGButton* TfmMain::Button(const QString& name) const {
  return qobject_cast<TGButton*>(Control(name));
}

const QStringList& TfmMain::GroupButtons(Group group) {
  static const QStringList category = {"gtbjogos", "gtbApps", "gtbInter", "gtbSavers",
                                       "gtbUtils"};
  static const QStringList side = {"gtbdx",     "gtbInst",  "gtbBack",  "gtbOpts",
                                   "gtbMaster", "gtbMusic", "gtbVolUp", "gtbVolDo"};
  static const QStringList top = {"gtbClose", "gtbMin", "gtbMaga"};
  static const QStringList picture = {"gtbFull",  "gtbPrevious", "gtbNext",
                                      "gtbPapel", "gtbAlign",    "gtbHowTo"};
  switch (group) {
    case Group::Category:
      return category;
    case Group::Side:
      return side;
    case Group::Top:
      return top;
    case Group::Picture:
      break;
  }
  return picture;
}

QString TfmMain::CategoryButton(int mode) {
  if (mode < 0 || mode > 9) return {};
  return GroupButtons(Group::Category)[CategoryOfMode(mode)];
}

void TfmMain::ShowGroup(Group group, bool shown) {
  for (const QString& name : GroupButtons(group)) {
    TGButton* b = Button(name);
    if (!b) continue;
    b->setVisible(shown);
    // Only what is shown takes part in the Tab order.
    b->setFocusPolicy(shown ? Qt::TabFocus : Qt::NoFocus);
    if (!shown && b->hasFocus()) b->clearFocus();
    if (shown) b->repaint();
  }
  if (group == Group::Side && shown) DrawVolumeDigits();
}

void TfmMain::FormShow() {
  if (formShown_ || terminated_ || BackgroundBitmap.IsEmpty()) return;
  formShown_ = true;
  modes_->Start();
  frames_->Wake();
  // The volume ramp's step with -1: the level is sent and the digits drawn.
  ApplyVolumeLevel();
}

// ---- animations on pbMain ----

void TfmMain::DrawAnimationFrame(const platform::Bitmap& frame) {
  TTotalPaintBox* main = pbMain();
  const LayoutRect& a = Layout.AnimationRegion;
  const QRect area(a.Left, a.Top, a.Width(), a.Height());
  main->Canvas().CopyRect(area, frame, area);
  // Each frame reaches the screen before the next one is drawn.
  main->repaint(area);
  if (options_.OnAnimationFrame) options_.OnAnimationFrame();
}

void TfmMain::FillAnimationArea() {
  TTotalPaintBox* main = pbMain();
  main->Canvas().Fill(main->rect(), main->Color());
  main->repaint();
  if (options_.OnAnimationFrame) options_.OnAnimationFrame();
}

void TfmMain::TakeAnimationBackground(platform::Bitmap frame) {
  BackgroundBitmap = std::move(frame);
  // The buttons show the background through their transparent parts; the emblem and the
  // advertisement box show it whole.
  for (const SkinnedControl& c : controls_)
    if (auto* b = As<TGButton>(c.Widget)) b->UpdateBackground();
  for (const char* name : {"pbLogo", "pbAdv"})
    if (auto* box = As<TTotalPaintBox>(Control(QLatin1String(name)))) box->Invalidate();
}

// ---- ModeHost ----

void TfmMain::LeaveModeControls(int oldMode, int newMode) {
  auto* list = As<TDrawBox>(Control(QStringLiteral("lbDemos")));
  auto* bar = As<TPosBar>(Control(QStringLiteral("PosBar")));
  auto* tela = As<TTotalPaintBox>(Control(QStringLiteral("pbTela")));
  auto* adv = As<TTotalPaintBox>(Control(QStringLiteral("pbAdv")));
  auto* logo = As<TTotalPaintBox>(Control(QStringLiteral("pbLogo")));
  const bool toScreen = IsScreenMode(newMode);
  if (IsListMode(oldMode) || IsDescriptionMode(oldMode)) {
    if (list) list->SetVisible(false);
    if (bar) bar->SetVisible(false);
    if (IsListMode(oldMode)) {
      if (IsListMode(newMode)) {
        ViewsRestoreListArea();
      } else {
        StopAdvPanel();
        if (adv) adv->SetVisible(false);
      }
    } else {
      HowToShown = HowToPinned = HowToBuilt = false;
      if (tela) tela->SetVisible(false);
      ShowGroup(Group::Picture, false);
    }
    if (toScreen) {
      ShowGroup(Group::Category, false);
      ShowGroup(Group::Side, false);
      ShowGroup(Group::Top, false);
    }
    ViewsForgetLogo();
    return;
  }
  // The viewer or the credits: the page comes back from the background.
  pbMain()->SetVisible(true);
  ViewsLeaveScreen();
  if (logo) {
    logo->SetVisible(true);
    logo->Invalidate();
  }
}

void TfmMain::SetBackEnabled(bool enabled) {
  if (TGButton* back = Button(QStringLiteral("gtbBack"))) back->SetEnabled(enabled);
}

void TfmMain::EnterMode(int mode, int previousMode, int leftMode) {
  if (!IsScreenMode(mode)) {
    if (leftMode >= 0) SetAlternatePicture(CategoryButton(leftMode), false);
    SetAlternatePicture(CategoryButton(mode), true);
  }
  if (IsListMode(mode)) {
    ShowGroup(Group::Top, true);
    ShowGroup(Group::Side, true);
    ShowGroup(Group::Category, true);
    // The panel plays again in every list; coming from elsewhere it is shown as well.
    if (Adv) Adv->AdvActive = true;
    frames_->Wake();
    ViewsEnterList(mode, previousMode, /*entering=*/true);
  } else if (IsDescriptionMode(mode)) {
    if (auto* tela = As<TTotalPaintBox>(Control(QStringLiteral("pbTela")))) {
      const LayoutRect& r = Layout.ScreenshotRegion;
      tela->setGeometry(r.Left, r.Top, r.Width(), r.Height());
      // The page's screenshot lives in it; leaving the page hides it again.
      tela->SetVisible(true);
    }
    ShowGroup(Group::Category, true);
    ShowGroup(Group::Top, true);
    ShowGroup(Group::Side, true);
    UpdatePictureButtons();
    ShowGroup(Group::Picture, true);
    if (TGButton* inst = Button(QStringLiteral("gtbInst"))) inst->SetEnabled(true);
    ViewsEnterDescription(mode, previousMode, /*entering=*/true);
  } else {
    UpdatePictureButtons();
    ViewsEnterScreen(mode);
  }
  FocusListIfNothingHasFocus();
}

void TfmMain::UpdatePictureButtons() {
  // The viewer's arrows follow the page it was opened from.
  const int mode = modes_->CurrentMode() == kViewerMode ? modes_->ReturnMode()
                                                        : modes_->CurrentMode();
  if (!IsDescriptionMode(mode)) return;
  const bool several = DescribedImageCount() > 1;
  for (const char* name : {"gtbPrevious", "gtbNext"})
    if (TGButton* b = Button(QLatin1String(name))) b->SetEnabled(several);
  if (TGButton* howTo = Button(QStringLiteral("gtbHowTo")))
    howTo->SetEnabled(!DescribedHowTo().isEmpty());
}

void TfmMain::FocusListIfNothingHasFocus() {
  if (QApplication::focusWidget() && isAncestorOf(QApplication::focusWidget())) return;
  auto* list = As<TDrawBox>(Control(QStringLiteral("lbDemos")));
  if (list && list->Visible() && list->isEnabled() && list->CanFocus()) list->setFocus();
}

void TfmMain::CloseAfterCredits() {
  if (closeTimer_) return;
  // Whatever waits runs first, so the credits are on screen during the moment.
  QApplication::processEvents();
  closeTimer_ = std::make_unique<platform::Timer>(kCreditsMomentMs, options_.Clock);
  closeTimer_->OnTimer = [this] {
    closeTimer_->SetEnabled(false);
    close();
  };
  closeTimer_->SetEnabled(true);
}
