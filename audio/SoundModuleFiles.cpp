#include "audio/SoundModuleFiles.h"

#include "platform/Drives.h"

QString HostPathOf(const QString& fileName) {
  // A Windows path with a drive letter goes through the drive map (nothing when the drive is
  // not mapped); anything else is taken as a host path.
  if (fileName.size() >= 3 && fileName[0].isLetter() && fileName[1] == QLatin1Char(':') &&
      (fileName[2] == QLatin1Char('\\') || fileName[2] == QLatin1Char('/'))) {
    if (auto host = platform::Drives().ToHost(fileName)) return *host;
    return {};
  }
  return fileName;
}
