#include "formats/BPK.h"

#include <algorithm>

#include "formats/DiscFiles.h"
#include "formats/FieldReader.h"
#include "formats/PictureBound.h"

namespace {

// Deflate expands by at most about 1032 to 1: a frame larger than that many times the
// compressed bytes cannot be delivered, so it is refused before anything is allocated.
constexpr qint64 kMaxInflateRatio = 1032;
constexpr qint64 kReadPieceBytes = 1 << 20;
// Frames up to this size are read in one piece (an 800 x 600 true-colour frame is 1.4 MB).
constexpr qint64 kEagerBytes = 16 << 20;

}  // namespace

// ---- TBPKList ----

int TBPKList::AddFrame(int32_t size, int32_t delay) {
  items_.push_back(std::make_unique<TBPKBitData>(TBPKBitData{size, delay}));
  return int(items_.size()) - 1;
}

void TBPKList::DeleteFrame(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

void TBPKList::ClearFrames() {
  while (!items_.empty()) items_.pop_back();
}

int32_t TBPKList::FrameValue(int index, int which) const {
  if (index < 0 || index >= Count() || !items_[size_t(index)]) return -1;
  const TBPKBitData& d = *items_[size_t(index)];
  if (which == 0) return d.Size;
  if (which == 1) return d.Delay;
  return -1;
}

void TBPKHeader::ResetHeader() {
  Version = 0;
  FrameCount = 0;
  Frames.ClearFrames();
}

// ---- TBPKMovie ----

TBPKMovie::TBPKMovie(bool directFromFile) : DirectFromFile(directFromFile) {}

TBPKMovie::~TBPKMovie() {
  Inflater.reset();  // before the sources it reads from
  FileSource.reset();
  MemorySource.reset();
}

bool TBPKMovie::CloseMovie() {
  Inflater.reset();
  FileSource.reset();
  if (MemorySource) MemorySource->close();
  memoryBytes_ = QByteArray();
  CurrentFrame = 0;
  LastFrame = 0;
  broken_ = false;
  Header.ResetHeader();
  return true;
}

bool TBPKMovie::Open(const QString& fileName) {
  CloseMovie();
  std::unique_ptr<QFile> file = OpenDiscFile(fileName, DirectFromFile);
  if (!file) throw EFOpenError::ForFile(fileName);
  bool started = false;
  if (DirectFromFile) {
    FileSource = std::move(file);
    started = ReadHeaderAndStart(*FileSource);
  } else {
    started = StartFromMemory(file->readAll());
  }
  // A refused file is not kept open (nor its memory copy): the caller never closes it.
  if (!started) CloseMovie();
  return started;
}

bool TBPKMovie::OpenBytes(const QByteArray& bytes) {
  CloseMovie();
  if (StartFromMemory(bytes)) return true;
  CloseMovie();
  return false;
}

bool TBPKMovie::StartFromMemory(const QByteArray& bytes) {
  if (!MemorySource) MemorySource = std::make_unique<QBuffer>();
  MemorySource->close();
  memoryBytes_ = bytes;
  MemorySource->setBuffer(&memoryBytes_);
  MemorySource->open(QIODevice::ReadOnly);
  return ReadHeaderAndStart(*MemorySource);
}

bool TBPKMovie::ReadHeaderAndStart(QIODevice& source) {
  FieldReader r(source);
  if (!r.Int32(Header.Version) || Header.Version != kBpkVersion) return false;
  if (!r.Int32(Header.FrameCount)) Header.FrameCount = 0;
  // A table that runs past the end of the file (or a negative count) keeps only the entries
  // the file holds, and the count says so: callers compute FrameCount - 1 and play up to it.
  const qint64 available = std::max<qint64>(0, r.Remaining() / 8);
  const qint64 entries = std::min<qint64>(std::max(Header.FrameCount, 0), available);
  for (qint64 i = 0; i < entries; ++i) {
    int32_t size = 0;
    int32_t delay = 0;
    if (!r.Int32(size) || !r.Int32(delay)) break;
    Header.Frames.AddFrame(size, delay);
  }
  Header.FrameCount = Header.Frames.Count();
  dataBytes_ = r.Remaining();
  if (!r.SyncDevice()) return false;
  try {
    Inflater = std::make_unique<InflateStream>(source, Checksum);
  } catch (const EInflateError&) {
    Inflater.reset();
  }
  return Inflater != nullptr;
}

void TBPKMovie::SeekFrame(int index) {
  if (index == CurrentFrame || !Inflater) return;
  CurrentFrame = index;
  broken_ = false;
  try {
    Inflater->Seek(0, SeekOrigin::Beginning);
    qint64 skip = 0;
    for (int i = 0; i < index; ++i) {
      const int32_t size = FrameValue(i, 0);
      if (size < 0) {
        broken_ = true;
        return;
      }
      skip += size;
    }
    if (skip > 0) Inflater->Seek(skip, SeekOrigin::Beginning);
  } catch (const EInflateError&) {
    // Corrupt data on the way: the frames from here cannot be read.
    broken_ = true;
  }
}

bool TBPKMovie::ReadFrameBytes(QByteArray& bytes) {
  if (!Inflater || broken_ || CurrentFrame < 0 || CurrentFrame >= Header.FrameCount) return false;
  const qint64 size = FrameValue(CurrentFrame, 0);
  if (size < 0 || size > dataBytes_ * kMaxInflateRatio + 64) return false;
  try {
    // The frame's own header first: a size it cannot need is refused before it is inflated.
    const qint64 head = std::min(size, kBitmapHeadBytes);
    bytes.resize(qsizetype(head));
    Inflater->ReadBuffer(bytes.data(), head);
    if (!PlausiblePictureSize(bytes, size)) {
      // Passed over without being held, so the next frame still comes in its place.
      bytes.clear();
      Inflater->Seek(Inflater->Position() + (size - head), SeekOrigin::Beginning);
      LastFrame = CurrentFrame;
      ++CurrentFrame;
      return false;
    }
    if (size <= kEagerBytes) {
      // One read into storage kept from the previous frame: no fresh pages per frame.
      bytes.resize(qsizetype(size));
      Inflater->ReadBuffer(bytes.data() + head, size - head);
    } else {
      // Grown as the data arrives, so a stream that ends early never costs the claimed size.
      while (bytes.size() < size) {
        const qsizetype before = bytes.size();
        const qint64 want = std::min<qint64>(size - before, kReadPieceBytes);
        bytes.resize(before + want);
        Inflater->ReadBuffer(bytes.data() + before, want);
      }
    }
  } catch (const EInflateError&) {
    bytes.clear();
    return false;
  }
  LastFrame = CurrentFrame;
  ++CurrentFrame;
  return true;
}

bool TBPKMovie::ReadFrame(platform::Bitmap& bitmap, int colourDepth) {
  if (!ReadFrameBytes(frameBuffer_)) return false;
  std::optional<platform::Bitmap> frame = platform::Bitmap::FromBmp(frameBuffer_, colourDepth);
  if (!frame) return false;
  bitmap = std::move(*frame);
  return true;
}
