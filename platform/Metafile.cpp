#include "platform/Metafile.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Text.h"

namespace platform {
namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7u;
constexpr int kPlaceableSize = 22;
constexpr int kHeaderSize = 18;
// A file's object table is sized by its header; a damaged header must not cost memory.
constexpr int kMaxObjects = 4096;

enum Function : quint16 {
  kEof = 0x0000,
  kSaveDC = 0x001E,
  kSetBkMode = 0x0102,
  kSetMapMode = 0x0103,
  kSetPolyFillMode = 0x0106,
  kSetTextAlign = 0x012E,
  kRestoreDC = 0x0127,
  kSelectObject = 0x012D,
  kDeleteObject = 0x01F0,
  kSetBkColor = 0x0201,
  kSetTextColor = 0x0209,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kSetViewportOrg = 0x020D,
  kSetViewportExt = 0x020E,
  kOffsetWindowOrg = 0x020F,
  kOffsetViewportOrg = 0x0211,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kCreatePen = 0x02FA,
  kCreateFont = 0x02FB,
  kCreateBrush = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kIntersectClipRect = 0x0416,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kSetPixel = 0x041F,
  kTextOut = 0x0521,
  kPolyPolygon = 0x0538,
  kRoundRect = 0x061C,
  kEscape = 0x0626,
  kArc = 0x0817,
  kPie = 0x081A,
  kChord = 0x0830,
  kDibBitBlt = 0x0940,
  kExtTextOut = 0x0A32,
  kDibStretchBlt = 0x0B41,
  kStretchDib = 0x0F43,
  // Records that create objects this player does not draw with; they still take a slot.
  kCreatePalette = 0x00F7,
  kCreatePatternBrush = 0x01F9,
  kDibCreatePatternBrush = 0x0142,
  kCreateRegion = 0x06FF,
};

// One record's parameters: 16-bit words, every read checked.
class Params {
 public:
  Params(const uchar* data, int words) : data_(data), words_(words) {}
  int Words() const { return words_; }
  bool Has(int index, int count = 1) const {
    return index >= 0 && count >= 0 && index <= words_ - count;
  }
  qint16 S(int i) const { return Has(i) ? qFromLittleEndian<qint16>(data_ + 2 * i) : 0; }
  quint16 U(int i) const { return Has(i) ? qFromLittleEndian<quint16>(data_ + 2 * i) : 0; }
  quint32 U32(int i) const { return quint32(U(i)) | (quint32(U(i + 1)) << 16); }
  const uchar* Bytes(int wordIndex) const { return data_ + 2 * wordIndex; }
  int BytesFrom(int wordIndex) const { return 2 * (words_ - wordIndex); }

 private:
  const uchar* data_;
  int words_;
};

QColor ColourRef(quint32 c) {
  return QColor(int(c & 0xff), int((c >> 8) & 0xff), int((c >> 16) & 0xff));
}

struct PenObject {
  int style = 0;  // PS_*
  int width = 0;  // logical units; 0 = one pixel
  QColor colour = Qt::black;
};
struct BrushObject {
  int style = 0;  // BS_*: 0 solid, 1 null, 2 hatched
  int hatch = 0;
  QColor colour = Qt::white;
};
struct FontObject {
  int height = 0, escapement = 0, weight = 400;
  bool italic = false, underline = false, strikeOut = false;
  QString face;
};

struct Object {
  enum Kind { None, Pen, Brush, Font, Other } kind = None;
  PenObject pen;
  BrushObject brush;
  FontObject font;
};

// Everything SaveDC keeps.
struct DcState {
  PenObject pen;
  BrushObject brush;
  FontObject font;
  QPointF windowOrg{0, 0}, windowExt{1, 1}, viewportOrg{0, 0}, viewportExt{1, 1};
  int mapMode = 8;  // anisotropic: the picture stretches to its frame
  bool opaqueBackground = true;
  QColor bkColour = Qt::white, textColour = Qt::black;
  int textAlign = 0;
  bool winding = false;
  QPointF position{0, 0};
  std::optional<QRectF> clip;  // device coordinates
};

class Player {
 public:
  Player(QPainter& painter, const QRect& target, const QRect& bounds, int objectCount)
      : p_(painter), objects_(size_t(std::clamp(objectCount, 0, kMaxObjects))) {
    target_ = QRectF(target);
    ref_ = QSizeF(std::max(1, std::abs(bounds.width())), std::max(1, std::abs(bounds.height())));
    s_.windowOrg = QPointF(bounds.topLeft());
    s_.windowExt = QPointF(bounds.width() ? bounds.width() : 1, bounds.height() ? bounds.height() : 1);
    s_.viewportExt = QPointF(ref_.width(), ref_.height());
    maxPen_ = 2.0 * std::hypot(target_.width(), target_.height()) + 1;
  }

  void Record(quint16 function, const Params& a);

 private:
  // Logical to device.
  double ScaleX() const {
    const double w = s_.mapMode == 1 ? s_.viewportExt.x() : s_.windowExt.x();
    return (s_.viewportExt.x() / (w == 0 ? 1 : w)) * target_.width() / ref_.width();
  }
  double ScaleY() const {
    const double h = s_.mapMode == 1 ? s_.viewportExt.y() : s_.windowExt.y();
    return (s_.viewportExt.y() / (h == 0 ? 1 : h)) * target_.height() / ref_.height();
  }
  QPointF Map(double x, double y) const {
    const double vx = (x - s_.windowOrg.x()) * ScaleX() + s_.viewportOrg.x() * target_.width() / ref_.width();
    const double vy = (y - s_.windowOrg.y()) * ScaleY() + s_.viewportOrg.y() * target_.height() / ref_.height();
    return QPointF(target_.left() + vx, target_.top() + vy);
  }
  QRectF MapRect(double left, double top, double right, double bottom) const {
    return QRectF(Map(left, top), Map(right, bottom)).normalized();
  }

  void ApplyPen() {
    const PenObject& pen = s_.pen;
    if ((pen.style & 0x0f) == 5) {
      p_.setPen(Qt::NoPen);
      return;
    }
    const double width = std::min(maxPen_, std::abs(pen.width * ScaleX()));
    QPen qpen(pen.colour, width < 1 ? 1 : width);
    qpen.setCosmetic(pen.width == 0);
    static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                               Qt::DashDotLine, Qt::DashDotDotLine};
    const int style = pen.style & 0x0f;
    qpen.setStyle(style < 5 ? kStyles[style] : Qt::SolidLine);
    qpen.setJoinStyle(Qt::MiterJoin);
    qpen.setCapStyle(Qt::FlatCap);
    p_.setPen(qpen);
  }
  void ApplyBrush() {
    const BrushObject& b = s_.brush;
    if (b.style == 1) {
      p_.setBrush(Qt::NoBrush);
      return;
    }
    if (b.style == 2) {
      static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern, Qt::VerPattern,
                                                    Qt::FDiagPattern, Qt::BDiagPattern,
                                                    Qt::CrossPattern, Qt::DiagCrossPattern};
      p_.setBrush(QBrush(b.colour, kHatches[std::clamp(b.hatch, 0, 5)]));
      p_.setBackgroundMode(s_.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
      p_.setBackground(s_.bkColour);
      return;
    }
    p_.setBrush(b.colour);
  }
  void Shape() {
    ApplyPen();
    ApplyBrush();
  }
  void ApplyClip() {
    if (s_.clip)
      p_.setClipRect(*s_.clip);
    else
      p_.setClipping(false);
  }

  void CreateObject(Object object) {
    // GDI puts a new object into the lowest free slot.
    for (Object& slot : objects_) {
      if (slot.kind == Object::None) {
        slot = std::move(object);
        return;
      }
    }
    if (objects_.size() < size_t(kMaxObjects)) objects_.push_back(std::move(object));
  }
  void Points(const Params& a, int first, int count, QPolygonF* out) const {
    out->reserve(count);
    for (int i = 0; i < count; ++i) out->append(Map(a.S(first + 2 * i), a.S(first + 2 * i + 1)));
  }
  void ArcLike(quint16 function, const Params& a);
  void Text(double x, double y, const QString& text, const std::optional<QRectF>& opaque,
            const std::vector<int>& dx);
  void Dib(const Params& a, int dibWord, const QRectF& dest, QRect source);

  QPainter& p_;
  QRectF target_;
  QSizeF ref_;
  double maxPen_ = 1;
  DcState s_;
  std::vector<DcState> saved_;
  std::vector<Object> objects_;
};

void Player::Record(quint16 function, const Params& a) {
  switch (function) {
    case kSaveDC:
      if (saved_.size() < 1024) saved_.push_back(s_);
      break;
    case kRestoreDC: {
      // Negative: relative to the newest; positive: an absolute level (1 = the first save).
      const int n = a.S(0);
      const int level = n < 0 ? int(saved_.size()) + n : n - 1;
      if (level < 0 || level >= int(saved_.size())) break;
      s_ = saved_[size_t(level)];
      saved_.resize(size_t(level));
      ApplyClip();
      break;
    }
    case kSetBkMode: s_.opaqueBackground = a.U(0) == 2; break;
    case kSetMapMode: s_.mapMode = a.U(0); break;
    case kSetPolyFillMode: s_.winding = a.U(0) == 2; break;
    case kSetTextAlign: s_.textAlign = a.U(0); break;
    case kSetBkColor: s_.bkColour = ColourRef(a.U32(0)); break;
    case kSetTextColor: s_.textColour = ColourRef(a.U32(0)); break;
    case kSetWindowOrg: s_.windowOrg = QPointF(a.S(1), a.S(0)); break;
    case kSetWindowExt: s_.windowExt = QPointF(a.S(1), a.S(0)); break;
    case kSetViewportOrg: s_.viewportOrg = QPointF(a.S(1), a.S(0)); break;
    case kSetViewportExt: s_.viewportExt = QPointF(a.S(1), a.S(0)); break;
    case kOffsetWindowOrg: s_.windowOrg += QPointF(a.S(1), a.S(0)); break;
    case kOffsetViewportOrg: s_.viewportOrg += QPointF(a.S(1), a.S(0)); break;
    case kCreatePen: {
      Object o;
      o.kind = Object::Pen;
      o.pen.style = a.U(0);
      o.pen.width = a.S(1);
      o.pen.colour = ColourRef(a.U32(3));
      CreateObject(std::move(o));
      break;
    }
    case kCreateBrush: {
      Object o;
      o.kind = Object::Brush;
      o.brush.style = a.U(0);
      o.brush.colour = ColourRef(a.U32(1));
      o.brush.hatch = a.U(3);
      if (o.brush.style > 2) o.brush.style = 0;  // patterns: drawn as their colour
      CreateObject(std::move(o));
      break;
    }
    case kCreateFont: {
      Object o;
      o.kind = Object::Font;
      o.font.height = a.S(0);
      o.font.escapement = a.S(2);
      o.font.weight = a.S(4);
      o.font.italic = (a.U(5) & 0xff) != 0;
      o.font.underline = (a.U(5) >> 8) != 0;
      o.font.strikeOut = (a.U(6) & 0xff) != 0;
      if (a.Words() > 9) {
        const char* face = reinterpret_cast<const char*>(a.Bytes(9));
        const int room = std::min(32, a.BytesFrom(9));
        o.font.face = FromWin1252(face, qsizetype(strnlen(face, size_t(room))));
      }
      CreateObject(std::move(o));
      break;
    }
    case kCreatePalette:
    case kCreatePatternBrush:
    case kDibCreatePatternBrush:
    case kCreateRegion: {
      Object o;
      o.kind = Object::Other;
      if (function != kCreatePalette && function != kCreateRegion) {
        o.kind = Object::Brush;  // a pattern shows as mid grey rather than vanishing
        o.brush.colour = QColor(128, 128, 128);
      }
      CreateObject(std::move(o));
      break;
    }
    case kSelectObject: {
      const size_t i = a.U(0);
      if (i >= objects_.size()) break;
      const Object& o = objects_[i];
      if (o.kind == Object::Pen) s_.pen = o.pen;
      if (o.kind == Object::Brush) s_.brush = o.brush;
      if (o.kind == Object::Font) s_.font = o.font;
      break;
    }
    case kDeleteObject: {
      const size_t i = a.U(0);
      if (i < objects_.size()) objects_[i] = Object{};
      break;
    }
    case kMoveTo: s_.position = QPointF(a.S(1), a.S(0)); break;
    case kLineTo: {
      const QPointF to(a.S(1), a.S(0));
      ApplyPen();
      p_.drawLine(Map(s_.position.x(), s_.position.y()), Map(to.x(), to.y()));
      s_.position = to;
      break;
    }
    case kPolyline:
    case kPolygon: {
      const int count = a.U(0);
      if (!a.Has(1, 2 * count)) break;
      QPolygonF poly;
      Points(a, 1, count, &poly);
      if (function == kPolyline) {
        ApplyPen();
        p_.drawPolyline(poly);
      } else {
        Shape();
        p_.drawPolygon(poly, s_.winding ? Qt::WindingFill : Qt::OddEvenFill);
      }
      break;
    }
    case kPolyPolygon: {
      const int polys = a.U(0);
      if (!a.Has(1, polys)) break;
      int next = 1 + polys;
      QPainterPath path;
      path.setFillRule(s_.winding ? Qt::WindingFill : Qt::OddEvenFill);
      for (int i = 0; i < polys; ++i) {
        const int count = a.U(1 + i);
        if (!a.Has(next, 2 * count)) return;
        QPolygonF poly;
        Points(a, next, count, &poly);
        if (!poly.isEmpty()) {
          poly.append(poly.first());
          path.addPolygon(poly);
        }
        next += 2 * count;
      }
      Shape();
      p_.drawPath(path);
      break;
    }
    case kRectangle:
      if (!a.Has(0, 4)) break;
      Shape();
      p_.drawRect(MapRect(a.S(3), a.S(2), a.S(1), a.S(0)));
      break;
    case kEllipse:
      if (!a.Has(0, 4)) break;
      Shape();
      p_.drawEllipse(MapRect(a.S(3), a.S(2), a.S(1), a.S(0)));
      break;
    case kRoundRect: {
      if (!a.Has(0, 6)) break;
      Shape();
      const QRectF r = MapRect(a.S(5), a.S(4), a.S(3), a.S(2));
      const double rx = std::min(r.width(), std::abs(a.S(1) * ScaleX())) / 2;
      const double ry = std::min(r.height(), std::abs(a.S(0) * ScaleY())) / 2;
      p_.drawRoundedRect(r, rx, ry);
      break;
    }
    case kArc:
    case kChord:
    case kPie: ArcLike(function, a); break;
    case kSetPixel:
      if (!a.Has(0, 4)) break;
      p_.fillRect(QRectF(Map(a.S(3), a.S(2)), QSizeF(1, 1)), ColourRef(a.U32(0)));
      break;
    case kIntersectClipRect: {
      if (!a.Has(0, 4)) break;
      const QRectF r = MapRect(a.S(3), a.S(2), a.S(1), a.S(0));
      s_.clip = s_.clip ? s_.clip->intersected(r) : r;
      ApplyClip();
      break;
    }
    case kTextOut: {
      const int count = a.U(0);
      const int words = (count + 1) / 2;
      if (!a.Has(1, words + 2)) break;
      const QString text = FromWin1252(reinterpret_cast<const char*>(a.Bytes(1)), count);
      Text(a.S(1 + words + 1), a.S(1 + words), text, std::nullopt, {});
      break;
    }
    case kExtTextOut: {
      if (!a.Has(0, 4)) break;
      const int y = a.S(0), x = a.S(1), count = a.U(2), options = a.U(3);
      int next = 4;
      std::optional<QRectF> opaque;
      if (options & 0x0006) {  // opaque or clipped: a rectangle follows
        if (!a.Has(next, 4)) break;
        if (options & 0x0002) opaque = MapRect(a.S(next), a.S(next + 1), a.S(next + 2), a.S(next + 3));
        next += 4;
      }
      const int words = (count + 1) / 2;
      if (!a.Has(next, words)) break;
      const QString text = FromWin1252(reinterpret_cast<const char*>(a.Bytes(next)), count);
      next += words;
      std::vector<int> dx;
      if (a.Has(next, count)) {
        dx.reserve(size_t(count));
        for (int i = 0; i < count; ++i) dx.push_back(a.S(next + i));
      }
      Text(x, y, text, opaque, dx);
      break;
    }
    case kDibBitBlt: {
      // Without a bitmap (a pattern fill) the record is one word longer than its parameters.
      if (!a.Has(0, 8)) break;
      const QRectF dest = MapRect(a.S(7), a.S(6), a.S(7) + a.S(5), a.S(6) + a.S(4));
      Dib(a, 8, dest, QRect(a.S(3), a.S(2), a.S(5), a.S(4)));
      break;
    }
    case kDibStretchBlt: {
      if (!a.Has(0, 10)) break;
      const QRectF dest = MapRect(a.S(9), a.S(8), a.S(9) + a.S(7), a.S(8) + a.S(6));
      Dib(a, 10, dest, QRect(a.S(5), a.S(4), a.S(3), a.S(2)));
      break;
    }
    case kStretchDib: {
      if (!a.Has(0, 11)) break;
      const QRectF dest = MapRect(a.S(10), a.S(9), a.S(10) + a.S(8), a.S(9) + a.S(7));
      Dib(a, 11, dest, QRect(a.S(6), a.S(5), a.S(4), a.S(3)));
      break;
    }
    case kEscape:
    default: break;  // unknown records are skipped by their size
  }
}

void Player::ArcLike(quint16 function, const Params& a) {
  if (!a.Has(0, 8)) return;
  const QRectF box = MapRect(a.S(7), a.S(6), a.S(5), a.S(4));
  if (box.width() <= 0 || box.height() <= 0) return;
  const QPointF start = Map(a.S(3), a.S(2));
  const QPointF end = Map(a.S(1), a.S(0));
  // GDI aims at the points along rays from the centre; Qt's angles are those of the ellipse's
  // parameter, so convert through the axes. Arcs run counter-clockwise on the page.
  const QPointF c = box.center();
  const double rx = box.width() / 2, ry = box.height() / 2;
  auto angle = [&](const QPointF& pt) {
    return std::atan2(-(pt.y() - c.y()) / ry, (pt.x() - c.x()) / rx) * 180.0 / M_PI;
  };
  const double a0 = angle(start);
  double span = angle(end) - a0;
  if (span <= 0) span += 360;
  // A mirrored mapping turns the drawing direction round.
  if (ScaleX() * ScaleY() < 0) span -= 360;
  QPainterPath path;
  if (function == kPie) {
    path.moveTo(c);
  } else {
    path.arcMoveTo(box, a0);
  }
  path.arcTo(box, a0, span);
  if (function != kArc) path.closeSubpath();
  if (function == kArc) {
    ApplyPen();
    p_.setBrush(Qt::NoBrush);
  } else {
    Shape();
  }
  p_.drawPath(path);
}

void Player::Text(double x, double y, const QString& text, const std::optional<QRectF>& opaque,
                  const std::vector<int>& dx) {
  if (opaque) p_.fillRect(*opaque, s_.bkColour);
  const FontObject& f = s_.font;
  QFont font(f.face.isEmpty() ? QStringLiteral("DejaVu Sans") : f.face);
  // Negative heights are character heights, positive ones cell heights (about 8/7 more).
  double px = std::abs(f.height * ScaleY());
  if (f.height > 0) px *= 0.875;
  if (f.height == 0) px = 12;
  px = std::clamp(px, 1.0, std::min(2048.0, 4 * target_.height() + 16));
  font.setPixelSize(std::max(1, int(std::lround(px))));
  font.setWeight(QFont::Weight(std::clamp(f.weight == 0 ? 400 : f.weight, 1, 1000)));
  font.setItalic(f.italic);
  font.setUnderline(f.underline);
  font.setStrikeOut(f.strikeOut);
  p_.setFont(font);
  const QFontMetricsF m(font);
  const QPointF at = Map(x, y);
  double width = m.horizontalAdvance(text);
  if (!dx.empty()) {
    width = 0;
    for (int d : dx) width += d * ScaleX();
  }
  double left = 0;
  switch (s_.textAlign & 0x06) {
    case 0x02: left = -width; break;  // right
    case 0x06: left = -width / 2; break;  // centre
    default: break;
  }
  double baseline = m.ascent();  // top
  if ((s_.textAlign & 0x18) == 0x08) baseline = -m.descent();  // bottom
  if ((s_.textAlign & 0x18) == 0x18) baseline = 0;  // baseline
  p_.save();
  p_.translate(at);
  if (f.escapement) p_.rotate(-f.escapement / 10.0);
  if (s_.opaqueBackground && !opaque)
    p_.fillRect(QRectF(left, baseline - m.ascent(), width, m.height()), s_.bkColour);
  p_.setPen(s_.textColour);
  if (dx.empty()) {
    p_.drawText(QPointF(left, baseline), text);
  } else {
    double pos = left;
    for (int i = 0; i < text.size(); ++i) {
      p_.drawText(QPointF(pos, baseline), QString(text[i]));
      pos += (size_t(i) < dx.size() ? dx[size_t(i)] : 0) * ScaleX();
    }
  }
  p_.restore();
}

void Player::Dib(const Params& a, int dibWord, const QRectF& dest, QRect source) {
  if (!a.Has(dibWord, 20)) return;  // a pattern fill, or no header: nothing to show
  const uchar* dib = a.Bytes(dibWord);
  const int dibBytes = a.BytesFrom(dibWord);
  const quint32 headerSize = qFromLittleEndian<quint32>(dib);
  if (headerSize < 12 || headerSize > quint32(dibBytes)) return;
  qint64 paletteBytes = 0;
  int bits = 0;
  if (headerSize == 12) {
    bits = qFromLittleEndian<quint16>(dib + 10);
    if (bits <= 8) paletteBytes = qint64(3) << bits;  // RGBTRIPLEs
  } else if (headerSize >= 40) {
    bits = qFromLittleEndian<quint16>(dib + 14);
    const quint32 used = qFromLittleEndian<quint32>(dib + 32);
    const quint32 compression = qFromLittleEndian<quint32>(dib + 16);
    if (used > 256) return;
    if (bits <= 0 || bits > 32) return;
    paletteBytes = 4 * qint64(used ? int(used) : (bits <= 8 ? 1 << bits : 0));
    if (compression == 3 && headerSize == 40) paletteBytes += 12;  // the three bit masks
  } else {
    return;
  }
  if (bits <= 0 || bits > 32) return;
  const qint64 offBits = 14 + qint64(headerSize) + paletteBytes;
  if (offBits > 14 + qint64(dibBytes)) return;
  // Our bitmap reader takes whole files: put the file header in front.
  QByteArray file(14, '\0');
  file[0] = 'B';
  file[1] = 'M';
  qToLittleEndian<quint32>(quint32(14 + dibBytes), file.data() + 2);
  qToLittleEndian<quint32>(quint32(offBits), file.data() + 10);
  file.append(reinterpret_cast<const char*>(dib), dibBytes);
  const auto bitmap = Bitmap::FromBmp(file, 32);
  if (!bitmap || bitmap->IsEmpty()) return;
  // Source rectangles count rows from the bottom-up picture's top as shown.
  source = source.normalized().intersected(QRect(0, 0, bitmap->Width(), bitmap->Height()));
  if (source.isEmpty() || dest.isEmpty()) return;
  p_.drawImage(dest, bitmap->ToRgb32(), QRectF(source));
}

}  // namespace

std::optional<Metafile> Metafile::FromBytes(const QByteArray& bytes, QString* error) {
  auto fail = [&](const char* why) -> std::optional<Metafile> {
    if (error) *error = QString::fromLatin1(why);
    return std::nullopt;
  };
  const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
  const qint64 n = bytes.size();
  Metafile m;
  int offset = 0;
  if (n >= 4 && qFromLittleEndian<quint32>(d) == kPlaceableKey) {
    if (n < kPlaceableSize + kHeaderSize) return fail("truncated placeable header");
    m.placeable_ = true;
    const qint16 left = qFromLittleEndian<qint16>(d + 6), top = qFromLittleEndian<qint16>(d + 8);
    const qint16 right = qFromLittleEndian<qint16>(d + 10);
    const qint16 bottom = qFromLittleEndian<qint16>(d + 12);
    const int inch = qFromLittleEndian<quint16>(d + 14);
    if (inch == 0) return fail("no units per inch");
    m.bounds_ = QRect(QPoint(left, top), QSize(right - left, bottom - top));
    m.size_ = QSize(int(std::lround(std::abs(right - left) * 96.0 / inch)),
                    int(std::lround(std::abs(bottom - top) * 96.0 / inch)));
    offset = kPlaceableSize;
  }
  if (n < offset + kHeaderSize) return fail("truncated header");
  const quint16 type = qFromLittleEndian<quint16>(d + offset);
  const quint16 headerWords = qFromLittleEndian<quint16>(d + offset + 2);
  if ((type != 1 && type != 2) || headerWords != 9) return fail("not a metafile");
  const quint16 version = qFromLittleEndian<quint16>(d + offset + 4);
  if (version != 0x0100 && version != 0x0300) return fail("unknown metafile version");
  // The header's size covers the whole metafile: more than the file holds is a cut file.
  if (qint64(qFromLittleEndian<quint32>(d + offset + 6)) * 2 > n - offset)
    return fail("metafile cut short");
  m.objectCount_ = qFromLittleEndian<quint16>(d + offset + 10);
  m.recordsOffset_ = offset + kHeaderSize;

  if (!m.placeable_) {
    // A plain file is sized by the window its records set up.
    QPoint org(0, 0);
    bool haveExt = false;
    for (qint64 pos = m.recordsOffset_; pos + 6 <= n;) {
      const quint32 words = qFromLittleEndian<quint32>(d + pos);
      const quint16 function = qFromLittleEndian<quint16>(d + pos + 4);
      if (words < 3 || qint64(words) * 2 > n - pos || function == kEof) break;
      if (words >= 5 && function == kSetWindowOrg)
        org = QPoint(qFromLittleEndian<qint16>(d + pos + 8), qFromLittleEndian<qint16>(d + pos + 6));
      if (words >= 5 && function == kSetWindowExt) {
        const int h = qFromLittleEndian<qint16>(d + pos + 6), w = qFromLittleEndian<qint16>(d + pos + 8);
        m.bounds_ = QRect(org, QSize(w, h));
        m.size_ = QSize(std::abs(w), std::abs(h));
        haveExt = true;
        break;
      }
      pos += qint64(words) * 2;
    }
    if (!haveExt) return fail("no window extent");
  }
  if (m.size_.isEmpty()) return fail("empty picture");
  m.data_ = bytes;
  return m;
}

void Metafile::Play(QPainter& painter, const QRect& target) const {
  if (target.isEmpty()) return;
  painter.save();
  painter.setClipRect(target, Qt::IntersectClip);
  painter.setRenderHint(QPainter::Antialiasing, false);
  Player player(painter, target, bounds_, objectCount_);
  const auto* d = reinterpret_cast<const uchar*>(data_.constData());
  const qint64 n = data_.size();
  for (qint64 pos = recordsOffset_; pos + 6 <= n;) {
    const quint32 words = qFromLittleEndian<quint32>(d + pos);
    const quint16 function = qFromLittleEndian<quint16>(d + pos + 4);
    // A size that cannot be (too small to hold itself, or past the end) ends the picture.
    if (words < 3 || qint64(words) * 2 > n - pos) break;
    if (function == kEof) break;
    player.Record(function, Params(d + pos + 6, int(words - 3)));
    pos += qint64(words) * 2;
  }
  painter.restore();
}

}  // namespace platform
