#include "audio/WaveLoader.h"

#include <QBuffer>
#include <QFile>
#include <algorithm>
#include <cstring>

#include "platform/Drives.h"
#include "platform/RegularFile.h"

namespace {

constexpr uint32_t kMmioCannotOpen = 259;  // the multimedia reader's "cannot open" error

struct ChunkHeader {
  char Id[4] = {};
  uint32_t Size = 0;
  qint64 DataPos = 0;  // first byte after the 8-byte header
};

[[noreturn]] void Fail(const QString& text) {
  throw EWaveMixError(text);
}

const QString& UnsupportedFormat() {
  static const QString text =
      QStringLiteral("Problemas com o arquivo WAVE. Formato não suportado.");
  return text;
}

uint32_t Le32(const char* p) {
  return uint32_t(uint8_t(p[0])) | uint32_t(uint8_t(p[1])) << 8 | uint32_t(uint8_t(p[2])) << 16 |
         uint32_t(uint8_t(p[3])) << 24;
}
uint16_t Le16(const char* p) {
  return uint16_t(uint8_t(p[0]) | uint8_t(p[1]) << 8);
}

std::optional<ChunkHeader> ReadChunkHeader(QIODevice& io, qint64 pos, qint64 limit) {
  if (pos < 0 || pos + 8 > limit || !io.seek(pos)) return std::nullopt;
  char raw[8];
  if (io.read(raw, 8) != 8) return std::nullopt;
  ChunkHeader h;
  std::memcpy(h.Id, raw, 4);
  h.Size = Le32(raw + 4);
  h.DataPos = pos + 8;
  return h;
}

qint64 NextChunk(const ChunkHeader& h) {
  return h.DataPos + qint64(h.Size) + (h.Size & 1);
}

// Looks for a chunk with id among the chunks from pos up to limit.
std::optional<ChunkHeader> FindChunk(QIODevice& io, qint64 pos, qint64 limit, const char* id) {
  while (auto h = ReadChunkHeader(io, pos, limit)) {
    if (std::memcmp(h->Id, id, 4) == 0) return h;
    pos = NextChunk(*h);
  }
  return std::nullopt;
}

QString HostPath(const QString& name) {
  // A Windows path with a drive letter goes through the drive map; anything else is taken
  // as a host path.
  if (name.size() >= 3 && name[0].isLetter() && name[1] == QLatin1Char(':') &&
      (name[2] == QLatin1Char('\\') || name[2] == QLatin1Char('/'))) {
    if (auto host = platform::Drives().ToHost(name)) return *host;
    return {};
  }
  return name;
}

QString ShortName(const QString& fileName) {
  const qsizetype cut =
      std::max(fileName.lastIndexOf(QLatin1Char('\\')), fileName.lastIndexOf(QLatin1Char('/')));
  return fileName.mid(cut + 1).left(15);
}

}  // namespace

QString WaveMixMemoryMessage() {
  return QStringLiteral(
      "Impossível alocar memória para arquivo WAVE. Tente fechar alguns aplicativos para "
      "ajudar.");
}

std::optional<QByteArray> TMixResourceModule::FindWave(const QString& name, int number) const {
  const QString path = name.isEmpty() ? QStringLiteral(":/WAVE/#%1").arg(number)
                                      : QStringLiteral(":/WAVE/%1").arg(name);
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  return f.readAll();
}

WaveFileData ReadWaveData(QIODevice& io) {
  const qint64 fileSize = io.size();
  // The RIFF chunk of form "WAVE", among the top-level chunks.
  std::optional<ChunkHeader> riff;
  qint64 pos = 0;
  while (const auto h = ReadChunkHeader(io, pos, fileSize)) {
    char form[4];
    if (std::memcmp(h->Id, "RIFF", 4) == 0 && io.read(form, 4) == 4 &&
        std::memcmp(form, "WAVE", 4) == 0) {
      riff = h;
      break;
    }
    pos = NextChunk(*h);
  }
  if (!riff) Fail(QStringLiteral("This is not a WAVE file"));
  const qint64 riffEnd = std::min(riff->DataPos + qint64(riff->Size), fileSize);

  const auto fmt = FindChunk(io, riff->DataPos + 4, riffEnd, "fmt ");
  if (!fmt) Fail(QStringLiteral("O arquivo wave está corrompido."));
  char raw[16];
  if (fmt->Size < 16 || !io.seek(fmt->DataPos) || io.read(raw, 16) != 16) {
    Fail(QStringLiteral("Failed to read format chunk"));
  }
  WaveFileData out;
  out.Format.FormatTag = Le16(raw);
  out.Format.Channels = Le16(raw + 2);
  out.Format.SamplesPerSec = Le32(raw + 4);
  out.Format.AvgBytesPerSec = Le32(raw + 8);
  out.Format.BlockAlign = Le16(raw + 12);
  out.Format.BitsPerSample = Le16(raw + 14);
  if (out.Format.FormatTag != platform::kWaveFormatPcm) {
    Fail(QStringLiteral("O arquivo wave não é do tipo PCM."));
  }

  const auto data = FindChunk(io, NextChunk(*fmt), riffEnd, "data");
  if (!data) Fail(QStringLiteral("Não há dados no arquivo wave!"));
  if (data->Size == 0) Fail(QStringLiteral("The data chunk has no data"));
  if (data->DataPos + qint64(data->Size) > fileSize) {
    Fail(QStringLiteral("Failed to read data chunk"));
  }
  if (data->Size > kMaxWaveBytes) Fail(WaveMixMemoryMessage());
  out.Samples.resize(data->Size);
  if (!io.seek(data->DataPos) || io.read(reinterpret_cast<char*>(out.Samples.data()),
                                         qint64(data->Size)) != qint64(data->Size)) {
    Fail(QStringLiteral("Failed to read data chunk"));
  }
  return out;
}

std::vector<uint8_t> ConvertBits(const std::vector<uint8_t>& data, int fromBits, int toBits) {
  if ((fromBits != 8 && fromBits != 16) || (toBits != 8 && toBits != 16)) {
    Fail(UnsupportedFormat());
  }
  if (fromBits == toBits) return data;
  std::vector<uint8_t> out;
  if (fromBits == 16) {
    // The high byte of each signed sample, moved to unsigned (wrapping within the byte).
    out.resize(data.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) out[i] = uint8_t(data[2 * i + 1] + 128);
  } else {
    out.resize(data.size() * 2);
    for (size_t i = 0; i < data.size(); ++i) {
      const int v = (int(data[i]) - 128) * 256;
      out[2 * i] = uint8_t(v & 0xFF);
      out[2 * i + 1] = uint8_t((v >> 8) & 0xFF);
    }
  }
  return out;
}

std::vector<uint8_t> ConvertChannels(const std::vector<uint8_t>& data, int fromChannels,
                                     int toChannels) {
  if ((fromChannels != 1 && fromChannels != 2) || (toChannels != 1 && toChannels != 2)) {
    Fail(UnsupportedFormat());
  }
  if (fromChannels == toChannels) return data;
  std::vector<uint8_t> out;
  if (fromChannels == 1) {
    out.resize(data.size() * 2);
    for (size_t i = 0; i < data.size(); ++i) out[2 * i] = out[2 * i + 1] = data[i];
  } else {
    out.resize(data.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) out[i] = uint8_t((data[2 * i] + data[2 * i + 1]) / 2);
  }
  return out;
}

std::vector<uint8_t> ConvertRate(const std::vector<uint8_t>& data, int channels, uint32_t fromRate,
                                 uint32_t toRate) {
  if (fromRate == 0 || toRate == 0 || channels < 1) Fail(UnsupportedFormat());
  if (fromRate == toRate) return data;
  const size_t ch = size_t(channels);
  const size_t frames = data.size() / ch;
  std::vector<uint8_t> out;
  if (toRate > fromRate) {
    const size_t k = toRate / fromRate;
    if (frames * k * ch > kMaxWaveBytes) Fail(WaveMixMemoryMessage());
    out.resize(frames * k * ch);
    for (size_t f = 0; f < frames; ++f) {
      for (size_t c = 0; c < ch; ++c) {
        const int here = data[f * ch + c];
        const int next = f + 1 < frames ? data[(f + 1) * ch + c] : here;
        const int step = f + 1 < frames ? (next - here) / int(k) : 0;
        for (size_t j = 0; j < k; ++j) out[(f * k + j) * ch + c] = uint8_t(here + int(j) * step);
      }
    }
    return out;
  }
  // In 64 bits: a hostile rate near 2^32 must not wrap the group size to 0.
  const size_t m = size_t((uint64_t(fromRate) + toRate / 2) / toRate);
  const size_t outFrames = frames / m;
  out.resize(outFrames * ch);
  for (size_t o = 0; o < outFrames; ++o) {
    for (size_t c = 0; c < ch; ++c) {
      if (o + 1 == outFrames) {
        out[o * ch + c] = data[o * m * ch + c];
        continue;
      }
      int sum = 0;
      for (size_t j = 0; j < m; ++j) sum += int(data[(o * m + j) * ch + c]) - 128;
      out[o * ch + c] = uint8_t(128 + sum / int(m));
    }
  }
  return out;
}

std::vector<uint8_t> ConvertWave(std::vector<uint8_t> data, const platform::PcmWaveFormat& from,
                                 const platform::PcmWaveFormat& to) {
  if (from.Channels != to.Channels || from.SamplesPerSec != to.SamplesPerSec ||
      from.BitsPerSample != to.BitsPerSample) {
    if (from.BitsPerSample != to.BitsPerSample) {
      data = ConvertBits(data, from.BitsPerSample, to.BitsPerSample);
    }
    if (from.Channels != to.Channels) data = ConvertChannels(data, from.Channels, to.Channels);
    if (from.SamplesPerSec != to.SamplesPerSec) {
      data = ConvertRate(data, to.Channels, from.SamplesPerSec, to.SamplesPerSec);
    }
  }
  // Whole frames only, so that a stereo session never swaps its channels.
  const size_t frame = std::max<size_t>(1, to.BlockAlign);
  data.resize(data.size() - data.size() % frame);
  return data;
}

std::unique_ptr<TMixWave> LoadMixWave(const TMixWaveSource& source,
                                      const platform::PcmWaveFormat& output) {
  auto wave = std::make_unique<TMixWave>();

  std::unique_ptr<QIODevice> io;
  QByteArray resource;
  switch (source.Kind) {
    case kMixSourceFile: {
      const QString host = HostPath(source.FileName);
      std::unique_ptr<QFile> file = host.isEmpty() ? nullptr : platform::OpenRegularFile(host);
      if (!file) {
        Fail(QStringLiteral("Falha ao abrir wave: ") + source.FileName);
      }
      io = std::move(file);
      wave->Name = ShortName(source.FileName);
      break;
    }
    case kMixSourceResource: {
      static const TMixResourceModule kDefault;
      const TMixResourceModule& module = source.Module ? *source.Module : kDefault;
      const QString what = source.ResourceName.isEmpty() ? QString::number(source.ResourceNumber)
                                                         : source.ResourceName;
      auto found = module.FindWave(source.ResourceName, source.ResourceNumber);
      if (!found) Fail(QStringLiteral("Failed to open \"WAVE\" resource ") + what);
      resource = std::move(*found);
      auto buffer = std::make_unique<QBuffer>(&resource);
      buffer->open(QIODevice::ReadOnly);
      io = std::move(buffer);
      wave->Name = source.ResourceName.isEmpty()
                       ? QStringLiteral("res#%1").arg(source.ResourceNumber).left(15)
                       : source.ResourceName.left(15);
      break;
    }
    case kMixSourceMemory: {
      if (!source.Memory || source.MemorySize <= 0) {
        Fail(QStringLiteral("Failed to open memory file, mmioOpen error=%1."
                            "#13May need to make sure memory is read-write")
                 .arg(kMmioCannotOpen));
      }
      resource =
          QByteArray::fromRawData(reinterpret_cast<const char*>(source.Memory), source.MemorySize);
      auto buffer = std::make_unique<QBuffer>(&resource);
      buffer->open(QIODevice::ReadOnly);
      io = std::move(buffer);
      wave->Name = QStringLiteral("memory");
      break;
    }
    default:
      Fail(QStringLiteral("Invalid Flags"));
  }

  WaveFileData file = ReadWaveData(*io);
  wave->Format = file.Format;
  try {
    wave->Data = ConvertWave(std::move(file.Samples), file.Format, output);
  } catch (const std::bad_alloc&) {
    Fail(WaveMixMemoryMessage());
  }
  if (wave->Data.empty()) Fail(QStringLiteral("Failed to convert wave format"));
  wave->Length = uint32_t(wave->Data.size());
  return wave;
}
