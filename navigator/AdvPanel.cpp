#include "navigator/AdvPanel.h"

#include <QPainter>
#include <algorithm>

#include "formats/BPK.h"
#include "formats/DemoFile.h"
#include "platform/Canvas.h"
#include "platform/Drives.h"

namespace {
constexpr int kArrow = 0;
constexpr int kPointingHand = 1;
constexpr int kPressedHand = 2;
const char* const kTrailers[] = {"armymen.exe", "furydemo.exe"};
}  // namespace

AdvPanel::AdvPanel() : AdvMovie(std::make_unique<TBPKMovie>(/*directFromFile=*/true)) {}
AdvPanel::~AdvPanel() = default;

QString AdvPanel::TrailerPath(const QString& demosRoot, int index) {
  if (index < 0 || index >= int(std::size(kTrailers))) return {};
  return demosRoot + "demos\\trailers\\" + kTrailers[index];
}

void AdvPanel::SetActive(bool active) {
  AdvActive = active;
  if (active) StepAdvPanel(-1);
}

bool AdvPanel::OpenAt(int index) {
  try {
    return AdvMovie->Open(skin_.SkinDir + "Advs\\" + AdvList.at(index));
  } catch (...) {
    // A file that cannot be opened is skipped like one that is not an animation.
    return false;
  }
}

bool AdvPanel::FindAdvertisements() {
  for (const platform::FindEntry& e : platform::FindFiles(skin_.SkinDir + "Advs\\*.bpk",
                                                          platform::faAnyFile & ~platform::faDirectory))
    AdvList << e.name;
  if (AdvList.isEmpty()) {
    // Nothing to play: the panel stops rather than looking again at every step.
    AdvActive = false;
    return false;
  }
  std::sort(AdvList.begin(), AdvList.end(),
            [](const QString& a, const QString& b) { return CompareNamesInsensitive(a, b) < 0; });
  while (AdvIndex < AdvList.size() && !OpenAt(AdvIndex)) ++AdvIndex;
  if (AdvIndex >= AdvList.size()) {
    AdvActive = false;
    return false;
  }
  return true;
}

QImage AdvPanel::ComposeFrame(const platform::Bitmap& frame, const platform::Bitmap& mask,
                              const platform::Bitmap& background, QRect advRect) {
  const QSize size = advRect.size();
  QImage result(size, QImage::Format_RGB32);
  QImage under(size, QImage::Format_RGB32);
  QImage maskCopy(size, QImage::Format_RGB32);
  {
    platform::Canvas c(result);
    c.CopyRect(QRect(QPoint(0, 0), size), frame, QRect(0, 0, frame.Width(), frame.Height()));
  }
  {
    platform::Canvas c(under);
    c.Fill(QRect(QPoint(0, 0), size), Qt::black);
    c.BitBlt({0, 0}, size, background, advRect.topLeft());
  }
  {
    platform::Canvas c(maskCopy);
    c.Fill(QRect(QPoint(0, 0), size), Qt::black);
    c.BitBlt({0, 0}, size, mask, {0, 0});
  }
  // Inverted mask AND background, mask AND frame, then OR the two: the frame where the mask
  // is white, the background where it is black.
  platform::Canvas m(maskCopy);
  m.InvertRect(QRect(QPoint(0, 0), size));
  platform::Canvas u(under);
  u.BitBlt({0, 0}, size, m, {0, 0}, platform::RasterOp::And);
  m.InvertRect(QRect(QPoint(0, 0), size));
  platform::Canvas r(result);
  r.BitBlt({0, 0}, size, m, {0, 0}, platform::RasterOp::And);
  r.BitBlt({0, 0}, size, u, {0, 0}, platform::RasterOp::Or);
  return r.Image();
}

void AdvPanel::StepAdvPanel(int elapsedMs) {
  if (!AdvActive) return;
  if (AdvList.isEmpty() && !FindAdvertisements()) return;

  if (elapsedMs >= 0 && AdvFrameDelay != 0) {
    AdvElapsed += elapsedMs % AdvFrameDelay;
    AdvFramesDue += elapsedMs / AdvFrameDelay + AdvElapsed / AdvFrameDelay;
    AdvElapsed %= AdvFrameDelay;
    if (AdvFramesDue == 0) return;
  } else {
    AdvElapsed = 0;
  }
  // One frame per step however many were due: a slow machine plays slower, never skips.
  AdvFramesDue = 0;

  platform::Bitmap frame;
  if (AdvMovie->ReadFrame(frame, skin_.ColourDepth)) {
    // A negative delay in a damaged table would make the pacing arithmetic run backwards.
    AdvFrameDelay = std::max(0, AdvMovie->FrameValue(AdvMovie->LastFrame, 1));
    if (skin_.Mask && skin_.Background && OnDraw)
      OnDraw(ComposeFrame(frame, *skin_.Mask, *skin_.Background, skin_.AdvRect));
    ++FramesDrawn;
    AdvShownIndex = AdvIndex;
  } else {
    AdvMovie->SeekFrame(AdvMovie->Header.FrameCount);
  }

  if (AdvMovie->CurrentFrame > AdvMovie->Header.FrameCount - 1) {
    AdvElapsed = 0;
    AdvMovie->SeekFrame(0);
    const int count = int(AdvList.size());
    const int previous = AdvIndex;
    AdvIndex = (AdvIndex + 1) % count;
    if (AdvIndex != previous) {
      for (int attempt = 0; attempt < count; ++attempt) {
        if (OpenAt(AdvIndex)) return;
        AdvIndex = (AdvIndex + 1) % count;
      }
      AdvActive = false;
    }
  }
}

void AdvPanel::Paint() {
  if (!AdvList.isEmpty()) StepAdvPanel(-1);
}

int AdvPanel::MsUntilNextFrame() const {
  if (!AdvActive) return -1;
  if (AdvFrameDelay <= 0) return 0;
  return AdvFrameDelay - AdvElapsed;
}

void AdvPanel::SetCursor(int cursor) {
  Cursor = cursor;
  if (OnCursor) OnCursor(cursor);
}

void AdvPanel::MouseDown(bool leftOnly) {
  if (!leftOnly) return;
  SetCursor(kPressedHand);
  AdvPressed = true;
}

void AdvPanel::MouseMove(QPoint pos, QSize panelSize) {
  if (QRect(QPoint(0, 0), panelSize).contains(pos)) {
    if (Cursor == kArrow) SetCursor(kPointingHand);
  } else {
    SetCursor(kArrow);
    AdvPressed = false;
  }
}

void AdvPanel::MouseUp(QPoint pos, QSize panelSize) {
  if (!AdvPressed) return;
  AdvPressed = false;
  if (!QRect(QPoint(0, 0), panelSize).contains(pos)) {
    SetCursor(kArrow);
    return;
  }
  SetCursor(kPointingHand);
  // Advertisements beyond the trailer table have no trailer: the click does nothing.
  if (TrailerPath(QString(), AdvShownIndex).isEmpty() || !OnTrailer) return;
  OnTrailer(AdvShownIndex);
}
