#include "controls/PosBar.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "controls/OverDraw.h"

namespace {
const QString kContradictoryRange = QStringLiteral("Valores mínimos e máximos contraditórios!");
const QString kForeignParent =
    QStringLiteral("O TGraphicControl especificado não tem o mesmo parente que o TPosBar.");
constexpr int kSliderGap = 6;  // between the track picture and the switch
constexpr int kDefaultLength = 181;
constexpr uint32_t kBlinkMs = 1000;
}  // namespace

TPosBar::TPosBar(QWidget* parent, platform::Clock* clock)
    : QWidget(parent), repeat_(200, clock), blink_(kBlinkMs, clock) {
  resize(style()->pixelMetric(QStyle::PM_ScrollBarExtent), kDefaultLength);
  setFocusPolicy(Qt::StrongFocus);
  repeat_.OnTimer = [this] { RepeatTick(); };
  blink_.OnTimer = [this] { BlinkTick(); };
  InitOverDrawControl(*this);
  Measure();
}

TPosBar::~TPosBar() = default;

void TPosBar::SetKind(TPosBarKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  Measure();
}

int TPosBar::Clamp(int position) const {
  return std::min(std::max(position, First()), max_);
}

void TPosBar::SetParams(int position, int min, int visElems, int max) {
  if (max < min) throw EPosBarError(kContradictoryRange);
  visElems = std::max(visElems, 0);
  const bool visChanged = visElems != visElems_;
  if (visChanged) {
    visElems_ = visElems;
    if (autoScan_) changeLarge_ = visElems > 1 ? std::min(visElems - 1, 32767) : 1;
  }
  const int newPosition = std::min(std::max(position, min + visElems_ - 1), max);
  if (min == min_ && max == max_ && !visChanged) {
    if (newPosition == position_) return;
    position_ = newPosition;
  } else {
    // A new window size moves the thumb as a new range does.
    min_ = min;
    max_ = max;
    position_ = newPosition;
  }
  if (!dragging_) PlaceThumb();
  update();
  Fire(OnChange, this);
}

void TPosBar::SetChangeSmall(int change) {
  changeSmall_ = std::clamp(change, 1, 32767);
}
void TPosBar::SetChangeLarge(int change) {
  changeLarge_ = std::clamp(change, 1, 32767);
}

void TPosBar::SetBlinkColor(const QColor& colour) {
  blinkColor_ = colour;
  if (blinkOn_) update();
}

void TPosBar::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (!visible) ReleaseHeld();
  ApplyControlVisible(*this, visible, totalCtrlOverDraw_, Qt::StrongFocus);
}

void TPosBar::SetBGParent(QWidget* control) {
  if (control == bgParent_) return;
  if (control && control->parentWidget() != parentWidget()) throw EPosBarError(kForeignParent);
  if (bgParent_) disconnect(bgParent_, nullptr, this, nullptr);
  bgParent_ = control;
  if (control) {
    // The property clears itself with the control; the background then comes from the bar's
    // own place.
    connect(control, &QObject::destroyed, this, [this] {
      bgParent_ = nullptr;
      TakeBackground();
      update();
    });
  }
  TakeBackground();
  update();
}

void TPosBar::SetBackground(const platform::Bitmap* background) {
  external_ = background;
  TakeBackground();
  update();
}

void TPosBar::SetTranspUpPic(bool on) {
  transpUp_ = on;
  Rekey(kUpUp);
  Rekey(kUpDo);
  update();
}

void TPosBar::SetTranspDownPic(bool on) {
  transpDown_ = on;
  Rekey(kDownUp);
  Rekey(kDownDo);
  update();
}

void TPosBar::SetTranspSliderPic(bool on) {
  transpSlider_ = on;
  Rekey(kSlider);
  update();
}

bool TPosBar::PictureTransparent(PicIndex index) const {
  switch (index) {
    case kUpUp:
    case kUpDo:
      return transpUp_;
    case kDownUp:
    case kDownDo:
      return transpDown_;
    default:
      return transpSlider_;
  }
}

void TPosBar::SetPicture(PicIndex index, const platform::Bitmap& picture) {
  Picture& pic = pics_[index];
  pic.source = picture;
  pic.rgb = picture.IsEmpty() ? QImage() : picture.Image().convertToFormat(QImage::Format_RGB32);
  Rekey(index);
  Measure();
}

void TPosBar::Rekey(PicIndex index) {
  Picture& pic = pics_[index];
  pic.keyed = QImage();
  if (pic.IsEmpty() || !PictureTransparent(index)) return;
  // The bottom-left pixel gives the transparent colour.
  const QRgb key = pic.rgb.pixel(0, pic.rgb.height() - 1) & 0xFFFFFF;
  pic.keyed = pic.rgb.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < pic.keyed.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(pic.keyed.scanLine(y));
    for (int x = 0; x < pic.keyed.width(); ++x)
      if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
  }
}

bool TPosBar::HasThumb() const {
  if (pics_[kSlider].IsEmpty()) return false;
  return Slider() || !pics_[kUpUp].IsEmpty() || !pics_[kDownUp].IsEmpty();
}

QRect TPosBar::BarRect(int along, int across, int alongLen, int acrossLen) const {
  return Horizontal() ? QRect(along, across, alongLen, acrossLen)
                      : QRect(across, along, acrossLen, alongLen);
}

// A picture placed at a position along the bar, centred across it.
QRect TPosBar::PictureRect(PicIndex index, int along) const {
  const QSize size = PicSize(index);
  return BarRect(along, (Across(this->size()) - Across(size)) / 2, Along(size), Across(size));
}

QRect TPosBar::UpArrowRect() const {
  return PictureRect(kUpUp, 0);
}

QRect TPosBar::DownArrowRect() const {
  return PictureRect(kDownUp, Along(size()) - Along(PicSize(kDownUp)));
}

QRect TPosBar::SwitchRect() const {
  return DownArrowRect();
}

QRect TPosBar::TrackRect() const {
  return BarRect(trackStart_, 0, trackLength_, Across(size()));
}

QRect TPosBar::ThumbRect() const {
  Fit();
  if (!HasThumb()) return {};
  return PictureRect(kSlider, trackStart_ + thumbOffset_);
}

// Vertical kinds measured as written; the horizontal ones swap width and height.
void TPosBar::Measure() {
  if (measuring_) return;
  measuring_ = true;
  const QSize up = PicSize(kUpUp), down = PicSize(kDownUp), slider = PicSize(kSlider);
  int thickness = std::max({Across(up), Across(down), Across(slider)});
  if (thickness == 0) thickness = Across(size());
  int length = Along(size());
  if (Slider()) {
    if (!pics_[kUpUp].IsEmpty() || !pics_[kDownUp].IsEmpty())
      length = Along(up) + Along(down) + kSliderGap;
    trackStart_ = 0;
    trackLength_ = Along(up);
  } else {
    length = std::max(length, Along(up) + Along(down) + Along(slider));
    trackStart_ = Along(up);
    trackLength_ = length - Along(up) - Along(down);
  }
  const QSize wanted = Horizontal() ? QSize(length, thickness) : QSize(thickness, length);
  if (wanted != size()) resize(wanted);
  measuredSize_ = size();
  measuring_ = false;
  PlaceThumb();
  TakeBackground();
  update();
}

void TPosBar::Fit() const {
  // Measuring changes only the layout cache and the background copy, never what the bar is.
  if (size() != measuredSize_ && !measuring_) const_cast<TPosBar*>(this)->Measure();
}

void TPosBar::PlaceThumb() {
  const int travel = std::max(0, trackLength_ - Along(PicSize(kSlider)));
  const int first = First();
  const int count = max_ - first + 1;
  int offset;
  if (position_ <= first || count <= 1) {
    offset = 0;
  } else if (position_ >= max_) {
    offset = travel;
  } else {
    const double exact = double(trackLength_) / count * (position_ - first);
    offset = std::min(static_cast<int>(std::nearbyint(exact)), travel);  // halves to even
  }
  thumbOffset_ = std::max(0, offset);
}

void TPosBar::TakeBackground() {
  if (size().isEmpty()) {
    background_ = QImage();
    return;
  }
  background_ = QImage(size(), QImage::Format_RGB32);
  QWidget* parent = parentWidget();
  background_.fill(parent ? parent->palette().color(QPalette::Window)
                          : palette().color(QPalette::Window));
  if (!external_ || external_->IsEmpty() || !parent) return;
  QPoint origin;
  if (bgParent_) {
    origin = pos() - bgParent_->pos();
  } else if (parent->isWindow()) {
    origin = pos();
  } else {
    return;
  }
  const QRect source = QRect(origin, size()).intersected(external_->Image().rect());
  if (source.isEmpty()) return;
  QPainter painter(&background_);
  painter.drawImage(source.topLeft() - origin,
                    external_->Image().copy(source).convertToFormat(QImage::Format_RGB32));
}

void TPosBar::DrawPicture(QPainter& painter, PicIndex index, const QRect& where) const {
  const Picture& pic = pics_[index];
  if (pic.IsEmpty()) return;
  painter.drawImage(where.topLeft(), pic.keyed.isNull() ? pic.rgb : pic.keyed);
}

bool TPosBar::OpaqueAt(PicIndex index, const QRect& where, const QPoint& point) const {
  const Picture& pic = pics_[index];
  if (pic.keyed.isNull()) return true;
  const QPoint local = point - where.topLeft();
  if (!pic.keyed.rect().contains(local)) return false;
  return qAlpha(pic.keyed.pixel(local)) != 0;
}

TPosBar::Part TPosBar::PartAt(const QPoint& point) const {
  Fit();
  if (!rect().contains(point)) return Part::None;
  if (Slider()) {
    if (!pics_[kDownUp].IsEmpty() && SwitchRect().contains(point))
      return OpaqueAt(kDownUp, SwitchRect(), point) ? Part::Switch : Part::None;
  } else {
    if (!pics_[kUpUp].IsEmpty() && UpArrowRect().contains(point))
      return OpaqueAt(kUpUp, UpArrowRect(), point) ? Part::UpArrow : Part::None;
    if (!pics_[kDownUp].IsEmpty() && DownArrowRect().contains(point))
      return OpaqueAt(kDownUp, DownArrowRect(), point) ? Part::DownArrow : Part::None;
  }
  const QRect thumb = ThumbRect();
  if (thumb.contains(point) && OpaqueAt(kSlider, thumb, point)) return Part::Thumb;
  const int along = AlongOf(point) - trackStart_;
  if (along < 0 || along >= trackLength_) return Part::None;
  const int thumbLength = HasThumb() ? Along(PicSize(kSlider)) : 0;
  if (along < thumbOffset_) return Part::TrackBefore;
  if (along >= thumbOffset_ + thumbLength) return Part::TrackAfter;
  return Part::None;  // a transparent pixel of the thumb
}

void TPosBar::resizeEvent(QResizeEvent*) {
  if (!measuring_) Measure();
}

void TPosBar::moveEvent(QMoveEvent*) {
  TakeBackground();
  update();
}

void TPosBar::paintEvent(QPaintEvent* event) {
  if (!visible_) return;
  Fit();
  QImage frame = background_.isNull() ? QImage(size(), QImage::Format_RGB32) : background_;
  {
    QPainter painter(&frame);
    if (Slider()) {
      DrawPicture(painter, kUpUp, UpArrowRect());
      const bool on = desligado_ != switchDown_;
      DrawPicture(painter, on && !pics_[kDownDo].IsEmpty() ? kDownDo : kDownUp, SwitchRect());
    } else {
      const bool upDown = pressed_ == Part::UpArrow && !pics_[kUpDo].IsEmpty();
      const bool downDown = pressed_ == Part::DownArrow && !pics_[kDownDo].IsEmpty();
      DrawPicture(painter, upDown ? kUpDo : kUpUp, UpArrowRect());
      DrawPicture(painter, downDown ? kDownDo : kDownUp, DownArrowRect());
    }
    if (HasThumb()) {
      const QRect thumb = ThumbRect();
      DrawPicture(painter, kSlider, thumb);
      if (blinkOn_) {
        // The focus mark: a third of the thumb's size, centred on it.
        const int w = thumb.width() / 3, h = thumb.height() / 3;
        const QRect mark(thumb.left() + (thumb.width() - w) / 2,
                         thumb.top() + (thumb.height() - h) / 2, w, h);
        painter.setPen(blinkColor_);
        painter.setBrush(blinkColor_);
        painter.drawEllipse(mark.adjusted(0, 0, -1, -1));
      }
    }
  }
  QPainter(this).drawImage(event->rect(), frame, event->rect());
}

bool TPosBar::event(QEvent* event) {
  if (!visible_ && IsInputEvent(*event)) {
    event->ignore();
    return false;
  }
  return QWidget::event(event);
}
