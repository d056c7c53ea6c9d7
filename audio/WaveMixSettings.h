#pragma once

// The mixer's settings file "WAVEMIX.INI", read the way the private-profile integer reader
// reads: sections and keys without regard to case, a value's leading integer (0 when there is
// none), the default when the key is missing. The file lives in the user's configuration
// folder unless SetWaveMixIniPath chose another.

#include <QString>
#include <map>

class ProfileFile {
 public:
  // Reads path; a missing or unreadable file reads as empty. At most kMaxBytes are read.
  static ProfileFile Load(const QString& path);
  static ProfileFile Parse(const QByteArray& text);
  int GetInt(const QString& section, const QString& key, int defaultValue) const;

  static constexpr qint64 kMaxBytes = 1 << 20;

 private:
  std::map<QString, std::map<QString, QString>> sections_;  // keys in lower case
};

// The settings a session starts with.
struct WaveMixSettings {
  int DeviceId = 0;  // -1: the wave mapper
  int Remix = 1;     // 2: shift strategy
  int GoodWavePos = 0;
  uint32_t SamplesPerSec = 11025;
  uint32_t BlockLength = 8192;
  bool NotCompatible = false;
};

// The device number from "general"; deviceCount decides when it means the mapper.
int WaveMixDeviceSetting(const ProfileFile& ini, int deviceCount);
// The rest, from the device's section with "default" as fall-back.
WaveMixSettings WaveMixDeviceSettings(const ProfileFile& ini, int deviceId,
                                      const QString& deviceName);

QString WaveMixIniPath();
// Chooses the settings file (empty restores the default). For tests.
void SetWaveMixIniPath(const QString& path);
