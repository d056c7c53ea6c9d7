#include "tools/mkdisc/Movie.h"

#include <algorithm>
#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
}

namespace movie {
namespace {

struct FormatCloser {
  void operator()(AVFormatContext* c) const {
    if (c->pb != nullptr) avio_closep(&c->pb);
    avformat_free_context(c);
  }
};
struct CodecFreer {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;

QString AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return QString::fromUtf8(text);
}

class AviWriter {
 public:
  explicit AviWriter(QString* error) : error_(error) {}

  bool Open(const QString& path, const Spec& spec) {
    AVFormatContext* raw = nullptr;
    const QByteArray file = path.toLocal8Bit();
    if (avformat_alloc_output_context2(&raw, nullptr, "avi", file.constData()) < 0 || !raw)
      return Fail("no AVI muxer");
    format_.reset(raw);
    format_->flags |= AVFMT_FLAG_BITEXACT;

    video_ = MakeEncoder(AV_CODEC_ID_MSVIDEO1);
    if (!video_) return Fail("no Microsoft Video 1 encoder");
    video_->width = spec.Width;
    video_->height = spec.Height;
    video_->pix_fmt = AV_PIX_FMT_RGB555LE;
    video_->time_base = AVRational{1, spec.FramesPerSecond};
    video_->framerate = AVRational{spec.FramesPerSecond, 1};
    video_->gop_size = spec.FramesPerSecond;
    if (!OpenStream(video_.get(), &videoStream_)) return false;

    audio_ = MakeEncoder(AV_CODEC_ID_PCM_U8);
    if (!audio_) return Fail("no 8-bit PCM encoder");
    audio_->sample_fmt = AV_SAMPLE_FMT_U8;
    audio_->sample_rate = spec.SoundRateHz;
    av_channel_layout_default(&audio_->ch_layout, 1);
    audio_->time_base = AVRational{1, spec.SoundRateHz};
    if (!OpenStream(audio_.get(), &audioStream_)) return false;

    if (int rc = avio_open(&format_->pb, file.constData(), AVIO_FLAG_WRITE); rc < 0)
      return Fail("cannot create " + path + ": " + AvError(rc));
    AVDictionary* options = nullptr;
    const int rc = avformat_write_header(format_.get(), &options);
    av_dict_free(&options);
    if (rc < 0) return Fail("header: " + AvError(rc));
    packet_.reset(av_packet_alloc());
    return packet_ != nullptr || Fail("out of memory");
  }

  bool WriteVideo(const QImage& picture, int index) {
    FramePtr frame(av_frame_alloc());
    if (!frame) return Fail("out of memory");
    frame->format = video_->pix_fmt;
    frame->width = video_->width;
    frame->height = video_->height;
    if (av_frame_get_buffer(frame.get(), 0) < 0) return Fail("out of memory");
    const QImage rgb =
        picture.scaled(video_->width, video_->height).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < video_->height; ++y) {
      const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
      auto* out = frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0];
      for (int x = 0; x < video_->width; ++x) {
        const unsigned v =
            ((qRed(in[x]) >> 3) << 10) | ((qGreen(in[x]) >> 3) << 5) | (qBlue(in[x]) >> 3);
        out[2 * x] = static_cast<uint8_t>(v & 0xff);
        out[2 * x + 1] = static_cast<uint8_t>(v >> 8);
      }
    }
    frame->pts = index;
    return Encode(video_.get(), videoStream_, frame.get());
  }

  bool WriteAudio(const float* samples, int count, int64_t firstSample) {
    FramePtr frame(av_frame_alloc());
    if (!frame) return Fail("out of memory");
    frame->format = audio_->sample_fmt;
    frame->sample_rate = audio_->sample_rate;
    frame->nb_samples = count;
    if (av_channel_layout_copy(&frame->ch_layout, &audio_->ch_layout) < 0 ||
        av_frame_get_buffer(frame.get(), 0) < 0)
      return Fail("out of memory");
    for (int i = 0; i < count; ++i) {
      const float v = std::clamp(samples[i], -1.0f, 1.0f);
      frame->data[0][i] = static_cast<uint8_t>(std::lround(128.0f + v * 127.0f));
    }
    frame->pts = firstSample;
    return Encode(audio_.get(), audioStream_, frame.get());
  }

  bool Finish() {
    if (!Encode(video_.get(), videoStream_, nullptr) ||
        !Encode(audio_.get(), audioStream_, nullptr))
      return false;
    if (int rc = av_write_trailer(format_.get()); rc < 0) return Fail("trailer: " + AvError(rc));
    return true;
  }

 private:
  bool Fail(const QString& why) {
    if (error_ != nullptr) *error_ = why;
    return false;
  }

  CodecPtr MakeEncoder(AVCodecID id) {
    const AVCodec* codec = avcodec_find_encoder(id);
    if (codec == nullptr) return nullptr;
    CodecPtr ctx(avcodec_alloc_context3(codec));
    if (ctx) {
      ctx->flags |= AV_CODEC_FLAG_BITEXACT;
      if (format_->oformat->flags & AVFMT_GLOBALHEADER) ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    return ctx;
  }

  bool OpenStream(AVCodecContext* ctx, AVStream** stream) {
    if (int rc = avcodec_open2(ctx, ctx->codec, nullptr); rc < 0)
      return Fail(QString("cannot open encoder %1: %2").arg(ctx->codec->name, AvError(rc)));
    *stream = avformat_new_stream(format_.get(), nullptr);
    if (*stream == nullptr) return Fail("out of memory");
    (*stream)->time_base = ctx->time_base;
    if (avcodec_parameters_from_context((*stream)->codecpar, ctx) < 0) return Fail("parameters");
    return true;
  }

  // Sends a frame (nullptr drains) and writes every packet the encoder hands back.
  bool Encode(AVCodecContext* ctx, AVStream* stream, AVFrame* frame) {
    if (int rc = avcodec_send_frame(ctx, frame); rc < 0) return Fail("encode: " + AvError(rc));
    for (;;) {
      const int rc = avcodec_receive_packet(ctx, packet_.get());
      if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
      if (rc < 0) return Fail("encode: " + AvError(rc));
      av_packet_rescale_ts(packet_.get(), ctx->time_base, stream->time_base);
      packet_->stream_index = stream->index;
      if (int wrc = av_interleaved_write_frame(format_.get(), packet_.get()); wrc < 0)
        return Fail("write: " + AvError(wrc));
    }
  }

  QString* error_;
  FormatPtr format_;
  CodecPtr video_;
  CodecPtr audio_;
  AVStream* videoStream_ = nullptr;
  AVStream* audioStream_ = nullptr;
  PacketPtr packet_;
};

}  // namespace

bool WriteAvi(const QString& path, const Spec& spec, QString* error) {
  AviWriter writer(error);
  if (!writer.Open(path, spec)) return false;
  const int samplesPerFrame = spec.SoundRateHz / spec.FramesPerSecond;
  for (int i = 0; i < spec.FrameCount; ++i) {
    if (!writer.WriteVideo(spec.Frame(i), i)) return false;
    const int64_t first = int64_t(i) * samplesPerFrame;
    std::vector<float> chunk(static_cast<size_t>(samplesPerFrame), 0.0f);
    for (int k = 0; k < samplesPerFrame; ++k) {
      const size_t at = static_cast<size_t>(first + k);
      if (at < spec.Sound.size()) chunk[static_cast<size_t>(k)] = spec.Sound[at];
    }
    if (!writer.WriteAudio(chunk.data(), samplesPerFrame, first)) return false;
  }
  return writer.Finish();
}

}  // namespace movie
