#include "FormatsTestSupport.h"

#include <QDir>

#include "platform/Drives.h"

namespace formatstest {

// Every host path is reached through drive T:, mapped to the file system root.
QString DiscPath(const QString& hostPath) {
  platform::Drives().Map(QChar('T'), QStringLiteral("/"), platform::DriveType::Fixed);
  QString path = QDir::cleanPath(hostPath);
  if (hostPath.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  path.replace(QLatin1Char('/'), QLatin1Char('\\'));
  return QStringLiteral("T:") + path;
}

}  // namespace formatstest
