#include "navigator/TextBreaker.h"

#include <QFontMetrics>
#include <algorithm>
#include <memory>

namespace {

bool IsBlank(QChar c) { return c == QLatin1Char(' '); }

// No line of a box on any screen holds more characters than this; a longer run is too wide
// without measuring it (a description may hold one enormous word).
constexpr qsizetype kMaxLineChars = 4096;

// Breaks one paragraph (no CR LF inside) into lines, appending to lines.
void BreakParagraph(const QString& para, int width, const TextWidthFn& measure, int maxLines,
                    QStringList& lines) {
  if (para.isEmpty()) {
    lines.append(QString());
    return;
  }
  const qsizetype n = para.size();
  qsizetype start = 0;
  while (start < n && lines.size() < maxLines) {
    // Grow the line word by word; a word counts with the blanks before it, and the blanks
    // after the last word that fits hang over the edge unseen.
    qsizetype after = start;  // end of the line with its trailing blanks
    while (after < n && IsBlank(para[after])) ++after;  // leading blanks
    bool any = false;
    qsizetype scan = after;
    while (scan < n) {
      qsizetype wordEnd = scan;
      const qsizetype scanLimit = std::min(n, start + kMaxLineChars + 1);
      while (wordEnd < scanLimit && !IsBlank(para[wordEnd])) ++wordEnd;
      const bool tooWide = wordEnd - start > kMaxLineChars ||
                           measure(para.mid(start, wordEnd - start)) > width;
      if (tooWide) {
        if (any) break;
        // A single word wider than the line: as many characters as fit, at least one.
        qsizetype fit = scan + 1;
        while (fit < wordEnd && fit - start < kMaxLineChars &&
               measure(para.mid(start, fit + 1 - start)) <= width)
          ++fit;
        after = fit;
        any = true;
        break;
      }
      any = true;
      after = wordEnd;
      while (after < n && IsBlank(para[after])) ++after;
      scan = after;
    }
    if (!any) after = n;  // nothing but blanks
    lines.append(para.mid(start, after - start));
    start = after;
  }
}

}  // namespace

TextWidthFn WidthInFont(const platform::FontSpec& font) {
  auto metrics = std::make_shared<QFontMetrics>(platform::MakeFont(font));
  return [metrics](const QString& text) { return metrics->horizontalAdvance(text); };
}

QStringList BreakLines(const QString& text, int width, const TextWidthFn& measure, int maxLines) {
  QStringList lines;
  qsizetype pos = 0;
  const QString crlf = QStringLiteral("\r\n");
  while (lines.size() < maxLines) {
    const qsizetype br = text.indexOf(crlf, pos);
    const QString para = text.mid(pos, br < 0 ? -1 : br - pos);
    BreakParagraph(para, width, measure, maxLines, lines);
    if (br < 0) break;
    pos = br + 2;
  }
  return lines;
}

WrappedText FormatDescription(const QString& description, int width, const TextWidthFn& measure) {
  WrappedText out;
  out.Lines = BreakLines(description, width, measure);
  const int count = out.Count();
  out.LineEndsParagraph.assign(count, 0);
  out.LineGaps.assign(count, 0);
  // Walk the unwrapped text beside the lines: a line followed by CR LF ends its paragraph.
  qsizetype r = 0;
  for (int i = 0; i < count; ++i) {
    const QString& line = out.Lines[i];
    r += line.size() + 1;
    if (r - 1 < description.size() && description[r - 1] == QLatin1Char('\r')) {
      out.LineEndsParagraph[i] = 1;
      r += 1;
      continue;
    }
    r -= 1;
    QString body = line;
    if (body.endsWith(QLatin1Char(' '))) body.chop(1);
    qsizetype lead = 0;
    while (lead < body.size() && IsBlank(body[lead])) ++lead;
    out.LineGaps[i] = uint8_t(std::min<qsizetype>(body.mid(lead).count(QLatin1Char(' ')), 255));
  }
  if (count > 0) {
    out.LineEndsParagraph[count - 1] = 1;
    out.LineGaps[count - 1] = 0;
  }
  return out;
}
