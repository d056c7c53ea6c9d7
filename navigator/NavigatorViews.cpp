#include "navigator/NavigatorViews.h"

#include "controls/DrawListBox.h"
#include "controls/PosBar.h"
#include "controls/TotalPaintBox.h"
#include "common/Environment.h"
#include "formats/DemoFile.h"
#include "navigator/PictureViews.h"

NavigatorViews::NavigatorViews(ViewContext context)
    : ctx_(std::move(context)), list_(ctx_), viewer_(ctx_), logo_(ctx_),
      description_(ctx_, list_, viewer_) {}

void NavigatorViews::Attach() {
  list_.Attach();
  viewer_.Attach();
}

void NavigatorViews::Detach() {
  if (TDrawBox* list = ctx_.Controls.List) {
    list->OnDrawItem = nullptr;
    list->OnClick = nullptr;
    list->OnMouseRun = nullptr;
  }
  if (TPosBar* bar = ctx_.Controls.Bar) bar->OnChange = nullptr;
  if (TTotalPaintBox* tela = ctx_.Controls.Tela) {
    tela->OnPaint = nullptr;
    tela->OnMouseUp = nullptr;
  }
}

void NavigatorViews::ShowList(int mode, int previousMode, bool entering) {
  list_.ShowCategoryList(mode, previousMode, entering);
  if (entering) {
    // A list that asks for no logo (an empty category) shows none: not the one the list
    // before left on pbMain (a change between lists plays no animation over it), nor one
    // asked for there and not drawn yet.
    DemoRef& pending = ctx_.State.PendingLogo;
    if (pending.Category != mode) pending = {};
    if (!pending.Names()) logo_.ClearArea();
  }
  logo_.DrawLogoArea();
}

void NavigatorViews::ShowDescription(int mode, bool entering) {
  if (entering) howTo_ = QImage();  // a new page builds its own panel
  description_.ShowDescription(mode, entering);
  logo_.DrawLogoArea();
}

void NavigatorViews::EnterViewerMode(int mode, int returnMode, bool entering) {
  viewer_.EnterViewerMode(mode, returnMode, entering);
}

void NavigatorViews::RedrawMode() {
  const int mode = ctx_.State.Mode;
  if (IsListMode(mode)) {
    ShowList(mode, mode, false);
  } else if (IsDescriptionMode(mode)) {
    ShowDescription(mode, false);
  }
}

void NavigatorViews::LeaveMode() {
  ViewState& s = ctx_.State;
  s.SavedFirstVisible[s.Mode] = s.FirstVisible;
  logo_.Free();
}

void NavigatorViews::ScheduleLogo(const DemoRef& demo) {
  ViewState& s = ctx_.State;
  if (!demo.Names() || demo == s.ShownLogo || demo == s.PendingLogo) return;
  s.PendingLogo = demo;
  if (ctx_.Hooks.LogoScheduled) ctx_.Hooks.LogoScheduled();
}

void NavigatorViews::DrawHowTo(bool shown) {
  if (!ctx_.Controls.Main || !ctx_.Skin.Layout) return;
  const LayoutRect& r = ctx_.Skin.Layout->InfoRegion;
  const BackgroundPart under{ctx_.Skin.Background, QRect(r.Left, r.Top, r.Width(), r.Height())};
  platform::Canvas& canvas = ctx_.Controls.Main->Canvas();
  if (!shown) {
    canvas.Draw(r.Left, r.Top, BackgroundUnder(under));
    return;
  }
  if (howTo_.isNull()) {
    const ViewState& s = ctx_.State;
    const int category = viewer_.ScreenshotCategory();
    QString text;
    if (ctx_.Catalogue && category >= 0 && s.DescribedEntry >= 1 &&
        s.DescribedEntry <= ctx_.Catalogue->Counts.at(category))
      text = ctx_.Catalogue->Entry(category, s.DescribedEntry).HowTo;
    howTo_ = BuildHowToPanel(text, under, ctx_.Skin.Layout->LayoutScale, Env().ScreenScale);
  }
  canvas.Draw(r.Left, r.Top, howTo_);
}
