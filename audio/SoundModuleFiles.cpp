#include "audio/SoundModuleFiles.h"

QString HostPathOf(const QString& fileName) { return fileName; }
