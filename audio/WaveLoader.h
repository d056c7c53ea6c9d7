#pragma once

// Loading a wave for the mixer: the RIFF walk of a WAVE file held in a file, a resource or
// memory, and the conversion of its PCM samples to the mixer's output format. Every failure
// raises EWaveMixError with the mixer's text; input is treated as hostile (chunk sizes are
// checked against the file, and nothing is allocated beyond kMaxWaveBytes).
//
// Safe on any thread for memory, resources and host paths: a Windows path (with a drive letter)
// goes through the drive map, which belongs to the main thread, so other threads resolve it
// there first.

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "audio/WaveMixTypes.h"

// Largest sample buffer a load will hold, before and after conversion.
constexpr size_t kMaxWaveBytes = size_t(256) << 20;

// Where "WAVE" resources come from. The default module reads Qt resources named
// ":/WAVE/NAME" or ":/WAVE/#NUMBER".
class TMixResourceModule {
 public:
  virtual ~TMixResourceModule() = default;
  // The resource's bytes; nothing when the module has no such resource. name empty: by number.
  virtual std::optional<QByteArray> FindWave(const QString& name, int number) const;
};

struct TMixWaveSource {
  uint32_t Kind = kMixSourceFile;  // kMixSourceFile, kMixSourceResource or kMixSourceMemory
  QString FileName;                // a Windows path over the drive map, or a host path
  QString ResourceName;            // empty: ResourceNumber
  int ResourceNumber = 0;
  const TMixResourceModule* Module = nullptr;  // null: the default module
  const uint8_t* Memory = nullptr;
  qint64 MemorySize = 0;
};

// The format and sample bytes of a RIFF WAVE read from io (positioned anywhere).
struct WaveFileData {
  platform::PcmWaveFormat Format;
  std::vector<uint8_t> Samples;
};
WaveFileData ReadWaveData(QIODevice& io);

// The sample conversions, in the order they apply. Each raises the unsupported-format text
// for formats it cannot take.
std::vector<uint8_t> ConvertBits(const std::vector<uint8_t>& data, int fromBits, int toBits);
std::vector<uint8_t> ConvertChannels(const std::vector<uint8_t>& data, int fromChannels,
                                     int toChannels);  // 8-bit samples
std::vector<uint8_t> ConvertRate(const std::vector<uint8_t>& data, int channels, uint32_t fromRate,
                                 uint32_t toRate);  // 8-bit samples
// All of them, applied only when channels, rate or bits differ; the result holds whole
// frames of to. Empty when nothing is left.
std::vector<uint8_t> ConvertWave(std::vector<uint8_t> data, const platform::PcmWaveFormat& from,
                                 const platform::PcmWaveFormat& to);

// Loads and converts a wave for a session with output format `output` (which the caller has
// checked against the device).
std::unique_ptr<TMixWave> LoadMixWave(const TMixWaveSource& source,
                                      const platform::PcmWaveFormat& output);

// The text raised when memory runs out.
QString WaveMixMemoryMessage();
