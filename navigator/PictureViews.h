#pragma once

// The pictures the main window composes from a demo's description file: the screenshot cut to
// the skin's shape, the logo fitted into its area, and the installation-instructions panel.
// Plain functions over pictures; the views put the results on screen.

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

#include "platform/Bitmap.h"

// Where a rectangle of the screen lies on the design background, and the background.
struct BackgroundPart {
  const platform::Bitmap* Background = nullptr;
  QRect Area;  // on the background
};

// A copy of the background under part.Area (black where there is none).
QImage BackgroundUnder(const BackgroundPart& part);

struct ComposedScreenshot {
  platform::Bitmap Screenshot;  // the picture at its own size, or the substitute
  QImage Scaled;                // stretched to the area and cut to the skin's shape
  bool Decoded = false;
};

// The screenshot view. A picture that failed to decode becomes an area-sized black picture
// with "Figura não disponível." in aqua at (10, 10). mask is white where the screenshot shows
// and black where the background shows.
ComposedScreenshot ComposeScreenshot(std::optional<platform::Bitmap> decoded,
                                     const BackgroundPart& under, const platform::Bitmap& mask);

// The logo's place in an area of W x H: its own size when it is smaller both ways, else
// scaled keeping its proportions to fill W or H; centred.
QRect FitLogo(int w, int h, int areaWidth, int areaHeight);

// The logo bitmap: the background under the area with the logo (left half image, right half
// mask) fitted and centred on it. A picture that failed to decode is replaced by
// "Sem logotipo" in aqua.
QImage ComposeLogo(std::optional<platform::Bitmap> decoded, const BackgroundPart& under,
                   int fontPixelHeight);

// The installation-instructions panel for a HowTo text: the background under the area with the
// wrapped lines in yellow, the path lines indented.
QImage BuildHowToPanel(const QString& howTo, const BackgroundPart& under, double layoutScale,
                       double screenScale);
