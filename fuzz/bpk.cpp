// Animations: header, frame table and frames of a hostile file, read in order, then sought.

#include "formats/BPK.h"

#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzQuiet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (QuietQtMessages(), true);
  (void)quiet;
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  TBPKMovie movie(false);
  if (!movie.OpenBytes(bytes)) return 0;
  platform::Bitmap frame;
  // Bounded: a table may claim millions of frames.
  for (int i = 0; i < 64 && movie.ReadFrame(frame, i % 2 ? 8 : 32); ++i) {
  }
  movie.SeekFrame(movie.Header.FrameCount - 1);
  (void)movie.ReadFrame(frame, 8);
  movie.SeekFrame(0);
  (void)movie.ReadFrame(frame, 32);
  movie.SeekFrame(3);
  QByteArray raw;
  (void)movie.ReadFrameBytes(raw);
  (void)movie.FrameValue(movie.LastFrame, 1);
  movie.CloseMovie();
  return 0;
}
