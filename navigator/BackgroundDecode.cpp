#include "navigator/BackgroundDecode.h"

#include "formats/BMR.h"
#include "formats/BPK.h"

DecodedBackground DecodeLastFrame(const QString& path, int colourDepth) {
  DecodedBackground result;
  try {
    TBPKMovie movie(/*directFromFile=*/false);
    if (!movie.Open(path)) return result;
    const int last = movie.Header.FrameCount - 1;
    if (last >= 0) {
      movie.SeekFrame(last);
      result.Usable = movie.ReadFrame(result.Frame, colourDepth);
    }
    movie.CloseMovie();
    if (!result.Usable) result.Frame = platform::Bitmap();
  } catch (...) {
    result.Usable = false;
    result.Error = std::current_exception();
  }
  return result;
}

BackgroundPrefetch::~BackgroundPrefetch() {
  if (pending_.valid()) pending_.wait();
}

void BackgroundPrefetch::Start(const QString& path, int colourDepth) {
  if (pending_.valid()) pending_.wait();
  path_ = path;
  colourDepth_ = colourDepth;
  pending_ = std::async(std::launch::async, DecodeLastFrame, path, colourDepth);
}

DecodedBackground BackgroundPrefetch::Take(const QString& path, int colourDepth) {
  if (pending_.valid()) {
    DecodedBackground prefetched = pending_.get();
    if (path == path_ && colourDepth == colourDepth_) return prefetched;
  }
  return DecodeLastFrame(path, colourDepth);
}

SkinPrefetch::~SkinPrefetch() {
  if (pending_.valid()) pending_.wait();
}

void SkinPrefetch::Start(const QString& container, const QStringList& names, bool convert,
                         int colourDepth) {
  if (pending_.valid()) pending_.wait();
  container_ = container;
  convert_ = convert;
  colourDepth_ = colourDepth;
  pending_ =
      std::async(std::launch::async, DecodeBmrPictures, container, names, convert, colourDepth);
}

BmrDecoded SkinPrefetch::Take(const QString& container, bool convert, int colourDepth) {
  if (!pending_.valid()) return {};
  BmrDecoded decoded = pending_.get();
  if (container != container_ || convert != convert_ || colourDepth != colourDepth_) return {};
  return decoded;
}
