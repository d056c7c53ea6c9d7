#include "navigator/BackgroundDecode.h"

#include <algorithm>

#include "formats/BMR.h"
#include "formats/BPK.h"

DecodedBackground DecodeLastFrame(const QString& path, int colourDepth) {
  DecodedBackground result;
  try {
    // Read through the file: the whole file is inflated once, in order, so a copy of it in
    // memory would only cost another half megabyte of fresh pages.
    TBPKMovie movie(/*directFromFile=*/true);
    // Only the last frame is wanted, and it is complete before the closing checksum.
    movie.Checksum = StreamChecksum::Ignore;
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

void BackgroundPrefetch::Start(const QString& path, int colourDepth) {
  work_.Start({path, colourDepth},
              [path, colourDepth] { return DecodeLastFrame(path, colourDepth); });
}

DecodedBackground BackgroundPrefetch::Take(const QString& path, int colourDepth) {
  if (std::optional<DecodedBackground> prefetched = work_.Take({path, colourDepth}))
    return std::move(*prefetched);
  return DecodeLastFrame(path, colourDepth);
}

void SkinPrefetch::Start(const QString& container, const QStringList& names, bool convert,
                         int colourDepth, const QStringList& storedNames) {
  work_.Start({container, convert, colourDepth}, [=] {
    return DecodeBmrPictures(container, names, convert, colourDepth, storedNames);
  });
}

void CataloguePrefetch::Start(const QString& shareDir, int colourDepth) {
  work_.Start({shareDir, colourDepth}, [shareDir, colourDepth] {
    LoadedCatalogue loaded{std::make_unique<DemoCatalogue>(), 0};
    loaded.Added = LoadCatalogue(*loaded.Demos, shareDir, colourDepth);
    return loaded;
  });
}

int CataloguePrefetch::LoadInto(DemoCatalogue& catalogue, const QString& shareDir,
                                int colourDepth) {
  std::optional<LoadedCatalogue> loaded = work_.Take({shareDir, colourDepth});
  const bool empty = std::all_of(catalogue.Counts.begin(), catalogue.Counts.end(),
                                 [](int32_t count) { return count == 0; });
  if (loaded && empty) {
    catalogue = std::move(*loaded->Demos);
    return loaded->Added;
  }
  return LoadCatalogue(catalogue, shareDir, colourDepth);
}

BmrDecoded SkinPrefetch::Take(const QString& container, bool convert, int colourDepth) {
  if (std::optional<BmrDecoded> decoded = work_.Take({container, convert, colourDepth}))
    return std::move(*decoded);
  return {};
}
