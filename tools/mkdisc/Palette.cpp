#include "tools/mkdisc/Palette.h"

#include <algorithm>
#include <array>
#include <vector>

namespace palette {
namespace {

QVector<QRgb> BuildShared() {
  static constexpr std::array<QRgb, 10> kLow = {0xff000000, 0xff800000, 0xff008000, 0xff808000,
                                                0xff000080, 0xff800080, 0xff008080, 0xffc0c0c0,
                                                0xffc0dcc0, 0xffa6caf0};
  static constexpr std::array<QRgb, 10> kHigh = {0xfffffbf0, 0xffa0a0a4, 0xff808080, 0xffff0000,
                                                 0xff00ff00, 0xffffff00, 0xff0000ff, 0xffff00ff,
                                                 0xff00ffff, 0xffffffff};
  QVector<QRgb> table;
  table.reserve(256);
  for (QRgb c : kLow) table.append(c);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) table.append(qRgb(r * 51, g * 51, b * 51));
  // A navy ramp for the skin's dark blue panels, which the coarse cube would turn grey.
  for (int i = 0; i < 20; ++i) table.append(qRgb(4 + i * 7 / 2, 8 + i * 5, 20 + i * 8));
  for (QRgb c : kHigh) table.append(c);
  return table;
}

int Distance(QRgb a, QRgb b) {
  const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
  // Green weighs most to the eye, blue least.
  return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

int Nearest(QRgb c, const QVector<QRgb>& table) {
  int best = 0;
  int bestDistance = Distance(c, table[0]);
  for (int i = 1; i < table.size(); ++i) {
    const int d = Distance(c, table[i]);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

// Maps through a 15-bit colour lookup built lazily: art has few distinct colours, so most
// cells are never filled.
QImage Map(const QImage& image, const QVector<QRgb>& table) {
  const QImage src = image.convertToFormat(QImage::Format_RGB32);
  QImage out(src.size(), QImage::Format_Indexed8);
  out.setColorTable(table);
  std::vector<int> cache(32768, -1);
  for (int y = 0; y < src.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    uchar* dst = out.scanLine(y);
    for (int x = 0; x < src.width(); ++x) {
      const QRgb c = in[x];
      const int key = ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3);
      if (cache[key] < 0) cache[key] = Nearest(c, table);
      dst[x] = static_cast<uchar>(cache[key]);
    }
  }
  return out;
}

}  // namespace

const QVector<QRgb>& Shared() {
  static const QVector<QRgb> table = BuildShared();
  return table;
}

QImage ToShared(const QImage& image) {
  return Map(image, Shared());
}

QImage ToTable(const QImage& image, const QVector<QRgb>& table) {
  return Map(image, table);
}

QVector<QRgb> Popular(const QImage& image, int n) {
  const QImage src = image.convertToFormat(QImage::Format_RGB32);
  std::vector<std::pair<int, int>> counts(4096);
  for (int i = 0; i < 4096; ++i) counts[static_cast<size_t>(i)] = {0, i};
  for (int y = 0; y < src.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    for (int x = 0; x < src.width(); ++x) {
      const int cell =
          ((qRed(in[x]) >> 4) << 8) | ((qGreen(in[x]) >> 4) << 4) | (qBlue(in[x]) >> 4);
      ++counts[static_cast<size_t>(cell)].first;
    }
  }
  // Most used first; equal counts by cell number, so the order never depends on the sort.
  std::sort(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  });
  QVector<QRgb> table;
  for (const auto& [count, cell] : counts) {
    if (count == 0 || table.size() == n) break;
    table.append(qRgb(((cell >> 8) & 15) * 17, ((cell >> 4) & 15) * 17, (cell & 15) * 17));
  }
  while (table.size() < n) table.append(qRgb(0, 0, 0));
  return table;
}

}  // namespace palette
