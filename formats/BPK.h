#pragma once

// BPK animations: a table of (size, delay) frames followed by one zlib stream that holds
// every frame as a complete Windows bitmap file, back to back. Frames are read in order;
// reaching frame k means inflating every frame before it.

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "formats/Inflate.h"
#include "platform/Bitmap.h"

constexpr int32_t kBpkVersion = 110;

// One frame table entry.
struct TBPKBitData {
  int32_t Size = 0;   // bytes of the frame in the decompressed data
  int32_t Delay = 0;  // milliseconds the frame stays on screen
};

class TBPKList {
 public:
  ~TBPKList() { ClearFrames(); }
  // Appends an entry; returns its index.
  int AddFrame(int32_t size, int32_t delay);
  // Removes one entry; an index beyond the end is ignored.
  void DeleteFrame(int index);
  // Frees the entries from the last to the first.
  void ClearFrames();
  // Size (which = 0) or Delay (which = 1) of entry index; -1 for any other which or index.
  int32_t FrameValue(int index, int which) const;
  int Count() const { return int(items_.size()); }

 private:
  std::vector<std::unique_ptr<TBPKBitData>> items_;
};

struct TBPKHeader {
  TBPKList Frames;
  int32_t Version = 0;
  int32_t FrameCount = 0;
  void ResetHeader();
};

class TBPKMovie {
 public:
  // directFromFile: read through the file (advertisements) instead of a memory copy of it.
  explicit TBPKMovie(bool directFromFile);
  ~TBPKMovie();
  TBPKMovie(const TBPKMovie&) = delete;
  TBPKMovie& operator=(const TBPKMovie&) = delete;

  // Closes, opens fileName (a Windows path over the drive map), reads the header and frame
  // table and puts the inflater after the table. False for a wrong version or a file shorter
  // than its header. Throws EFOpenError when the file cannot be opened. FrameCount becomes the
  // number of table entries the file really holds (never negative).
  bool Open(const QString& fileName);
  // The same over bytes already in memory (tools, tests, the fuzzer).
  bool OpenBytes(const QByteArray& bytes);
  bool CloseMovie();

  // Makes index the next frame to read; restarts the stream unless it already is.
  void SeekFrame(int index);
  // Delivers frame CurrentFrame into bitmap (converted for colourDepth as the bitmap reader
  // does) and advances. False when no frame remains or the frame cannot be read; never
  // throws.
  bool ReadFrame(platform::Bitmap& bitmap, int colourDepth);
  // Frees the storage ReadFrame keeps between frames (a movie held for later).
  void ReleaseFrameStorage() { frameBuffer_ = QByteArray(); }
  // The raw bitmap file of frame CurrentFrame, advancing like ReadFrame.
  bool ReadFrameBytes(QByteArray& bytes);

  int32_t FrameValue(int index, int which) const { return Header.Frames.FrameValue(index, which); }

  TBPKHeader Header;
  int32_t CurrentFrame = 0;  // the next frame ReadFrame delivers
  int32_t LastFrame = 0;     // the frame ReadFrame delivered last
  const bool DirectFromFile;
  // Set before Open by a reader that stops before the stream's end (the last frame still ends
  // before the checksum); see StreamChecksum.
  StreamChecksum Checksum = StreamChecksum::Verify;
  bool IsOpen() const { return Inflater != nullptr; }

 private:
  bool StartFromMemory(const QByteArray& bytes);
  bool ReadHeaderAndStart(QIODevice& source);

  std::unique_ptr<InflateStream> Inflater;
  std::unique_ptr<QIODevice> FileSource;
  std::unique_ptr<QBuffer> MemorySource;
  QByteArray memoryBytes_;
  QByteArray frameBuffer_;  // the bitmap file of the frame being loaded, kept between frames
  qint64 dataBytes_ = 0;    // compressed bytes after the table, for size checks
  bool broken_ = false;     // a seek met corrupt data or a missing table entry
};
