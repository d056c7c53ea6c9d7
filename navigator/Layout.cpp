#include "navigator/Layout.h"

#include "navigator/Rounding.h"

const std::vector<ButtonPlace>& ButtonTable() {
  static const std::vector<ButtonPlace> table = {
      {"gtbNext", 360, 191},   {"gtbPrevious", 360, 227}, {"gtbFull", 360, 270},
      {"gtbPapel", 360, 306},  {"gtbAlign", 425, 478},    {"gtbHowTo", 389, 124},
      {"gtbMaga", 643, 9},     {"gtbClose", 731, 10},     {"gtbMin", 731, 55},
      {"gtbMaster", 743, 462}, {"gtbMusic", 705, 462},    {"gtbdx", 685, 127},
      {"gtbInst", 678, 187},   {"gtbBack", 678, 269},     {"gtbOpts", 678, 517},
      {"gtbVolUp", 761, 396},  {"gtbVolDo", 761, 424},    {"gtbjogos", 247, 34},
      {"gtbApps", 371, 12},    {"gtbInter", 371, 55},     {"gtbSavers", 496, 12},
      {"gtbUtils", 496, 55},
  };
  return table;
}

double LayoutScaleFor(int screenWidth) {
  return screenWidth < kDesignWidth ? screenWidth * 0.00125 : 1.0;
}

int Scaled(int designValue, double layoutScale) {
  return RoundHalfEven(designValue * layoutScale);
}

namespace {

// A design rectangle given as left, top, width, height, scaled and moved by (dx, dy).
LayoutRect Box(int left, int top, int width, int height, double s, int dx = 0, int dy = 0) {
  LayoutRect r;
  r.Left = dx + Scaled(left, s);
  r.Top = dy + Scaled(top, s);
  r.Right = r.Left + Scaled(width, s);
  r.Bottom = r.Top + Scaled(height, s);
  return r;
}

}  // namespace

Layout::Point Layout::ButtonPos(const QString& name) const {
  for (const ButtonPlace& b : ButtonTable())
    if (name == QLatin1String(b.Name))
      return {X + Scaled(b.Left, LayoutScale), Y + Scaled(b.Top, LayoutScale)};
  return {-1, -1};
}

Layout ComputeLayout(const LayoutInput& in) {
  Layout l;
  const double s = in.LayoutScale;
  l.LayoutScale = s;
  l.Margin = Scaled(4, s);

  // L2: pbMain covers the client when the design fits it exactly, else it is centred.
  const int w = Scaled(kDesignWidth, s);
  const int h = Scaled(kDesignHeight, s);
  if (in.ClientWidth == w) {
    l.PbMain = {0, 0, in.ClientWidth, in.ClientHeight};
  } else {
    l.PbMain = {(in.ClientWidth - w) / 2, (in.ClientHeight - h) / 2, 0, 0};
    l.PbMain.Right = l.PbMain.Left + w;
    l.PbMain.Bottom = l.PbMain.Top + h;
  }
  l.X = l.PbMain.Left;
  l.Y = l.PbMain.Top;

  // L3
  l.PbLogo = Box(14, 10, 204, 91, s, l.X, l.Y);
  l.EmblemHotSpot = Box(0, 0, 204, 91, s);
  l.PbAdv = Box(150, 509, 384, 80, s, l.X, l.Y);
  l.AdvRegion = Box(150, 509, 384, 80, s);
  l.LogoListRegion = Box(41, 210, 149, 185, s);
  l.LogoDescRegion = Box(500, 405, 149, 185, s);
  l.InfoRegion = Box(460, 147, 180, 200, s);
  l.ScreenshotRegion = Box(11, 124, 348, 261, s, l.X, l.Y);
  l.ScreenshotRegionRel = Box(11, 124, 348, 261, s);
  l.TitleRegion = Box(415, 354, 240, 38, s);
  l.SecondPictureRegion = Box(34, 141, 165, 118, s);
  l.AnimationRegion = {Scaled(0, s), Scaled(110, s), Scaled(655, s), Scaled(600, s)};

  // L4, L5: the caller measured the text; a zero height would divide by zero below.
  l.ListRowHeight = RoundHalfEven(1.3 * in.RowTextHeight);
  if (l.ListRowHeight <= 0) l.ListRowHeight = 1;
  l.TextLineHeight = in.LineTextHeight <= 0 ? 1 : in.LineTextHeight;

  // L6
  l.ListRegion.Left = l.X + Scaled(240, s);
  l.ListRegion.Top = l.Y + Scaled(179, s);
  l.ListRegion.Right = l.ListRegion.Left + Scaled(383, s) - l.Margin - in.PosBarWidth;
  l.ListRows = Scaled(270, s) / l.ListRowHeight;
  l.ListRegion.Bottom = l.ListRegion.Top + l.ListRows * l.ListRowHeight;

  // L7
  l.TextRegion.Left = l.X + Scaled(1, s);
  l.TextRegion.Top = l.Y + Scaled(408, s);
  l.TextRegion.Right = l.TextRegion.Left + Scaled(400, s) - l.Margin - in.PosBarWidth;
  l.TextLines = Scaled(180, s) / l.TextLineHeight;
  l.TextRegion.Bottom = l.TextRegion.Top + l.TextLines * l.TextLineHeight;

  // L9: the volume digits sit left of the volume buttons, centred on the pair.
  const Layout::Point up = l.ButtonPos(QStringLiteral("gtbVolUp"));
  const Layout::Point down = l.ButtonPos(QStringLiteral("gtbVolDo"));
  const int height = in.RowTextHeight;
  l.VolumeRegion.Right = up.X - l.X - 3 * l.Margin;
  l.VolumeRegion.Left = l.VolumeRegion.Right - in.DigitsWidth;
  l.VolumeRegion.Top = (up.Y - l.Y) + ((down.Y + in.VolDoHeight - up.Y - height) / 2);
  l.VolumeRegion.Bottom = l.VolumeRegion.Top + height;
  return l;
}
