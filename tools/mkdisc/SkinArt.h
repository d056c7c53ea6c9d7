#pragma once

// The navigator's skin, drawn from code for one design scale (1.0 for 800 x 600 screens, 0.8
// for 640 x 480): the three screens behind the controls, every control picture that the skin
// loading asks the container for, the window bitmaps, the panel animations and the
// advertisements. Pictures come out true-colour; the caller reduces them for 8-bit sets.

#include <QImage>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace skin {

// A control of the main window that takes its pictures from the container.
struct ControlSpec {
  QString Name;
  int Tag = 2;  // bit 1: skinned; bit 3: no hover or disabled picture; bit 4: second up picture
  double Left = 0, Top = 0, Width = 0, Height = 0;  // design pixels
  bool IsPosBar = false;
};

// The navigator's skinned controls with their design places and sizes.
const std::vector<ControlSpec>& NavigatorControls();

// Every container name the skin loading forms for the controls, plus the window bitmaps.
QStringList RequiredNames();

enum class Screen { Empty, List, Description };

using NamedImage = std::pair<QString, QImage>;

class SkinArt {
 public:
  explicit SkinArt(double scale);

  double Scale() const { return scale_; }
  int Width() const;
  int Height() const;

  // The whole window as it looks behind the controls of a mode (Empty: between modes).
  QImage Background(Screen screen) const;

  // Every picture of controls.bmr, in RequiredNames() order.
  std::vector<NamedImage> ControlBitmaps() const;

  // Frames of a panel animation from one screen to another; the last frame is `to` itself.
  std::vector<QImage> Transition(const QImage& from, const QImage& to, int frameCount) const;

  // Frames of advertisement `index` (0 or 1) at the panel's design size.
  std::vector<QImage> Advertisement(int index) const;

 private:
  QImage ButtonPicture(const ControlSpec& spec, const QString& state) const;
  std::vector<NamedImage> PosBarPictures() const;
  std::vector<NamedImage> WindowBitmaps() const;

  double scale_;
};

// The explorer's container: "imMarket" and the buttons' "u", "d", "e" pictures.
std::vector<NamedImage> ExplorerBitmaps();

}  // namespace skin
