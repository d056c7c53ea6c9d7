#include "navigator/DescriptionView.h"

#include "common/Environment.h"
#include "controls/DrawListBox.h"
#include "controls/TotalPaintBox.h"
#include "formats/DemoFile.h"
#include "navigator/ListView.h"
#include "navigator/RowPainter.h"
#include "navigator/TextBreaker.h"
#include "navigator/Viewer.h"

namespace {

// The title colour of each category.
const QColor kTitleColours[kCategoryCount] = {QColor(0, 255, 255), QColor(0, 255, 255),
                                              QColor(0, 255, 255), QColor(0, 255, 255),
                                              QColor(0, 255, 255)};

}  // namespace

DescriptionView::DescriptionView(ViewContext& context, ListView& list, Viewer& viewer)
    : ctx_(context), list_(list), viewer_(viewer) {}

void DescriptionView::ShowDescription(int mode, bool entering) {
  ViewState& s = ctx_.State;
  s.Mode = mode;
  if (entering) {
    const Layout& layout = *ctx_.Skin.Layout;
    const int category = CategoryOfMode(mode);
    const DemoCatalogue* catalogue = ctx_.Catalogue;
    const bool known = catalogue && s.DescribedEntry >= 1 &&
                       s.DescribedEntry <= catalogue->Counts.at(category);
    const DemoEntry empty;
    const DemoEntry& entry = known ? catalogue->Entry(category, s.DescribedEntry) : empty;

    viewer_.DecodeScreenshot();

    const int indent = ctx_.RowIndent();
    const TextWidthFn width = WidthInFont(TextLineFont(Env().ScreenScale));
    s.Text = FormatDescription(entry.Description, layout.TextRegion.Width() - 3 * indent, width);
    s.TitleLines = BreakLines(entry.Title, layout.TitleRegion.Width() - indent, width);
    s.TitleLines.append(entry.Subtitle);

    list_.PrepareList(layout.TextLineHeight, s.Text.Count(), layout.TextLines, layout.TextRegion,
                      false);
    TDrawBox* listBox = ctx_.Controls.List;
    listBox->SetItemIndex(listBox->Items().Count() > 0 ? 0 : -1);
    s.SelectedEntry[mode] = 1;
    // A scroll position kept from a longer text never points past this one.
    s.FirstVisible = std::clamp(s.SavedFirstVisible[mode], 1,
                                std::max(1, s.Text.Count() - layout.TextLines + 1));
    list_.RedrawRows();
    list_.SetUpBar(s.Text.Count(), layout.TextLines, layout.TextRegion);

    if (known) s.PendingLogo = {category, s.DescribedEntry};
    if (ctx_.Hooks.LogoScheduled) ctx_.Hooks.LogoScheduled();
    if (ctx_.Controls.Tela) ctx_.Controls.Tela->Repaint();
  }
  DrawTitleBlock();
}

void DescriptionView::DrawTitleBlock() {
  const ViewState& s = ctx_.State;
  if (!IsDescriptionMode(s.Mode) || !ctx_.Controls.Main) return;
  platform::Canvas& c = ctx_.Controls.Main->Canvas();
  const LayoutRect& region = ctx_.Skin.Layout->TitleRegion;
  platform::FontSpec font = TextLineFont(Env().ScreenScale);
  c.SetTextBackground(platform::TextBackground::Clear);
  const int d = ctx_.Skin.Layout->Margin;
  const int step = d + platform::MeasureText(font, QString::fromUtf8("ÀÇ")).height();
  auto write = [&](int x, int y, const QColor& colour, const QString& text) {
    font.Colour = colour;
    c.SetFont(font);
    c.TextOut(x, y, text);
  };
  if (s.TitleLines.size() > 0) {
    const QString& title = s.TitleLines[0];
    const int x = region.Right - d - platform::MeasureText(font, title).width();
    const int y = region.Top;
    for (const QPoint offset : {QPoint(-1, -1), QPoint(-1, 1), QPoint(1, 1), QPoint(1, -1)})
      write(x + offset.x(), y + offset.y(), QColor(0, 0, 255), title);
    write(x, y, kTitleColours[CategoryOfMode(s.Mode)], title);
  }
  if (s.TitleLines.size() > 1) {
    const QString& second = s.TitleLines[1];
    write(region.Right - d - platform::MeasureText(font, second).width(), region.Top + step,
          Qt::white, second);
  }
}
