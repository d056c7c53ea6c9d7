#pragma once

// The main window's layout: one design of 800 x 600 pixels, scaled down on narrower screens
// (every design value times LayoutScale, rounded halves to even) and centred on larger ones.
// Plain arithmetic; the window feeds in its client size and the measured text heights.

#include <QString>
#include <vector>

// A rectangle kept as left, top, right, bottom (right and bottom exclusive).
struct LayoutRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const LayoutRect&) const = default;
};

struct ButtonPlace {
  const char* Name;
  int Left;  // design pixels, relative to pbMain
  int Top;
};

// The design positions of the main window's buttons, in the window's own order.
const std::vector<ButtonPlace>& ButtonTable();

constexpr int kDesignWidth = 800;
constexpr int kDesignHeight = 600;

// 1.0, or ScreenWidth x 0.00125 below 800 pixels.
double LayoutScaleFor(int screenWidth);
// A design value on the screen.
int Scaled(int designValue, double layoutScale);

// What LayoutControls measures before it places the regions.
struct LayoutInput {
  int ClientWidth = kDesignWidth;
  int ClientHeight = kDesignHeight;
  double LayoutScale = 1.0;
  int RowTextHeight = 1;   // height of "ÀÇÔ" in the list font
  int LineTextHeight = 1;  // height of "ÀÇÔ" in the description font
  int DigitsWidth = 0;     // width of "88" in the list font (the volume number)
  int PosBarWidth = 0;     // width of the position bar
  int VolDoHeight = 0;     // height of gtbVolDo's picture
};

struct Layout {
  double LayoutScale = 1.0;
  int Margin = 4;
  int X = 0;  // left and top of pbMain in the client
  int Y = 0;
  LayoutRect PbMain;            // in the client
  LayoutRect PbLogo;            // in the client
  LayoutRect EmblemHotSpot;     // relative to pbLogo
  LayoutRect PbAdv;             // in the client
  LayoutRect AdvRegion;         // relative to pbMain
  LayoutRect ListRegion;        // in the client
  LayoutRect LogoListRegion;    // relative to pbMain
  LayoutRect LogoDescRegion;    // relative to pbMain
  LayoutRect InfoRegion;        // relative to pbMain
  LayoutRect ScreenshotRegion;  // in the client
  LayoutRect ScreenshotRegionRel;
  LayoutRect TitleRegion;          // relative to pbMain
  LayoutRect SecondPictureRegion;  // relative to pbMain; kept, never drawn
  LayoutRect AnimationRegion;      // relative to pbMain
  LayoutRect TextRegion;           // in the client
  LayoutRect VolumeRegion;         // relative to pbMain
  int ListRowHeight = 1;
  int TextLineHeight = 1;
  int ListRows = 0;
  int TextLines = 0;

  // Where a button of the table goes, in the client; (-1, -1) for a name not in the table.
  struct Point {
    int X;
    int Y;
  };
  Point ButtonPos(const QString& name) const;
};

// Steps L2, L3, L6, L7, L8 and the volume number region of L9 (which needs gtbVolUp's place).
Layout ComputeLayout(const LayoutInput& in);
