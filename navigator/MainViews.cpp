// What the modes ask of the views (list, description page, logo, viewer and credits) and of
// the demo actions. The views draw; the mode machine decides when.

#include "controls/TotalPaintBox.h"
#include "formats/DemoFile.h"
#include "navigator/NavigatorViews.h"
#include "navigator/uMain.h"

namespace {

const DemoEntry* DescribedDemo(const NavigatorViews& views, const DemoCatalogue& catalogue) {
  const ViewState& s = const_cast<NavigatorViews&>(views).State();
  if (!IsDescriptionMode(s.DescribedMode) || s.DescribedEntry < 1) return nullptr;
  const int c = CategoryOfMode(s.DescribedMode);
  if (s.DescribedEntry > catalogue.Counts[size_t(c)]) return nullptr;
  return &catalogue.Entry(c, s.DescribedEntry);
}

}  // namespace

int TfmMain::DescribedImageCount() const {
  const DemoEntry* e = Views ? DescribedDemo(*Views, *Catalogue) : nullptr;
  return e ? e->ImageCount : 0;
}

QString TfmMain::DescribedHowTo() const {
  const DemoEntry* e = Views ? DescribedDemo(*Views, *Catalogue) : nullptr;
  return e ? e->HowTo : QString();
}

void TfmMain::ViewsEnterList(int mode, int previousMode, bool entering) {
  if (!Views) return;
  Views->State().Mode = mode;
  Views->ShowList(mode, previousMode, entering);
}

void TfmMain::ViewsEnterDescription(int mode, int, bool entering) {
  if (!Views) return;
  Views->State().Mode = mode;
  Views->ShowDescription(mode, entering);
}

void TfmMain::ViewsEnterScreen(int mode) {
  if (!Views) return;
  Views->State().Mode = mode;
  Views->State().ReturnMode = modes_->ReturnMode();
  Views->EnterViewerMode(mode, modes_->ReturnMode(), /*entering=*/true);
}

void TfmMain::ViewsLeaveScreen() {
  if (!Views) return;
  Views->Screen().BlankViewer();
  if (auto* tela = qobject_cast<TTotalPaintBox*>(Control(QStringLiteral("pbTela"))))
    tela->SetVisible(false);
  Views->Screen().RestoreMain();
}

void TfmMain::ViewsRestoreListArea() {
  if (Views) Views->Screen().RestoreListArea();
}

void TfmMain::ViewsForgetLogo() {
  if (Views) Views->LeaveMode();
}

void TfmMain::ViewsScheduleLogo(int mode) {
  if (!Views) return;
  const ViewState& s = Views->State();
  if (IsDescriptionMode(mode) && s.DescribedEntry >= 0)
    Views->ScheduleLogo(DemoRef{CategoryOfMode(mode), s.DescribedEntry});
  else if (IsListMode(mode) && s.SelectedEntry[size_t(mode)] >= 0)
    Views->ScheduleLogo(DemoRef{mode, s.SelectedEntry[size_t(mode)]});
}

void TfmMain::ViewsDrawMode() {
  if (Views) Views->RedrawMode();
}

void TfmMain::DrawHowToPanel() {
  if (!Views) return;
  Views->DrawHowTo(HowToShown);
  HowToBuilt = Views->HowToBuilt();
}

void TfmMain::RedrawRows() {
  if (Views) Views->List().RedrawRows();
}

void TfmMain::StepScreenshot(bool forward) {
  if (Views) Views->StepScreenshot(forward);
}

void TfmMain::lbDemosClick() {
  if (Views) Views->List().Click();
}
