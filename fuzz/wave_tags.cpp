// WAVE headers as the DirectSound player reads them: the tag scan for the four tags, the
// format and data size, and, when the format passes, a buffer of the device filled with the
// data and mixed, so hostile formats meet the device's checks and the mixer.

#include <QBuffer>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "audio/SoundModuleTags.h"
#include "platform/BufferDevice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  QBuffer stream(&bytes);
  stream.open(QIODevice::ReadOnly);
  for (const char* tag : {"RIFF", "WAVE", "fmt ", "data"}) {
    const qint64 at = FindWaveTag(stream, tag);
    if (at >= 0 && bytes.mid(at, 4) != tag) __builtin_trap();  // found where it is not
    if (at >= qint64(size)) __builtin_trap();
  }
  const WaveHeader header = ReadWaveHeader(stream);
  if (!header.IsWave || !header.HasFormat || header.DataOffset < 0) return 0;

  platform::BufferDevice device(platform::AudioFormat{22050, 2, 16});
  if (device.SetCooperativeLevel(0, platform::kDssclNormal) != platform::kDsOk) __builtin_trap();
  const qint64 available = std::max<qint64>(0, qint64(size) - header.DataOffset);
  const uint32_t bufferBytes =
      uint32_t(std::min<qint64>({qint64(header.DataSize), available, 65536}));
  platform::BufferDesc desc{20, 0xE2, bufferBytes, 0, &header.Format};
  std::unique_ptr<platform::SoundBuffer> buffer;
  if (device.CreateSoundBuffer(desc, buffer) != platform::kDsOk) return 0;
  platform::LockRegions regions;
  if (buffer->Lock(0, 0, regions, platform::kDsbLockEntireBuffer) != platform::kDsOk) {
    __builtin_trap();
  }
  std::memcpy(regions.Ptr1, data + header.DataOffset, regions.Bytes1);
  if (buffer->Unlock(regions) != platform::kDsOk) __builtin_trap();
  (void)buffer->Play(platform::kDsbPlayLooping);
  std::vector<uint8_t> out(4096);
  device.Render(out.data(), out.size());
  return 0;
}
