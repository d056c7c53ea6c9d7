#include "platform/VideoPlayer.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/AudioSystem.h"
#include "platform/RegularFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace platform {
namespace {

// Decoded ahead: a few frames and about a second of sound, so the UI thread never waits and
// memory stays small whatever the file.
constexpr size_t kFramesAhead = 8;
constexpr size_t kFramesMost = 48;
constexpr double kSoundAheadSeconds = 1.0;
constexpr double kSoundMostSeconds = 4.0;
// Larger pictures than this are no video of the programs' time; refused rather than decoded.
constexpr int64_t kMaxVideoPixels = int64_t(4096) * 4096;
// With nothing queued yet the UI looks again after this long.
constexpr int kStarvedWakeMs = 15;

struct FormatCloser {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecCloser {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsFreer {
  void operator()(SwsContext* c) const { sws_freeContext(c); }
};
struct SwrFreer {
  void operator()(SwrContext* c) const { swr_free(&c); }
};

struct DecodedFrame {
  int64_t ms = 0;
  QImage image;
};

}  // namespace

// Owns the file's demuxer and decoders; after Start they are touched by its thread only.
class VideoPlayer::Worker {
 public:
  ~Worker() { Halt(); }

  // Opens the file and its decoders on the caller's thread. False with code and detail.
  bool Open(const QString& path, const AudioFormat* soundFormat, int* code, QString* detail) {
    // The demuxer opens the path itself and would wait for a pipe's writer for ever.
    if (!IsRegularFile(path)) {
      *code = kErrorInvalidFile;
      *detail = QStringLiteral("not a regular file");
      return false;
    }
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, QFile::encodeName(path).constData(), nullptr, nullptr) < 0) {
      *code = kErrorInvalidFile;
      *detail = QStringLiteral("not a video file");
      return false;
    }
    format_.reset(raw);
    format_->max_analyze_duration = 2 * AV_TIME_BASE;
    if (avformat_find_stream_info(format_.get(), nullptr) < 0) {
      *code = kErrorInvalidFile;
      *detail = QStringLiteral("no stream information");
      return false;
    }
    videoStream_ = av_find_best_stream(format_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (videoStream_ < 0 || !OpenDecoder(videoStream_, &video_)) {
      *code = kErrorInvalidFile;
      *detail = QStringLiteral("no playable video stream");
      return false;
    }
    width_ = video_->width;
    height_ = video_->height;
    if (width_ <= 0 || height_ <= 0 || int64_t(width_) * height_ > kMaxVideoPixels) {
      *code = kErrorInvalidFile;
      *detail = QStringLiteral("bad picture size");
      return false;
    }
    const AVStream* vs = format_->streams[videoStream_];
    frameMs_ = 1000.0 / 15;
    if (vs->avg_frame_rate.num > 0 && vs->avg_frame_rate.den > 0)
      frameMs_ = 1000.0 * vs->avg_frame_rate.den / vs->avg_frame_rate.num;
    else if (vs->r_frame_rate.num > 0 && vs->r_frame_rate.den > 0)
      frameMs_ = 1000.0 * vs->r_frame_rate.den / vs->r_frame_rate.num;
    frameMs_ = std::clamp(frameMs_, 1.0, 1000.0);

    if (soundFormat) {
      audioStream_ = av_find_best_stream(format_.get(), AVMEDIA_TYPE_AUDIO, -1, videoStream_,
                                         nullptr, 0);
      if (audioStream_ >= 0 && OpenDecoder(audioStream_, &audio_) && SetUpResampler(*soundFormat))
        soundFormat_ = *soundFormat;
      else
        audioStream_ = -1;  // the picture plays without its sound
    }
    return true;
  }

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool HasSound() const { return audioStream_ >= 0; }
  double FrameMs() const { return frameMs_; }

  void Start() {
    thread_ = std::thread([this] { Run(); });
  }
  void Halt() {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    cv_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  // Consumer side (UI thread).
  bool WaitUntil(const std::function<bool()>& ready, int timeoutMs) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
  }
  std::mutex& Mutex() { return mutex_; }
  std::condition_variable& Cv() { return cv_; }
  std::deque<DecodedFrame>& Frames() { return frames_; }
  bool Ended() const { return ended_; }
  int64_t LastFrameMs() const { return lastFrameMs_; }
  size_t SoundBytes() const { return soundBytes_.size() - soundRead_; }

  // Whether the worker has decoded as far ahead as it may (call with the mutex held).
  bool Full() const {
    const size_t sound = soundBytes_.size() - soundRead_;
    const size_t soundAhead = size_t(kSoundAheadSeconds * soundFormat_.BytesPerSecond());
    const size_t soundMost = size_t(kSoundMostSeconds * soundFormat_.BytesPerSecond());
    const bool soundEnough = !HasSound() || sound >= soundAhead;
    return (frames_.size() >= kFramesAhead && soundEnough) || frames_.size() >= kFramesMost ||
           (HasSound() && sound >= soundMost);
  }

  // Audio thread: the next bytes of sound, silence where decoding is behind.
  void RenderSound(uint8_t* out, size_t bytes) {
    size_t copied = 0;
    {
      std::lock_guard lock(mutex_);
      const size_t have = soundBytes_.size() - soundRead_;
      copied = std::min(have, bytes);
      if (copied) std::memcpy(out, soundBytes_.data() + soundRead_, copied);
      soundRead_ += copied;
      soundOut_ += bytes;
    }
    if (copied < bytes)
      std::memset(out + copied, soundFormat_.bits == 8 ? 0x80 : 0, bytes - copied);
    cv_.notify_all();
  }
  uint64_t SoundBytesOut() {
    std::lock_guard lock(mutex_);
    return soundOut_;
  }

 private:
  bool OpenDecoder(int stream, std::unique_ptr<AVCodecContext, CodecCloser>* out) {
    const AVCodecParameters* par = format_->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    if (!codec) return false;
    std::unique_ptr<AVCodecContext, CodecCloser> ctx(avcodec_alloc_context3(codec));
    if (!ctx || avcodec_parameters_to_context(ctx.get(), par) < 0) return false;
    ctx->thread_count = 1;  // one decoding thread per player is plenty for these sizes
    if (avcodec_open2(ctx.get(), codec, nullptr) < 0) return false;
    *out = std::move(ctx);
    return true;
  }

  bool SetUpResampler(const AudioFormat& f) {
    AVChannelLayout outLayout;
    av_channel_layout_default(&outLayout, f.channels);
    AVChannelLayout inLayout;
    if (audio_->ch_layout.nb_channels > 0)
      av_channel_layout_copy(&inLayout, &audio_->ch_layout);
    else
      av_channel_layout_default(&inLayout, 1);
    SwrContext* raw = nullptr;
    const int rc = swr_alloc_set_opts2(&raw, &outLayout, f.bits == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16,
                                       f.rateHz, &inLayout, audio_->sample_fmt,
                                       audio_->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (rc < 0 || !raw) return false;
    resampler_.reset(raw);
    return audio_->sample_rate > 0 && swr_init(resampler_.get()) >= 0;
  }

  void Run() {
    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    if (!packet || !frame) return Finish();
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return quit_ || !Full(); });
        if (quit_) return;
      }
      const int rc = av_read_frame(format_.get(), packet.get());
      if (rc < 0) {
        // The end (or a read error, which ends the movie where it broke): drain the decoders.
        Decode(video_.get(), nullptr, frame.get(), true);
        if (HasSound()) Decode(audio_.get(), nullptr, frame.get(), false);
        return Finish();
      }
      if (packet->stream_index == videoStream_)
        Decode(video_.get(), packet.get(), frame.get(), true);
      else if (packet->stream_index == audioStream_)
        Decode(audio_.get(), packet.get(), frame.get(), false);
      av_packet_unref(packet.get());
    }
  }

  void Decode(AVCodecContext* ctx, const AVPacket* packet, AVFrame* frame, bool isVideo) {
    // A damaged packet is skipped; the decoder goes on with the next one.
    if (avcodec_send_packet(ctx, packet) < 0 && packet) return;
    while (avcodec_receive_frame(ctx, frame) >= 0) {
      if (isVideo)
        TakePicture(frame);
      else
        TakeSound(frame);
      av_frame_unref(frame);
      std::lock_guard lock(mutex_);
      if (quit_) return;
    }
  }

  void TakePicture(const AVFrame* frame) {
    if (frame->width != width_ || frame->height != height_) return;  // a size change mid-file
    const AVStream* vs = format_->streams[videoStream_];
    int64_t ms;
    int64_t ts = frame->best_effort_timestamp;
    if (ts != AV_NOPTS_VALUE) {
      if (vs->start_time != AV_NOPTS_VALUE) ts -= vs->start_time;
      ms = av_rescale_q(ts, vs->time_base, AVRational{1, 1000});
    } else {
      ms = nextMs_;
    }
    if (ms < 0) ms = 0;
    nextMs_ = ms + int64_t(frameMs_);
    QImage image(width_, height_, QImage::Format_RGB32);
    if (image.isNull()) return;
    scaler_.reset(sws_getCachedContext(scaler_.release(), width_, height_,
                                       AVPixelFormat(frame->format), width_, height_,
                                       AV_PIX_FMT_RGB32, SWS_POINT, nullptr, nullptr, nullptr));
    if (!scaler_) return;
    uint8_t* dst[4] = {image.bits(), nullptr, nullptr, nullptr};
    int dstStride[4] = {int(image.bytesPerLine()), 0, 0, 0};
    sws_scale(scaler_.get(), frame->data, frame->linesize, 0, height_, dst, dstStride);
    {
      std::lock_guard lock(mutex_);
      frames_.push_back(DecodedFrame{ms, std::move(image)});
      lastFrameMs_ = std::max(lastFrameMs_, ms);
    }
    cv_.notify_all();
  }

  void TakeSound(const AVFrame* frame) {
    const int outSamples = swr_get_out_samples(resampler_.get(), frame->nb_samples);
    if (outSamples <= 0) return;
    convert_.resize(size_t(outSamples) * size_t(soundFormat_.BytesPerFrame()));
    uint8_t* out[1] = {convert_.data()};
    const int got = swr_convert(resampler_.get(), out, outSamples,
                                const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    if (got <= 0) return;
    {
      std::lock_guard lock(mutex_);
      // Drop what the output has consumed before growing, so the buffer stays small.
      if (soundRead_ > 0 && soundRead_ * 2 >= soundBytes_.size()) {
        soundBytes_.erase(soundBytes_.begin(), soundBytes_.begin() + ptrdiff_t(soundRead_));
        soundRead_ = 0;
      }
      soundBytes_.insert(soundBytes_.end(), convert_.data(),
                         convert_.data() + size_t(got) * size_t(soundFormat_.BytesPerFrame()));
    }
    cv_.notify_all();
  }

  void Finish() {
    {
      std::lock_guard lock(mutex_);
      ended_ = true;
    }
    cv_.notify_all();
  }

  std::unique_ptr<AVFormatContext, FormatCloser> format_;
  std::unique_ptr<AVCodecContext, CodecCloser> video_, audio_;
  std::unique_ptr<SwsContext, SwsFreer> scaler_;
  std::unique_ptr<SwrContext, SwrFreer> resampler_;
  int videoStream_ = -1, audioStream_ = -1;
  int width_ = 0, height_ = 0;
  double frameMs_ = 66.7;
  int64_t nextMs_ = 0;
  AudioFormat soundFormat_;
  std::vector<uint8_t> convert_;

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable cv_;
  bool quit_ = false;
  bool ended_ = false;
  int64_t lastFrameMs_ = -1;
  std::deque<DecodedFrame> frames_;
  // Sound not yet rendered: bytes [soundRead_, size) are waiting.
  std::vector<uint8_t> soundBytes_;
  size_t soundRead_ = 0;
  uint64_t soundOut_ = 0;
};

// Shows the current frame scaled over the whole panel; follows the panel's size.
class VideoPlayer::Surface : public QWidget {
 public:
  Surface(QWidget* panel, VideoPlayer* player) : QWidget(panel), player_(player) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);  // clicks belong to the panel
    setGeometry(panel->rect());
    panel->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == parent() && event->type() == QEvent::Resize)
      setGeometry(static_cast<QWidget*>(watched)->rect());
    return false;
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QImage& frame = player_->CurrentFrame();
    if (frame.isNull())
      p.fillRect(rect(), Qt::black);
    else
      p.drawImage(rect(), frame);
  }

 private:
  VideoPlayer* player_;
};

struct VideoPlayer::State {
  QString path;
  bool open = false;
  bool playing = false;
  bool atEnd = false;          // the last play reached the end: the next one starts over
  int64_t startMs = 0;         // clock reading at position 0 of the current play
  int64_t pausedAt = 0;        // position kept by Stop
  QImage current;
  int64_t currentMs = -1;
  int dropped = 0;
  std::shared_ptr<AudioOutput> output;
  int sourceId = -1;
  QTimer wake;
};

VideoPlayer::VideoPlayer(QObject* parent, Clock* clock)
    : QObject(parent), clock_(clock), state_(std::make_unique<State>()) {
  // Damaged files are answered with an error code; the library need not print about them.
  av_log_set_level(AV_LOG_QUIET);
  state_->wake.setSingleShot(true);
  state_->wake.setTimerType(Qt::PreciseTimer);
  connect(&state_->wake, &QTimer::timeout, this, &VideoPlayer::Tick);
}

VideoPlayer::~VideoPlayer() {
  OnNotify = nullptr;
  Close();
}

bool VideoPlayer::Open(const QString& hostPath) {
  Close();
  errorCode_ = kNoError;
  errorDetail_.clear();
  if (!QFileInfo(hostPath).isFile()) {
    Fail(kErrorFileNotFound, hostPath);
    return false;
  }
  // The sound device is asked for first: without one the picture still plays.
  QString audioError;
  std::shared_ptr<AudioOutput> output = Audio().AcquireOutput(&audioError);
  auto worker = std::make_unique<Worker>();
  int code = kNoError;
  QString detail;
  if (!worker->Open(hostPath, output ? &output->Format() : nullptr, &code, &detail)) {
    Fail(code, detail);
    return false;
  }
  worker_ = std::move(worker);
  if (worker_->HasSound()) state_->output = std::move(output);
  worker_->Start();
  state_->path = hostPath;
  state_->open = true;
  state_->atEnd = false;
  state_->pausedAt = 0;
  state_->current = QImage();
  state_->currentMs = -1;
  state_->dropped = 0;
  if (surface_) surface_->update();
  return true;
}

bool VideoPlayer::IsOpen() const {
  return state_->open;
}

bool VideoPlayer::CanPlay() const {
  return state_->open && worker_ && worker_->Width() > 0;
}

void VideoPlayer::Close() {
  if (state_->playing) Finish(VideoNotify::Aborted);
  state_->wake.stop();
  worker_.reset();
  state_->output.reset();
  state_->open = false;
  state_->current = QImage();
  state_->currentMs = -1;
  if (surface_) surface_->update();
}

QRect VideoPlayer::DisplayRect() const {
  if (!worker_) return QRect();
  return QRect(0, 0, worker_->Width(), worker_->Height());
}

void VideoPlayer::SetDisplay(QWidget* panel) {
  if (surface_) {
    // The former panel keeps nothing of this player.
    surface_->hide();
    surface_->setParent(nullptr);
    surface_->deleteLater();
  }
  display_ = panel;
  if (panel) {
    surface_ = new Surface(panel, this);  // owned by the panel
    surface_->show();
  }
}

bool VideoPlayer::Play() {
  if (!state_->open || !worker_) {
    Fail(kErrorNotOpen, QString());
    return false;
  }
  if (state_->playing) return true;
  if (state_->atEnd) {
    // Played to its end: start over from a fresh decoder.
    const QString path = state_->path;
    auto notify = std::move(OnNotify);
    OnNotify = nullptr;
    const bool reopened = Open(path);
    OnNotify = std::move(notify);
    if (!reopened) return false;
  }
  // Wait for the worker's first picture and sound so both start together.
  Worker* w = worker_.get();
  w->WaitUntil(
      [w] {
        return w->Ended() ||
               (!w->Frames().empty() && (!w->HasSound() || w->SoundBytes() > 0));
      },
      2000);
  state_->startMs = int64_t(TheClock().NowMs()) - state_->pausedAt;
  state_->playing = true;
  if (state_->output && w->HasSound())
    state_->sourceId = state_->output->AddSource([w](uint8_t* out, size_t bytes) {
      w->RenderSound(out, bytes);
    });
  Tick();
  return true;
}

void VideoPlayer::Stop() {
  if (!state_->playing) return;
  state_->pausedAt = PositionMs();
  Finish(VideoNotify::Aborted);
}

bool VideoPlayer::Playing() const {
  return state_->playing;
}

void VideoPlayer::Finish(VideoNotify how) {
  state_->playing = false;
  state_->wake.stop();
  if (state_->output && state_->sourceId >= 0) state_->output->RemoveSource(state_->sourceId);
  state_->sourceId = -1;
  if (how == VideoNotify::Successful) {
    state_->atEnd = true;
    state_->pausedAt = 0;
  }
  if (OnNotify) OnNotify(how);
}

const QImage& VideoPlayer::CurrentFrame() const {
  return state_->current;
}

int64_t VideoPlayer::CurrentFrameMs() const {
  return state_->currentMs;
}

int64_t VideoPlayer::PositionMs() const {
  if (!state_->playing) return state_->pausedAt;
  return std::max<int64_t>(0, int64_t(TheClock().NowMs()) - state_->startMs);
}

int VideoPlayer::DroppedFrames() const {
  return state_->dropped;
}

void VideoPlayer::Tick() {
  if (!state_->playing || !worker_) return;
  const int64_t now = PositionMs();
  bool shown = false;
  bool ended = false;
  int64_t nextDue = -1;
  {
    std::lock_guard lock(worker_->Mutex());
    auto& frames = worker_->Frames();
    // Show the newest frame that is due; older due ones were too late.
    while (!frames.empty() && frames.front().ms <= now) {
      if (shown) ++state_->dropped;
      state_->current = std::move(frames.front().image);
      state_->currentMs = frames.front().ms;
      frames.pop_front();
      shown = true;
    }
    if (!frames.empty()) nextDue = frames.front().ms;
    ended = worker_->Ended() && frames.empty() &&
            now >= worker_->LastFrameMs() + int64_t(worker_->FrameMs()) &&
            (!worker_->HasSound() || worker_->SoundBytes() == 0);
  }
  if (shown) worker_->Cv().notify_all();  // room for the worker again
  if (shown && surface_) surface_->update();
  if (ended) {
    Finish(VideoNotify::Successful);
    return;
  }
  int wait = kStarvedWakeMs;
  if (nextDue >= 0) wait = int(std::clamp<int64_t>(nextDue - now, 1, 1000));
  state_->wake.start(wait);
}

bool VideoPlayer::WaitDecodedUntil(int64_t ms, int timeoutMs) {
  if (!worker_) return false;
  Worker* w = worker_.get();
  return w->WaitUntil(
      [w, ms] {
        return w->Ended() || w->LastFrameMs() >= ms || w->Full();
      },
      timeoutMs);
}

void VideoPlayer::Fail(int code, const QString& detail) {
  errorCode_ = code;
  errorDetail_ = detail;
}

QString VideoPlayer::ErrorText() const {
  switch (errorCode_) {
    case kNoError: return QString();
    case kErrorFileNotFound:
      return QStringLiteral(
          "O arquivo especificado não foi encontrado. Verifique se o caminho e o nome do arquivo "
          "estão corretos.");
    case kErrorInvalidFile:
      return QStringLiteral(
          "O arquivo especificado não pode ser reproduzido no dispositivo MCI especificado. O "
          "arquivo pode estar danificado ou em formato incorreto.");
    case kErrorNotOpen:
      return QStringLiteral("O dispositivo não está aberto.");
    default: return QStringLiteral("Erro do dispositivo de vídeo.");
  }
}

}  // namespace platform
