#include "audio/WaveMixSettings.h"

#include <QFile>
#include <QStandardPaths>
#include <algorithm>

#include "audio/WaveMixTypes.h"
#include "platform/Text.h"

namespace {
QString& IniPathOverride() {
  static QString path;
  return path;
}
}  // namespace

ProfileFile ProfileFile::Load(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return Parse(f.read(kMaxBytes));
}

ProfileFile ProfileFile::Parse(const QByteArray& bytes) {
  ProfileFile ini;
  QString section;
  const QString text = platform::FromWin1252(bytes);
  for (QString line : text.split(QLatin1Char('\n'))) {
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
    if (line.startsWith(QLatin1Char('['))) {
      const qsizetype close = line.indexOf(QLatin1Char(']'));
      section = line.mid(1, close < 0 ? -1 : close - 1).trimmed().toLower();
      continue;
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0) continue;
    auto& keys = ini.sections_[section];
    const QString key = line.left(eq).trimmed().toLower();
    if (!keys.count(key)) keys[key] = line.mid(eq + 1).trimmed();  // the first one counts
  }
  return ini;
}

int ProfileFile::GetInt(const QString& section, const QString& key, int defaultValue) const {
  const auto s = sections_.find(section.toLower());
  if (s == sections_.end()) return defaultValue;
  const auto k = s->second.find(key.toLower());
  if (k == s->second.end()) return defaultValue;
  const QString& v = k->second;
  qsizetype i = 0;
  bool negative = false;
  if (i < v.size() && (v[i] == QLatin1Char('-') || v[i] == QLatin1Char('+'))) {
    negative = v[i] == QLatin1Char('-');
    ++i;
  }
  int64_t value = 0;
  for (; i < v.size() && v[i].isDigit() && v[i].unicode() < 128; ++i) {
    value = std::min<int64_t>(value * 10 + (v[i].unicode() - '0'), INT32_MAX);
  }
  return int(negative ? -value : value);
}

int WaveMixDeviceSetting(const ProfileFile& ini, int deviceCount) {
  const int device = ini.GetInt(QStringLiteral("general"), QStringLiteral("WaveOutDevice"), 0);
  return device < 0 || device >= deviceCount ? platform::kWaveMapper : device;
}

WaveMixSettings WaveMixDeviceSettings(const ProfileFile& ini, int deviceId,
                                      const QString& deviceName) {
  const QString def = QStringLiteral("default");
  WaveMixSettings s;
  s.DeviceId = deviceId;
  const int remix = ini.GetInt(def, QStringLiteral("Remix"), 1);
  const int goodPos = ini.GetInt(def, QStringLiteral("GoodWavePos"), 0);
  const int rate = ini.GetInt(def, QStringLiteral("SamplesPerSec"), 11);
  s.Remix = ini.GetInt(deviceName, QStringLiteral("Remix"), remix);
  s.GoodWavePos = ini.GetInt(deviceName, QStringLiteral("GoodWavePos"), goodPos);
  switch (ini.GetInt(deviceName, QStringLiteral("SamplesPerSec"), rate)) {
    case 22:
      s.SamplesPerSec = 22050;
      break;
    case 44:
      s.SamplesPerSec = 44100;
      break;
    default:
      s.SamplesPerSec = 11025;
      break;
  }
  const int blockLen = ini.GetInt(deviceName, QStringLiteral("WaveBlockLen"), 0);
  s.BlockLength = blockLen == 0
                      ? kMixMaxBlockLength
                      : uint32_t(std::clamp<int>(blockLen, kMixMinBlockLength, kMixMaxBlockLength));
  s.NotCompatible = ini.GetInt(QStringLiteral("not compatible"), deviceName, 0) != 0;
  return s;
}

QString WaveMixIniPath() {
  if (!IniPathOverride().isEmpty()) return IniPathOverride();
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/WAVEMIX.INI");
}

void SetWaveMixIniPath(const QString& path) {
  IniPathOverride() = path;
}
