#include "tools/discwriter/BpkWriter.h"

#include <zlib.h>

#include <memory>
#include <stdexcept>

#include "tools/discwriter/ByteWriter.h"

namespace discwriter {
namespace {

struct DeflateEnd {
  void operator()(z_stream* z) const {
    deflateEnd(z);
    delete z;
  }
};

}  // namespace

QByteArray BpkWriter::Build() const {
  ByteWriter w;
  w.Int32(Version);
  w.Int32(FrameCountOverride.value_or(int32_t(frames_.size())));
  if (!TableOverride.isEmpty()) {
    for (const auto& pair : TableOverride) {
      w.Int32(pair.first);
      w.Int32(pair.second);
    }
  } else {
    for (const Frame& f : frames_) {
      w.Int32(int32_t(f.Bmp.size()));
      w.Int32(f.DelayMs);
    }
  }
  QByteArray out = w.Take();

  std::unique_ptr<z_stream, DeflateEnd> z(new z_stream{});
  if (deflateInit(z.get(), CompressionLevel) != Z_OK)
    throw std::runtime_error("deflateInit failed");
  constexpr qsizetype kChunk = 1 << 16;
  auto pump = [&](const QByteArray* input, int flush) {
    z->next_in = input ? reinterpret_cast<Bytef*>(const_cast<char*>(input->constData())) : nullptr;
    z->avail_in = input ? uInt(input->size()) : 0;
    int rc = Z_OK;
    do {
      const qsizetype before = out.size();
      out.resize(before + kChunk);
      z->next_out = reinterpret_cast<Bytef*>(out.data() + before);
      z->avail_out = uInt(kChunk);
      rc = deflate(z.get(), flush);
      out.resize(before + kChunk - z->avail_out);
    } while (z->avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
  };
  for (const Frame& f : frames_) pump(&f.Bmp, Z_NO_FLUSH);
  pump(nullptr, Z_FINISH);
  return out;
}

}  // namespace discwriter
