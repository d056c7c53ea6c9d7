#include "navigator/Viewer.h"

#include "common/Environment.h"
#include "controls/BlockTransition.h"
#include "controls/DrawListBox.h"
#include "controls/PosBar.h"
#include "controls/TotalPaintBox.h"
#include "formats/DemoFile.h"
#include "formats/DiscFiles.h"
#include "navigator/PictureViews.h"
#include "navigator/Rounding.h"

using platform::Canvas;

namespace {

// A credits file larger than this is no picture of the disc.
constexpr qint64 kMaxCreditsBytes = 64 << 20;

template <class F, class... A>
void Call(const F& f, A&&... a) {
  if (f) f(std::forward<A>(a)...);
}

QImage LoadCredits(const QString& path, int colourDepth) {
  if (const std::unique_ptr<QFile> file = OpenDiscFile(path)) {
    if (file->size() <= kMaxCreditsBytes) {
      if (auto picture = platform::Bitmap::FromBmp(file->readAll(), colourDepth))
        return picture->ToRgb32();
    }
  }
  // No picture: the text on aqua, exactly as large as the text.
  const platform::FontSpec font;
  const QString text = QString::fromUtf8("tela de créditos não encontrada");
  const QSize size(platform::MeasureText(font, text).width(),
                   platform::MeasureText(font, QString::fromUtf8("ÁÇ")).height());
  QImage image(size, QImage::Format_RGB32);
  image.fill(QColor(0, 255, 255));
  Canvas c(image);
  c.SetFont(font);
  c.SetTextBackground(platform::TextBackground::Clear);
  c.TextOut(1, 1, text);
  return image;
}

}  // namespace

Viewer::Viewer(ViewContext& context) : ctx_(context) {}

void Viewer::Attach() {
  TTotalPaintBox* tela = ctx_.Controls.Tela;
  tela->OnPaint = [this](QObject*) { PaintTela(); };
  tela->OnMouseUp = [this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
    MouseUp(button);
  };
  mouseUp_ = true;
}

void Viewer::DetachMouseUp() {
  ctx_.Controls.Tela->OnMouseUp = nullptr;
  mouseUp_ = false;
}

int Viewer::ScreenshotCategory() const {
  const ViewState& s = ctx_.State;
  if (IsDescriptionMode(s.Mode)) return CategoryOfMode(s.Mode);
  if (s.Mode == kViewerMode && IsDescriptionMode(s.ReturnMode)) return CategoryOfMode(s.ReturnMode);
  if (IsDescriptionMode(s.DescribedMode)) return CategoryOfMode(s.DescribedMode);
  return -1;
}

bool Viewer::DecodeScreenshot() {
  const ViewState& s = ctx_.State;
  const int category = ScreenshotCategory();
  const DemoCatalogue* catalogue = ctx_.Catalogue;
  std::optional<platform::Bitmap> decoded;
  if (catalogue && category >= 0 && s.DescribedEntry >= 1 &&
      s.DescribedEntry <= catalogue->Counts.at(category)) {
    const DemoEntry& entry = catalogue->Entry(category, s.DescribedEntry);
    if (s.ImageNumber >= 1 && s.ImageNumber <= entry.ImageCount) {
      const Environment& env = Env();
      decoded = DecodeDemoPicture(env.ShareDir, entry.DemFile,
                                  catalogue->Image(category, s.DescribedEntry, s.ImageNumber),
                                  env.ColourDepth);
    }
  }
  const LayoutRect& r = ctx_.Skin.Layout->ScreenshotRegionRel;
  static const platform::Bitmap kNoMask;
  ComposedScreenshot composed =
      ComposeScreenshot(std::move(decoded),
                        {ctx_.Skin.Background, QRect(r.Left, r.Top, r.Width(), r.Height())},
                        ctx_.Skin.GameMask ? *ctx_.Skin.GameMask : kNoMask);
  if (ctx_.Screenshot) *ctx_.Screenshot = std::move(composed.Screenshot);
  scaled_ = std::move(composed.Scaled);
  return composed.Decoded;
}

void Viewer::StepScreenshot(bool forward) {
  ViewState& s = ctx_.State;
  const int category = ScreenshotCategory();
  if (!ctx_.Catalogue || category < 0 || s.DescribedEntry < 1 ||
      s.DescribedEntry > ctx_.Catalogue->Counts.at(category))
    return;
  const int count = ctx_.Catalogue->Entry(category, s.DescribedEntry).ImageCount;
  if (count < 2) return;
  if (forward) {
    Call(ctx_.Hooks.PlayEffect, 3, 4);
    s.ImageNumber = s.ImageNumber >= count ? 1 : s.ImageNumber + 1;
  } else {
    Call(ctx_.Hooks.PlayEffect, 4, 5);
    s.ImageNumber = s.ImageNumber <= 1 ? count : s.ImageNumber - 1;
  }
  DecodeScreenshot();
  ctx_.Controls.Tela->Repaint();
}

void Viewer::PaintTela() {
  const int mode = ctx_.State.Mode;
  if (IsDescriptionMode(mode)) {
    if (!scaled_.isNull()) ctx_.Controls.Tela->Canvas().Draw(0, 0, scaled_);
  } else if (mode == kViewerMode) {
    PaintViewer();
  } else if (mode == kCreditsMode) {
    PaintCredits();
  }
}

void Viewer::PaintViewer() {
  Canvas& c = ctx_.Controls.Tela->Canvas();
  const QSize box(c.Width(), c.Height());
  c.Fill(QRect(QPoint(0, 0), box), Qt::black);
  if (!ctx_.Screenshot || ctx_.Screenshot->IsEmpty()) return;
  const platform::Bitmap& shot = *ctx_.Screenshot;
  // A narrow screenshot keeps its own size; a wide one fills the box.
  const QSize size = shot.Width() < box.width() ? QSize(shot.Width(), shot.Height()) : box;
  const QRect target(QPoint((box.width() - size.width()) / 2, (box.height() - size.height()) / 2),
                     size);
  c.CopyRect(target, shot, QRect(0, 0, shot.Width(), shot.Height()));
}

void Viewer::PaintCredits() {
  Canvas& c = ctx_.Controls.Tela->Canvas();
  const QSize box(c.Width(), c.Height());
  // Read anew for every paint; nothing is kept between them.
  const QImage picture =
      LoadCredits(Env().ShareDir + QStringLiteral("credits.bmp"), Env().ColourDepth);
  c.Fill(QRect(QPoint(0, 0), box), Qt::black);
  c.Draw((box.width() - picture.width()) / 2, (box.height() - picture.height()) / 2, picture);
}

void Viewer::MouseUp(Qt::MouseButton button) {
  const ViewState& s = ctx_.State;
  if (IsDescriptionMode(s.Mode)) {
    StepScreenshot(button == Qt::LeftButton);
  } else if (s.Mode == kViewerMode || s.Mode == kCreditsMode) {
    Call(ctx_.Hooks.ChangeMode, s.ReturnMode);
  }
}

QRect Viewer::ViewerBox(const QSize& client) {
  int w = client.width();
  int h = RoundHalfEven(0.75 * w);
  if (client.height() < h) {
    h = client.height();
    w = RoundHalfEven(4.0 * h / 3.0);
  }
  return QRect((client.width() - w) / 2, (client.height() - h) / 2, w, h);
}

void Viewer::EnterViewerMode(int mode, int returnMode, bool entering) {
  ViewState& s = ctx_.State;
  s.Mode = mode;
  s.ReturnMode = returnMode;
  TTotalPaintBox* tela = ctx_.Controls.Tela;
  if (!entering) {
    tela->Invalidate();
    return;
  }
  const QWidget* window = tela->parentWidget();
  tela->setGeometry(ViewerBox(window ? window->size() : tela->size()));
  if (ctx_.Controls.Bar) ctx_.Controls.Bar->SetVisible(false);
  if (ctx_.Controls.Emblem) ctx_.Controls.Emblem->setVisible(false);
  Blackout();
  ctx_.Controls.Main->SetVisible(false);
  tela->SetVisible(true);
  tela->raise();
  tela->Invalidate();
  tela->Repaint();
}

void Viewer::Transition(TTotalPaintBox* box, const QImage& source, const QRect& sourceRect,
                        const QPoint& destPoint, int block) {
  if (!box || source.isNull()) return;
  QImage src = source;
  Canvas from(src);
  TransitionPacing pacing;
  pacing.Clock = ctx_.Clock;
  pacing.Sleep = ctx_.Sleep;
  pacing.Present = [this, box] {
    box->repaint();
    Call(ctx_.TransitionShown);
  };
  ShowBlockTransition(17, from, box->Canvas(), sourceRect, destPoint, block, pacing);
}

void Viewer::Blackout() {
  TTotalPaintBox* main = ctx_.Controls.Main;
  QImage black(main->size(), QImage::Format_RGB32);
  black.fill(Qt::black);
  Transition(main, black, black.rect(), QPoint(0, 0), 4);
}

void Viewer::BlankViewer() {
  TTotalPaintBox* tela = ctx_.Controls.Tela;
  QImage black(tela->size(), QImage::Format_RGB32);
  black.fill(Qt::black);
  Transition(tela, black, black.rect(), QPoint(0, 0), 6);
}

void Viewer::RestoreMain() {
  TTotalPaintBox* main = ctx_.Controls.Main;
  if (!ctx_.Skin.Background || ctx_.Skin.Background->IsEmpty()) return;
  const QImage background = ctx_.Skin.Background->ToRgb32();
  Transition(main, background, QRect(QPoint(0, 0), main->size()) & background.rect(),
             QPoint(0, 0), 4);
}

void Viewer::RestoreListArea(const QRect& area) {
  if (!ctx_.Skin.Background || ctx_.Skin.Background->IsEmpty()) return;
  const QImage background = ctx_.Skin.Background->ToRgb32();
  Transition(ctx_.Controls.Main, background, area & background.rect(), area.topLeft(), 2);
}

void Viewer::RestoreListArea() {
  const Layout& l = *ctx_.Skin.Layout;
  const int barWidth = ctx_.Controls.Bar ? ctx_.Controls.Bar->width() : 0;
  const int listWidth = ctx_.Controls.List ? ctx_.Controls.List->width() : 0;
  const int listHeight = ctx_.Controls.List ? ctx_.Controls.List->height() : 0;
  RestoreListArea(QRect(l.ListRegion.Left - l.X, l.ListRegion.Top - l.Y,
                        l.Margin + listWidth + barWidth, listHeight));
}
