#include "navigator/LogoView.h"

#include "common/Environment.h"
#include "controls/TotalPaintBox.h"
#include "formats/DemoFile.h"
#include "navigator/PictureViews.h"
#include "navigator/Rounding.h"

namespace {

constexpr int kMainFontPixels = 11;  // the window's own font at design size

}  // namespace

LogoView::LogoView(ViewContext& context) : ctx_(context) {}

std::optional<LayoutRect> LogoView::AreaOf(int mode) const {
  if (!ctx_.Skin.Layout) return std::nullopt;
  if (IsListMode(mode)) return ctx_.Skin.Layout->LogoListRegion;
  if (IsDescriptionMode(mode)) return ctx_.Skin.Layout->LogoDescRegion;
  return std::nullopt;
}

bool LogoView::StepPendingLogo() {
  ViewState& s = ctx_.State;
  if (!s.PendingLogo.Names()) return false;
  const DemoRef demo = s.PendingLogo;
  s.ShownLogo = demo;
  s.PendingLogo = {};
  const std::optional<LayoutRect> area = AreaOf(s.Mode);
  if (!area) return true;
  BackgroundPart under{ctx_.Skin.Background,
                       QRect(area->Left, area->Top, area->Width(), area->Height())};
  const DemoCatalogue* catalogue = ctx_.Catalogue;
  const bool known = catalogue && demo.Category < kCategoryCount &&
                     demo.Entry <= catalogue->Counts.at(demo.Category);
  const Environment& env = Env();
  if (known && catalogue->Entry(demo.Category, demo.Entry).Logo.Size != 0) {
    const DemoEntry& entry = catalogue->Entry(demo.Category, demo.Entry);
    logo_ = ComposeLogo(DecodeDemoPicture(env.ShareDir, entry.DemFile, entry.Logo, env.ColourDepth),
                        under, RoundHalfEven(kMainFontPixels / env.ScreenScale));
  } else {
    // A demo without a logo leaves the area as the background shows it.
    logo_ = BackgroundUnder(under);
  }
  DrawLogoArea();
  return true;
}

void LogoView::DrawLogoArea() {
  if (logo_.isNull() || !ctx_.Controls.Main) return;
  const std::optional<LayoutRect> area = AreaOf(ctx_.State.Mode);
  if (!area) return;
  ctx_.Controls.Main->Canvas().Draw(area->Left, area->Top, logo_);
}

void LogoView::ClearArea() {
  const std::optional<LayoutRect> area = AreaOf(ctx_.State.Mode);
  if (!area || !ctx_.Controls.Main) return;
  const BackgroundPart under{ctx_.Skin.Background,
                             QRect(area->Left, area->Top, area->Width(), area->Height())};
  ctx_.Controls.Main->Canvas().Draw(area->Left, area->Top, BackgroundUnder(under));
}

void LogoView::Free() {
  logo_ = QImage();
  ctx_.State.ShownLogo = {};
}
