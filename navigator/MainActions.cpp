// The demo actions and the advertisement panel on the main window: what the buttons and the
// options menu start, and the panel below the list of a category.

#include <QApplication>
#include <algorithm>
#include <map>

#include "common/Environment.h"
#include "controls/TotalPaintBox.h"
#include "formats/DemoFile.h"
#include "navigator/AdvPanel.h"
#include "navigator/DemoActions.h"
#include "navigator/MainActionWindow.h"
#include "navigator/NavigatorViews.h"
#include "navigator/uMain.h"

int MainActionWindow::CurrentMode() const {
  return main_.modes_->CurrentMode();
}
int MainActionWindow::ReturnMode() const {
  return main_.modes_->ReturnMode();
}

int MainActionWindow::DescribedEntry() const {
  return main_.Views ? main_.Views->State().DescribedEntry : 0;
}

int MainActionWindow::ImageNumber() const {
  return main_.Views ? main_.Views->State().ImageNumber : 1;
}

const DemoEntry* MainActionWindow::Entry(int category, int index) const {
  const DemoCatalogue* catalogue = main_.Catalogue.get();
  if (!catalogue || category < 0 || category >= kCategoryCount) return nullptr;
  if (index < 1 || index > catalogue->Counts[size_t(category)]) return nullptr;
  return &catalogue->Entry(category, index);
}

QString& MainActionWindow::DemosRoot() {
  return main_.Settings.DemosRoot;
}

void MainActionWindow::OpenSelectedForRun() {
  if (!main_.Views) return;
  const int mode = CurrentMode();
  if (!IsListMode(mode)) return;
  const int selected = main_.Views->State().SelectedEntry[size_t(mode)];
  if (!Entry(mode, selected)) return;
  // The page opens first; the run follows when its mode change is finished.
  main_.modes_->SetPendingRun();
  main_.lbDemosClick();
}

void MainActionWindow::PlayEffect(int effect, int channel) {
  main_.PlayEffect(effect, channel);
}

void MainActionWindow::MinimiseApplication() {
  main_.showMinimized();
  QApplication::processEvents();
}

void MainActionWindow::RestoreApplication() {
  main_.RestoreFromWake();
  QApplication::processEvents();
}

void MainActionWindow::TerminateApplication() {
  main_.close();
}

std::optional<platform::Bitmap> MainActionWindow::Screenshot() const {
  if (!main_.Views || !main_.Catalogue) return std::nullopt;
  const ViewState& s = main_.Views->State();
  if (!IsDescriptionMode(s.DescribedMode)) return std::nullopt;
  const int category = CategoryOfMode(s.DescribedMode);
  const DemoEntry* entry = Entry(category, s.DescribedEntry);
  if (!entry || s.ImageNumber < 1 || s.ImageNumber > std::min(entry->ImageCount, kMaxImagesPerDemo))
    return std::nullopt;
  const Environment& env = Env();
  return DecodeDemoPicture(env.ShareDir, entry->DemFile,
                           main_.Catalogue->Image(category, s.DescribedEntry, s.ImageNumber),
                           env.ColourDepth);
}

QWidget* MainActionWindow::DialogOwner() const {
  return &main_;
}

void TfmMain::CreateActions() {
  actionWindow_ = std::make_unique<MainActionWindow>(*this);
  Actions = std::make_unique<DemoActions>(*actionWindow_);
}

void TfmMain::RunSelectedDemo() {
  if (Actions) Actions->RunSelectedDemo();
}

void TfmMain::ViewsAction(const QString& name) {
  using Action = void (DemoActions::*)();
  static const std::map<QString, Action> kActions = {
      {QStringLiteral("gtbPapelClick"), &DemoActions::gtbPapelClick},
      {QStringLiteral("gtbMagaClick"), &DemoActions::gtbMagaClick},
      {QStringLiteral("gtbdxClick"), &DemoActions::gtbdxClick},
      {QStringLiteral("miDXInfoClick"), &DemoActions::miDXInfoClick},
      {QStringLiteral("miDLLlibClick"), &DemoActions::miDLLlibClick},
      {QStringLiteral("miAcionarRARezClick"), &DemoActions::miAcionarRARezClick},
      {QStringLiteral("miSelfInstClick"), &DemoActions::miSelfInstClick},
      {QStringLiteral("miCopyAllClick"), &DemoActions::miCopyAllClick},
  };
  const auto it = kActions.find(name);
  if (Actions && it != kActions.end()) (Actions.get()->*(it->second))();
}

// ---- the advertisement panel ----

void TfmMain::CreateAdvPanel() {
  Adv = std::make_unique<AdvPanel>();
  auto* box = qobject_cast<TTotalPaintBox*>(Control(QStringLiteral("pbAdv")));
  if (!box) return;
  Adv->OnDraw = [box](const QImage& picture) {
    box->Canvas().Draw(0, 0, picture);
    box->update();
  };
  Adv->OnTrailer = [this](int index) {
    if (Actions) Actions->StartTrailer(index);
  };
  Adv->OnCursor = [box](int cursor) {
    static constexpr Qt::CursorShape kShapes[] = {Qt::ArrowCursor, Qt::PointingHandCursor,
                                                  Qt::ClosedHandCursor};
    box->setCursor(kShapes[std::clamp(cursor, 0, 2)]);
  };
  box->OnPaint = [this, box](QObject*) {
    // Every repaint asked for shows the next frame; without one the background shows.
    const int before = Adv->FramesDrawn;
    if (!Adv->AdvList.isEmpty()) Adv->Paint();
    if (Adv->FramesDrawn == before) PaintBackgroundUnder(box);
  };
  box->OnMouseDown = [this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers shift, int,
                            int) {
    Adv->MouseDown(button == Qt::LeftButton && shift == Qt::NoModifier &&
                   QApplication::mouseButtons() == Qt::LeftButton);
  };
  box->OnMouseMove = [this, box](QObject*, Qt::KeyboardModifiers, int x, int y) {
    Adv->MouseMove(QPoint(x, y), box->size());
  };
  box->OnMouseUp = [this, box](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
    Adv->MouseUp(QPoint(x, y), box->size());
  };
}

void TfmMain::SetAdvSkin() {
  if (!Adv) return;
  const LayoutRect& r = Layout.AdvRegion;
  Adv->SetSkin({Env().SkinDir, &AdvMaskBitmap, &BackgroundBitmap,
                QRect(r.Left, r.Top, r.Width(), r.Height()), Env().ColourDepth});
}

void TfmMain::ShowAdvPanel() {
  auto* box = qobject_cast<TTotalPaintBox*>(Control(QStringLiteral("pbAdv")));
  if (!Adv || !box) return;
  box->SetVisible(true);
  Adv->SetActive(true);  // draws the next frame at once
  frames_->Wake();
}

void TfmMain::StopAdvPanel() {
  if (Adv) Adv->SetActive(false);
}
