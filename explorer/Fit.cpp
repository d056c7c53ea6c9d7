#include "explorer/Fit.h"

#include <QString>
#include <cmath>

namespace {
int RoundHalfEven(double v) {
  return static_cast<int>(std::nearbyint(v));  // the default rounding mode: ties to even
}
}  // namespace

QRect FitPicture(QSize box, QSize picture) {
  const int W = box.width(), H = box.height();
  int w = picture.width(), h = picture.height();
  if (w <= 0 || h <= 0) return QRect(0, 0, 0, 0);
  if (w >= W || h >= H) {
    const int e = RoundHalfEven(double(H) * w / h);
    const int f = RoundHalfEven(double(W) * h / w);
    bool heightBound;
    if (H < W)
      heightBound = h >= w || f > H;
    else
      heightBound = !(h < w || e > W);
    if (heightBound) {
      w = e;
      h = H;
    } else {
      w = W;
      h = f;
    }
  }
  return QRect((W - w) / 2, (H - h) / 2, w, h);
}

MediaKindOf MediaKindOfPath(const QString& path) {
  const int slash = std::max(path.lastIndexOf('\\'), path.lastIndexOf('/'));
  const int dot = path.lastIndexOf('.');
  if (dot <= slash) return MediaKindOf::None;
  const QString ext = path.mid(dot).toLower();
  if (ext == QLatin1String(".wav")) return MediaKindOf::Wave;
  if (ext == QLatin1String(".wmf")) return MediaKindOf::Metafile;
  if (ext == QLatin1String(".bmp")) return MediaKindOf::Bitmap;
  if (ext == QLatin1String(".jpg")) return MediaKindOf::Jpeg;
  if (ext == QLatin1String(".avi")) return MediaKindOf::Video;
  return MediaKindOf::None;
}
