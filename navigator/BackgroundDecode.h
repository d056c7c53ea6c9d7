#pragma once

// Start-up work that needs nothing from the window runs on worker threads while the window
// loads everything else; the loading steps take the results when they reach them.
//
// The design background is the last frame of a BPK animation. Reaching it means inflating every
// frame before it, the longest single step of the start-up, so it runs on a worker thread while
// the window loads everything else; the layout takes the result when it needs it.

#include <QString>
#include <QStringList>
#include <exception>
#include <future>
#include <map>

#include "formats/BMR.h"
#include "platform/Bitmap.h"

struct DecodedBackground {
  bool Usable = false;       // a header and a readable last frame
  platform::Bitmap Frame;    // that frame, for the display depth asked for
  std::exception_ptr Error;  // the file layer's open error, raised again by the taker
};

// Decodes the last frame of the animation at path (a path over the drive map). Never throws.
DecodedBackground DecodeLastFrame(const QString& path, int colourDepth);

class BackgroundPrefetch {
 public:
  BackgroundPrefetch() = default;
  BackgroundPrefetch(const BackgroundPrefetch&) = delete;
  BackgroundPrefetch& operator=(const BackgroundPrefetch&) = delete;
  ~BackgroundPrefetch();  // waits for a decode still running

  // Starts decoding on a worker thread; a decode already running is waited for and dropped.
  void Start(const QString& path, int colourDepth);
  // The frame of path at colourDepth: the prefetched one when it is for the same file and
  // depth, otherwise decoded now on the caller's thread.
  DecodedBackground Take(const QString& path, int colourDepth);
  bool Pending() const { return pending_.valid(); }

 private:
  QString path_;
  int colourDepth_ = 0;
  std::future<DecodedBackground> pending_;
};

// The skin container read and the controls' pictures decoded on a worker thread. The loading
// step installs the container as the one open when it was read whole; otherwise it opens it
// itself, with its messages.
class SkinPrefetch {
 public:
  SkinPrefetch() = default;
  SkinPrefetch(const SkinPrefetch&) = delete;
  SkinPrefetch& operator=(const SkinPrefetch&) = delete;
  ~SkinPrefetch();  // waits for a decode still running

  void Start(const QString& container, const QStringList& names, bool convert, int colourDepth);
  // The container and pictures decoded for the same container, conversion and depth; a closed
  // archive and no pictures otherwise.
  BmrDecoded Take(const QString& container, bool convert, int colourDepth);

 private:
  QString container_;
  bool convert_ = false;
  int colourDepth_ = 0;
  std::future<BmrDecoded> pending_;
};
