#pragma once

// A read-only stream that inflates one zlib stream (RFC 1950) from a source device: the
// decompressing stream under the description files' pictures and the animations' frames.
//
// It reads the source in blocks of kInputBlockBytes into its own buffer. Seeking supports only
// what the readers need: offset 0 from the beginning restarts (inflate state reset, input
// emptied, source put back where the compressed data starts) and any forward move skips by
// inflating and discarding kSkipPieceBytes at a time. Anything else, and every write, throws
// EInflateError("Invalid stream operation").

#include <QIODevice>
#include <cstdint>
#include <memory>

#include "formats/FormatErrors.h"

enum class SeekOrigin { Beginning, Current, End };

// Whether the stream's closing Adler-32 checksum is computed and compared. The checksum covers
// every byte the stream holds and costs about half as much as inflating them; a reader that
// only wants data before the end can do without it.
enum class StreamChecksum { Verify, Ignore };

class InflateStream {
 public:
  static constexpr qint64 kInputBlockBytes = 65536;
  static constexpr qint64 kSkipPieceBytes = 65536;  // few calls: each one copies into the window

  // source is not owned and must outlive the stream; its position now is where the
  // compressed data starts. Throws EInflateError when zlib cannot be initialised.
  explicit InflateStream(QIODevice& source, StreamChecksum checksum = StreamChecksum::Verify);
  ~InflateStream();
  InflateStream(const InflateStream&) = delete;
  InflateStream& operator=(const InflateStream&) = delete;

  // Up to count bytes into data. Fewer only when the compressed data ends (stream end or
  // source exhausted). Throws EInflateError on corrupt data.
  qint64 Read(char* data, qint64 count);
  // Exactly count bytes, or EInflateError("Stream read error").
  void ReadBuffer(char* data, qint64 count);
  // Returns the new position (bytes delivered since the start). See the class comment.
  qint64 Seek(qint64 offset, SeekOrigin origin);
  qint64 Position() const { return position_; }
  // Always throws EInflateError("Invalid stream operation").
  [[noreturn]] qint64 Write(const char* data, qint64 count);

  // True once the zlib stream's end (with its checksum) has been read.
  bool AtStreamEnd() const { return streamEnd_; }

 private:
  void Restart();
  void Skip(qint64 count);

  struct State;
  QIODevice& source_;
  qint64 sourceStart_;
  StreamChecksum checksum_;
  std::unique_ptr<State> state_;
  qint64 position_ = 0;
  bool streamEnd_ = false;
  bool sourceDone_ = false;
};
