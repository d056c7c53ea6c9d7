#include "formats/Inflate.h"

#include <zlib.h>

#include <algorithm>
#include <array>

namespace {

const QString kInvalidOperation = QStringLiteral("Invalid stream operation");

}  // namespace

struct InflateStream::State {
  z_stream z{};
  std::array<Bytef, kInputBlockBytes> input{};
};

InflateStream::InflateStream(QIODevice& source, StreamChecksum checksum)
    : source_(source),
      sourceStart_(source.pos()),
      checksum_(checksum),
      state_(std::make_unique<State>()) {
  if (inflateInit(&state_->z) != Z_OK) throw EInflateError(QStringLiteral("Decompression error"));
  if (checksum_ == StreamChecksum::Ignore) inflateValidate(&state_->z, 0);
}

InflateStream::~InflateStream() {
  inflateEnd(&state_->z);
}

qint64 InflateStream::Read(char* data, qint64 count) {
  if (count <= 0 || streamEnd_) return 0;
  z_stream& z = state_->z;
  qint64 done = 0;
  while (done < count) {
    if (z.avail_in == 0 && !sourceDone_) {
      const qint64 got =
          source_.read(reinterpret_cast<char*>(state_->input.data()), kInputBlockBytes);
      if (got > 0) {
        z.next_in = state_->input.data();
        z.avail_in = uInt(got);
      } else {
        sourceDone_ = true;
      }
    }
    // Inflate even with no input left: zlib may still hold output of input already taken.
    const qint64 want = std::min<qint64>(count - done, 1 << 30);
    z.next_out = reinterpret_cast<Bytef*>(data + done);
    z.avail_out = uInt(want);
    const int rc = inflate(&z, Z_NO_FLUSH);
    done += want - qint64(z.avail_out);
    if (rc == Z_STREAM_END) {
      streamEnd_ = true;
      break;
    }
    // Z_BUF_ERROR: no progress without more input.
    if (rc == Z_BUF_ERROR) {
      if (sourceDone_) break;
      continue;
    }
    if (rc != Z_OK) throw EInflateError(QStringLiteral("Decompression error (%1)").arg(rc));
  }
  position_ += done;
  return done;
}

void InflateStream::ReadBuffer(char* data, qint64 count) {
  if (Read(data, count) != count) throw EInflateError(QStringLiteral("Stream read error"));
}

qint64 InflateStream::Seek(qint64 offset, SeekOrigin origin) {
  if (origin == SeekOrigin::Beginning && offset == 0) {
    Restart();
    return 0;
  }
  qint64 target = -1;
  if (origin == SeekOrigin::Current && offset >= 0) target = position_ + offset;
  if (origin == SeekOrigin::Beginning && offset >= position_) target = offset;
  if (target < 0) throw EInflateError(kInvalidOperation);
  Skip(target - position_);
  return position_;
}

qint64 InflateStream::Write(const char*, qint64) {
  throw EInflateError(kInvalidOperation);
}

void InflateStream::Restart() {
  inflateReset(&state_->z);
  if (checksum_ == StreamChecksum::Ignore) inflateValidate(&state_->z, 0);
  state_->z.avail_in = 0;
  state_->z.next_in = nullptr;
  if (!source_.seek(sourceStart_)) throw EInflateError(kInvalidOperation);
  position_ = 0;
  streamEnd_ = false;
  sourceDone_ = false;
}

void InflateStream::Skip(qint64 count) {
  std::array<char, kSkipPieceBytes> piece;
  while (count > 0) {
    const qint64 n = std::min<qint64>(count, kSkipPieceBytes);
    const qint64 got = Read(piece.data(), n);
    count -= got;
    if (got < n) break;  // the data ended; later reads come back short
  }
}
