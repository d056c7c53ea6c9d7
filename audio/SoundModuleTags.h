#pragma once

// Finding the tags of a WAVE file the way the player does: a byte scan from the start of the
// file rather than a chunk walk, so "RIFF" and "WAVE" need not stand at offsets 0 and 8. No
// tag is looked for past the "data" tag.

#include <QByteArray>
#include <QIODevice>
#include <cstdint>

#include "platform/BufferDevice.h"

// Offset of the first occurrence of tag (case-sensitive) found by the scan, or -1. The device's
// position is restored. Reads through a block cache, so large files scan quickly.
qint64 FindWaveTag(QIODevice& stream, const QByteArray& tag);

// What the player needs from a WAVE file's header.
struct WaveHeader {
  bool IsWave = false;            // "RIFF" and "WAVE" were found
  bool HasFormat = false;         // "fmt " was found and its 16 bytes could be read
  platform::WaveFormatEx Format;  // the format chunk's 16 bytes; CbSize 0
  qint64 DataOffset = -1;         // first sample byte, or -1 without a "data" tag
  uint32_t DataSize = 0;          // the data chunk's size field (0 when unreadable)
};

// Runs the tag search for the four tags and reads the format and the data size.
WaveHeader ReadWaveHeader(QIODevice& stream);
