#include "navigator/ModeAnimation.h"

#include <algorithm>

#include "formats/BPK.h"
#include "formats/DiscFiles.h"
#include "navigator/SerialWorker.h"
#include "platform/Drives.h"
#include "platform/RegularFile.h"

namespace {

int Slot(AnimationKind kind) {
  return int(kind) - 1;
}

constexpr std::array<AnimationKind, 4> kKinds = {
    AnimationKind::ListEntry, AnimationKind::ListExit, AnimationKind::DescriptionEntry,
    AnimationKind::DescriptionExit};

// Runs work on the worker and returns its result's future.
template <class Result, class Work>
std::future<Result> RunOn(SerialWorker& worker, Work work) {
  auto promise = std::make_shared<std::promise<Result>>();
  std::future<Result> result = promise->get_future();
  worker.Start(
      [promise, work = std::move(work)]() mutable {
        try {
          promise->set_value(work());
        } catch (...) {
          // Handed to the taker: nothing may leave the worker's thread.
          promise->set_exception(std::current_exception());
        }
      });
  return result;
}

}  // namespace

ModeAnimation::ModeAnimation(std::function<QString()> skinDir, std::function<int()> colourDepth,
                             Output out)
    : skinDir_(std::move(skinDir)),
      colourDepth_(std::move(colourDepth)),
      out_(std::move(out)),
      // One thread each for the player's life, not one per frame.
      preloader_(std::make_unique<SerialWorker>()),
      worker_(std::make_unique<SerialWorker>()) {}

ModeAnimation::~ModeAnimation() {
  CloseAnimation();
  // Preloads not yet started are dropped; a running one finishes before the worker goes.
  preloader_->Clear();
}

void ModeAnimation::Preload() {
  const QString dir = skinDir_();
  const int depth = colourDepth_();
  for (AnimationKind kind : kKinds) {
    std::future<std::unique_ptr<Opened>>& slot = preloaded_[size_t(Slot(kind))];
    if (slot.valid()) continue;
    const QString path = dir + AnimationFileName(kind) + QStringLiteral(".bpk");
    // The drive map is read here: the worker touches nothing shared.
    const std::optional<QString> host = platform::Drives().ToHost(path);
    if (!host) continue;
    slot = RunOn<std::unique_ptr<Opened>>(
        *preloader_, [path, host = *host, depth] { return OpenAhead(path, host, depth); });
  }
}

void ModeAnimation::WaitForWorker() {
  preloader_->WaitForDone();
  worker_->WaitForDone();
}

std::unique_ptr<ModeAnimation::Opened> ModeAnimation::OpenAhead(const QString& path,
                                                                const QString& hostPath,
                                                                int depth) {
  std::unique_ptr<QFile> file = platform::OpenRegularFile(hostPath);
  if (!file) return nullptr;
  auto opened = std::make_unique<Opened>();
  opened->Path = path;
  opened->Depth = depth;
  opened->Bytes = file->readAll();
  opened->Movie = std::make_unique<TBPKMovie>(/*directFromFile=*/false);
  // An unusable file is left to the window's own open, which reports it.
  if (!opened->Movie->OpenBytes(opened->Bytes) || opened->Movie->Header.FrameCount <= 0)
    return nullptr;
  opened->First.Index = 0;
  opened->First.Read = opened->Movie->ReadFrame(opened->First.Picture, depth);
  // The next frame's storage comes back when the movie plays; until then it is not held.
  opened->Movie->ReleaseFrameStorage();
  return opened;
}

std::unique_ptr<ModeAnimation::Opened> ModeAnimation::TakePreloaded(AnimationKind kind,
                                                                    const QString& path,
                                                                    int depth,
                                                                    const QByteArray& bytes) {
  std::future<std::unique_ptr<Opened>>& slot = preloaded_[size_t(Slot(kind))];
  if (!slot.valid()) return nullptr;
  std::unique_ptr<Opened> opened;
  try {
    opened = slot.get();
  } catch (...) {
    return nullptr;  // opened here instead, where a failure is reported as usual
  }
  // Another skin, another depth or a file changed since: not what the window asks for now.
  if (!opened || opened->Path != path || opened->Depth != depth || opened->Bytes != bytes)
    return nullptr;
  return opened;
}

bool ModeAnimation::OpenAnimation(AnimationKind kind) {
  CloseAnimation();
  if (kind == AnimationKind::None) return false;
  const QString path = skinDir_() + AnimationFileName(kind) + QStringLiteral(".bpk");
  const int depth = colourDepth_();
  // A file that cannot be opened (missing, unreadable) is passed over without a word.
  std::unique_ptr<QFile> file = OpenDiscFile(path);
  if (!file) return false;
  const QByteArray bytes = file->readAll();
  file.reset();

  Frame first;
  bool firstTaken = false;
  if (std::unique_ptr<Opened> opened = TakePreloaded(kind, path, depth, bytes)) {
    movie_ = std::move(opened->Movie);
    first = std::move(opened->First);
    firstTaken = true;
    ++preloadsTaken_;
  } else {
    auto movie = std::make_unique<TBPKMovie>(/*directFromFile=*/false);
    bool usable = false;
    try {
      usable = movie->OpenBytes(bytes);
    } catch (...) {
      return false;
    }
    // A movie without frames has nothing to show and no background to give.
    if (!usable || movie->Header.FrameCount <= 0) {
      if (out_.ReportUnusable) out_.ReportUnusable(path);
      Preload();
      return false;
    }
    movie_ = std::move(movie);
    // Read before the preloads start, so that they do not compete with it.
    first.Read = movie_->ReadFrame(first.Picture, depth);
    firstTaken = true;
  }
  kind_ = kind;
  elapsedMs_ = 0;
  framesDue_ = 0;
  played_ = 0;
  requested_ = 0;
  delayMs_ = std::clamp(movie_->FrameValue(0, 1), 0, kMaxDelayMs);
  if (firstTaken) {
    std::promise<Frame> ready;
    ready.set_value(std::move(first));
    next_ = ready.get_future();
    requested_ = 1;
  }
  // The animation taken is held ahead again, and so is any the worker does not hold yet.
  Preload();
  return true;
}

bool ModeAnimation::AnimationOpen() const {
  return movie_ != nullptr;
}

void ModeAnimation::CloseAnimation() {
  // The worker reads the movie: it finishes before the movie goes.
  if (next_.valid()) next_.wait();
  next_ = {};
  movie_.reset();
  kind_ = AnimationKind::None;
}

ModeAnimation::Frame ModeAnimation::TakeFrame() {
  if (next_.valid()) return next_.get();
  Frame f;
  f.Index = movie_->CurrentFrame;
  f.Read = movie_->ReadFrame(f.Picture, colourDepth_());
  ++requested_;
  return f;
}

void ModeAnimation::PrefetchNext() {
  if (requested_ >= movie_->Header.FrameCount) return;
  ++requested_;
  TBPKMovie* movie = movie_.get();
  const int depth = colourDepth_();
  next_ = RunOn<Frame>(*worker_, [movie, depth] {
    Frame f;
    f.Index = movie->CurrentFrame;
    f.Read = movie->ReadFrame(f.Picture, depth);
    return f;
  });
}

int ModeAnimation::FrameCount() const {
  return movie_ ? movie_->Header.FrameCount : 0;
}

int ModeAnimation::FrameDelayMs() const {
  return movie_ ? delayMs_ : 0;
}

int ModeAnimation::MsUntilNextFrame() const {
  if (!movie_) return kNotPlaying;
  const int d = FrameDelayMs();
  return d == 0 ? 0 : std::max(0, d - elapsedMs_);
}

bool ModeAnimation::StepAnimation(int elapsedMs) {
  if (!movie_) return true;
  if (elapsedMs < 0) {
    elapsedMs_ = 0;
  } else if (const int d = FrameDelayMs(); d > 0) {
    elapsedMs_ += elapsedMs % d;
    framesDue_ += elapsedMs / d + elapsedMs_ / d;
    elapsedMs_ %= d;
    if (framesDue_ == 0) return false;
  }
  framesDue_ = 0;

  Frame frame = TakeFrame();
  const bool read = frame.Read;
  ++played_;
  // The next frame is read while this one is shown.
  PrefetchNext();
  if (read) {
    // Each frame stays for its own delay; an unreadable one keeps the delay shown last.
    delayMs_ = std::clamp(movie_->FrameValue(frame.Index, 1), 0, kMaxDelayMs);
    if (out_.DrawFrame) out_.DrawFrame(frame.Picture);
  } else if (out_.DrawUnreadableFrame) {
    out_.DrawUnreadableFrame();
  }
  if (played_ == 1 && out_.PlayEffect) {
    const bool entry = kind_ == AnimationKind::ListEntry || kind_ == AnimationKind::DescriptionEntry;
    out_.PlayEffect(entry ? 6 : 7, 5);
  }
  if (played_ < movie_->Header.FrameCount) return false;
  // Over. An unreadable last frame leaves the background as it was.
  if (read && out_.TakeBackground) out_.TakeBackground(std::move(frame.Picture));
  return true;
}
