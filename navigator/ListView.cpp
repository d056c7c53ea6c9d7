#include "navigator/ListView.h"

#include <algorithm>

#include "controls/DrawListBox.h"
#include "controls/PosBar.h"
#include "controls/TotalPaintBox.h"
#include "formats/DemoFile.h"
#include "navigator/Rounding.h"
#include "navigator/RowPainter.h"
#include "common/Environment.h"

namespace {

const QString kPlaceholder = QStringLiteral("Empty");

template <class F, class... A>
void Call(const F& f, A&&... a) {
  if (f) f(std::forward<A>(a)...);
}

}  // namespace

int ViewContext::RowIndent() const {
  return RoundHalfEven(8 * (Skin.Layout ? Skin.Layout->LayoutScale : 1.0));
}

QPoint ViewContext::MainOffset(const QWidget* child) const {
  const QPoint main = Controls.Main ? Controls.Main->pos() : QPoint();
  return child->pos() - main;
}

ListView::ListView(ViewContext& context) : ctx_(context) {}

void ListView::Attach() {
  TDrawBox* list = ctx_.Controls.List;
  list->SetStyle(lbOwnerDrawFixed);
  list->SetBorderStyle(bsNone);
  list->OnDrawItem = [this](QObject*, int index, const QRect& rect, TOwnerDrawState state) {
    DrawRow(index, state, rect);
  };
  list->OnClick = [this](QObject*) { Click(); };
  list->OnMouseRun = [this](QObject*) { MouseRun(); };
  ctx_.Controls.Bar->OnChange = [this](QObject*) { PosBarScroll(ctx_.Controls.Bar->Position()); };
}

int ListView::ItemCount() const {
  const int mode = ctx_.State.Mode;
  if (IsListMode(mode)) return ctx_.Catalogue ? ctx_.Catalogue->Counts.at(mode) : 0;
  if (IsDescriptionMode(mode)) return ctx_.State.Text.Count();
  return 0;
}

int ListView::VisibleRows() const {
  const int mode = ctx_.State.Mode;
  if (IsListMode(mode)) return ctx_.Skin.Layout->ListRows;
  if (IsDescriptionMode(mode)) return ctx_.Skin.Layout->TextLines;
  return 1;
}

int ListView::LastFirst() const {
  const int mode = ctx_.State.Mode;
  if (!IsListMode(mode) && !IsDescriptionMode(mode)) return 1;
  return ItemCount() - VisibleRows() + 1;
}

void ListView::PrepareList(int itemHeight, int items, int rows, const LayoutRect& region,
                           bool hand) {
  TDrawBox* list = ctx_.Controls.List;
  list->Clear();
  list->setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
  list->SetItemHeight(itemHeight);
  const int height = std::min(items, rows) * itemHeight;
  list->setGeometry(region.Left, region.Top, region.Width(), height);
  const int placeholders = itemHeight > 0 ? height / itemHeight : 0;
  for (int i = 0; i < placeholders; ++i) list->Items().Add(kPlaceholder);
  list->SetVisible(true);
}

void ListView::SetUpBar(int items, int rows, const LayoutRect& region) {
  TPosBar* bar = ctx_.Controls.Bar;
  const int margin = ctx_.Skin.Layout->Margin;
  bar->setGeometry(region.Right + margin, region.Top, bar->width(),
                   ctx_.Controls.List->height());
  const int max = std::max(items, 1);
  bar->SetParams(rows + ctx_.State.FirstVisible - 1, 1, std::max(rows, 1), max);
  bar->SetChangeLarge(std::max(rows - 1, 1));
  // Shown only when not every item fits.
  bar->SetVisible(rows < max);
  if (rows < max) bar->update();
}

void ListView::ShowCategoryList(int mode, int previousMode, bool entering) {
  ViewState& s = ctx_.State;
  s.Mode = mode;
  if (!entering) return;
  const Layout& layout = *ctx_.Skin.Layout;
  const int count = ItemCount();
  s.FirstVisible = s.SavedFirstVisible[mode];
  PrepareList(layout.ListRowHeight, count, layout.ListRows, layout.ListRegion, true);
  const int row = s.SelectedEntry[mode] - s.FirstVisible;
  TDrawBox* list = ctx_.Controls.List;
  list->SetItemIndex(row >= 0 && row < list->Items().Count() ? row : -1);
  RedrawRows();
  // An empty category has nothing to install and no logo to show.
  const int selected = s.SelectedEntry[mode];
  if (selected < 0 || count == 0) {
    Call(ctx_.Hooks.EnableInstall, false);
  } else {
    Call(ctx_.Hooks.EnableInstall, true);
    if (selected <= count) ScheduleLogo({mode, selected});
  }
  SetUpBar(count, layout.ListRows, layout.ListRegion);
  if (!IsListMode(previousMode)) Call(ctx_.Hooks.ListEnteredFromElsewhere, previousMode);
}

void ListView::DrawRow(int row, int state, const QRect& rect) {
  ViewState& s = ctx_.State;
  const int mode = s.Mode;
  if (row < 0 || rect.isEmpty()) return;
  RowSkin skin;
  skin.Background = ctx_.Skin.Background;
  skin.Gradient = ctx_.Skin.Gradient;
  skin.Indicator = ctx_.Skin.Indicator;
  skin.ListOffset = ctx_.MainOffset(ctx_.Controls.List);
  skin.RowIndent = ctx_.RowIndent();
  skin.LayoutScale = ctx_.Skin.Layout->LayoutScale;
  skin.ScreenScale = Env().ScreenScale;
  platform::Canvas& canvas = ctx_.Controls.List->Canvas();
  if (IsListMode(mode)) {
    const int entry = s.FirstVisible + row;
    if (!ctx_.Catalogue || entry > ctx_.Catalogue->Counts.at(mode)) return;
    if (state & kRowSelected) s.SelectedEntry[mode] = entry;
    PaintListRow(canvas, rect, state, ctx_.Catalogue->Entry(mode, entry).Title, skin);
  } else if (IsDescriptionMode(mode)) {
    const int line = s.FirstVisible + row - 1;
    if (line < 0 || line >= s.Text.Count()) return;
    if (state & kRowSelected) s.SelectedEntry[mode] = s.FirstVisible + row;
    TextLineLayout layout;
    layout.Justified = !(ctx_.Hooks.Ragged && ctx_.Hooks.Ragged());
    layout.EndsParagraph = s.Text.LineEndsParagraph[line] != 0;
    layout.Gaps = s.Text.LineGaps[line];
    PaintTextRow(canvas, rect, state, s.Text.Lines[line], layout, skin);
  } else {
    return;
  }
  pixelsDrawn_ += int64_t(rect.width()) * rect.height();
}

void ListView::RedrawRows() {
  TDrawBox* list = ctx_.Controls.List;
  const ViewState& s = ctx_.State;
  const int count = list->Items().Count();
  const int h = list->ItemHeight();
  const int selectedRow = s.SelectedEntry[s.Mode] - s.FirstVisible;
  const bool any = selectedRow >= 0 && selectedRow < count;
  list->SetItemIndex(any ? selectedRow : -1);
  for (int i = 0; i < count; ++i)
    DrawRow(i, i == selectedRow ? kRowSelected : 0, QRect(0, i * h, list->width(), h));
}

void ListView::RedrawRow(int row, int state) {
  TDrawBox* list = ctx_.Controls.List;
  const int h = list->ItemHeight();
  DrawRow(row, state, QRect(0, row * h, list->width(), h));
}

void ListView::SetFirstVisible(int first) {
  ViewState& s = ctx_.State;
  if (first == s.FirstVisible) return;
  const int last = LastFirst();
  if (last <= 0 || first <= 0 || first > last) return;
  s.FirstVisible = first;
  // The selection stays on the same screen row while the items move under it; with no row
  // selected nothing becomes selected.
  const int row = ctx_.Controls.List->ItemIndex();
  if (row >= 0) s.SelectedEntry[s.Mode] = row + first;
  RedrawRows();
}

void ListView::PosBarScroll(int position) {
  const int first = std::max(1, position - VisibleRows() + 1);
  SetFirstVisible(first);
  if (IsListMode(ctx_.State.Mode)) UpdateSelectionState();
}

void ListView::ScheduleLogo(const DemoRef& demo) {
  if (ctx_.State.PendingLogo == demo) return;
  ctx_.State.PendingLogo = demo;
  Call(ctx_.Hooks.LogoScheduled);
}

void ListView::UpdateSelectionState() {
  const ViewState& s = ctx_.State;
  const int mode = s.Mode;
  if (!IsListMode(mode)) return;
  const bool enabled = ctx_.Hooks.InstallEnabled ? ctx_.Hooks.InstallEnabled() : true;
  if (!enabled && ctx_.Controls.List->ItemIndex() >= 0) Call(ctx_.Hooks.EnableInstall, true);
  const int selected = s.SelectedEntry[mode];
  if (selected >= 1 && selected <= ItemCount()) {
    const DemoRef demo{mode, selected};
    if (!(demo == s.ShownLogo))
      ScheduleLogo(demo);
    else
      ctx_.State.PendingLogo = {};  // back on the demo shown: a logo passed over is not wanted
  }
}

void ListView::Click() {
  ViewState& s = ctx_.State;
  const int mode = s.Mode;
  if (IsListMode(mode)) {
    const int entry = s.SelectedEntry[mode];
    if (entry < 1 || entry > ItemCount()) return;
    Call(ctx_.Hooks.PlayEffect, 1, 2);
    if (!(DemoRef{mode, entry} == s.ShownLogo)) ScheduleLogo({mode, entry});
    const int target = mode + kFirstDescriptionMode;
    if (target != s.DescribedMode || entry != s.DescribedEntry) {
      s.SavedFirstVisible[target] = 1;
      s.DescribedMode = target;
      s.DescribedEntry = entry;
      s.ImageNumber = 1;
    }
    Call(ctx_.Hooks.ChangeMode, target);
  } else if (IsDescriptionMode(mode)) {
    TDrawBox* list = ctx_.Controls.List;
    TPosBar* bar = ctx_.Controls.Bar;
    const int row = list->ItemIndex();
    const int last = list->Items().Count() - 1;
    if (row == last && row != 0) {
      bar->SetPosition(bar->Position() + bar->ChangeLarge());
      RedrawRow(last, kRowFocused);
    } else if (row == 0) {
      bar->SetPosition(bar->Position() - bar->ChangeLarge());
      RedrawRow(0, kRowFocused);
    }
  }
}

void ListView::MouseRun() {
  TDrawBox* list = ctx_.Controls.List;
  const bool active = ctx_.Hooks.WindowActive ? ctx_.Hooks.WindowActive() : true;
  if (active && list->Visible() && list->isEnabled() && list->CanFocus() && !list->hasFocus())
    list->setFocus(Qt::MouseFocusReason);
  UpdateSelectionState();
}
