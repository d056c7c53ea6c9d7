#include "navigator/ModeAnimation.h"

#include <algorithm>

#include "formats/BPK.h"

ModeAnimation::ModeAnimation(std::function<QString()> skinDir, std::function<int()> colourDepth,
                             Output out)
    : skinDir_(std::move(skinDir)), colourDepth_(std::move(colourDepth)), out_(std::move(out)) {}

ModeAnimation::~ModeAnimation() {
  CloseAnimation();
}

bool ModeAnimation::OpenAnimation(AnimationKind kind) {
  CloseAnimation();
  const QString path = skinDir_() + AnimationFileName(kind) + QStringLiteral(".bpk");
  auto movie = std::make_unique<TBPKMovie>(/*directFromFile=*/false);
  bool usable = false;
  try {
    usable = movie->Open(path);
  } catch (...) {
    // A file that cannot be opened (missing, unreadable) is passed over without a word.
    return false;
  }
  // A movie without frames has nothing to show and no background to give.
  if (!usable || movie->Header.FrameCount <= 0) {
    if (out_.ReportUnusable) out_.ReportUnusable(path);
    return false;
  }
  movie_ = std::move(movie);
  kind_ = kind;
  elapsedMs_ = 0;
  framesDue_ = 0;
  played_ = 0;
  requested_ = 0;
  delayMs_ = std::clamp(movie_->FrameValue(0, 1), 0, kMaxDelayMs);
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
  next_ = std::async(std::launch::async, [movie, depth] {
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
