// The mixer's WAVE reader and format conversion on arbitrary bytes: every input either loads
// or raises EWaveMixError; nothing else may happen.

#include <QBuffer>
#include <cstddef>
#include <cstdint>

#include "audio/WaveLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  try {
    WaveFileData wave = ReadWaveData(buffer);
    // Every output format a session can have.
    for (uint16_t channels : {1, 2}) {
      for (uint32_t rate : {11025u, 22050u, 44100u}) {
        const platform::PcmWaveFormat out{1, channels, rate, rate * channels, channels, 8};
        try {
          (void)ConvertWave(wave.Samples, wave.Format, out);
        } catch (const EWaveMixError&) {
        }
      }
    }
  } catch (const EWaveMixError&) {
  }
  return 0;
}
