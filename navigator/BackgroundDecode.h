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
#include <optional>
#include <tuple>
#include <utility>

#include "formats/BMR.h"
#include "formats/DemoFile.h"
#include "platform/Bitmap.h"

struct DecodedBackground {
  bool Usable = false;       // a header and a readable last frame
  platform::Bitmap Frame;    // that frame, for the display depth asked for
  std::exception_ptr Error;  // the file layer's open error, raised again by the taker
};

// Decodes the last frame of the animation at path (a path over the drive map). Never throws.
DecodedBackground DecodeLastFrame(const QString& path, int colourDepth);

// A result computed on a worker thread for a key (what it was asked for). Dropping it, or
// starting another, waits for a computation still running, so no worker outlives its owner.
template <class Result, class Key>
class WorkerResult {
 public:
  WorkerResult() = default;
  WorkerResult(const WorkerResult&) = delete;
  WorkerResult& operator=(const WorkerResult&) = delete;
  ~WorkerResult() { Wait(); }

  template <class Work>
  void Start(Key key, Work&& work) {
    Wait();
    key_ = std::move(key);
    pending_ = std::async(std::launch::async, std::forward<Work>(work));
  }
  // The result when it was started for this key; nothing otherwise. Either way it is used up.
  std::optional<Result> Take(const Key& key) {
    if (!pending_.valid()) return std::nullopt;
    Result result = pending_.get();
    if (!(key == key_)) return std::nullopt;
    return result;
  }
  bool Pending() const { return pending_.valid(); }

 private:
  void Wait() {
    if (pending_.valid()) pending_.wait();
  }
  Key key_{};
  std::future<Result> pending_;
};

class BackgroundPrefetch {
 public:
  // Starts decoding on a worker thread; a decode already running is waited for and dropped.
  void Start(const QString& path, int colourDepth);
  // The frame of path at colourDepth: the prefetched one when it is for the same file and
  // depth, otherwise decoded now on the caller's thread.
  DecodedBackground Take(const QString& path, int colourDepth);
  bool Pending() const { return work_.Pending(); }

 private:
  WorkerResult<DecodedBackground, std::pair<QString, int>> work_;
};

// The demo catalogue read from the disc on a worker thread.
struct LoadedCatalogue {
  std::unique_ptr<DemoCatalogue> Demos;
  int Added = 0;
};

class CataloguePrefetch {
 public:
  void Start(const QString& shareDir, int colourDepth);
  // Appends the demos of shareDir to catalogue as LoadCatalogue does: the prefetched ones
  // when they were read for the same folder and depth and the catalogue holds no demo yet,
  // otherwise read now. Returns how many were added.
  int LoadInto(DemoCatalogue& catalogue, const QString& shareDir, int colourDepth);

 private:
  WorkerResult<LoadedCatalogue, std::pair<QString, int>> work_;
};

// The skin container read and the controls' pictures decoded on a worker thread. The loading
// step installs the container as the one open when it was read whole; otherwise it opens it
// itself, with its messages.
class SkinPrefetch {
 public:
  void Start(const QString& container, const QStringList& names, bool convert, int colourDepth,
             const QStringList& storedNames);
  // The container and pictures decoded for the same container, conversion and depth; a closed
  // archive and no pictures otherwise.
  BmrDecoded Take(const QString& container, bool convert, int colourDepth);

 private:
  WorkerResult<BmrDecoded, std::tuple<QString, bool, int>> work_;
};
