#include "MkdiscSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QtEndian>

#include "platform/Drives.h"
#include "support/TestSupport.h"

namespace mkdisctest {

QString Disc() {
  return testsupport::SampleDisc();
}

QString MkdiscProgram() {
  return QString::fromUtf8(QX_BINARY_DIR) + "/tools/mkdisc/mkdisc";
}

QString OnDisc(const QString& winPath) {
  platform::DriveMap map;
  map.Map('D', Disc(), platform::DriveType::CdRom);
  const auto host = map.ToHost(winPath);
  return host && QFileInfo::exists(*host) ? *host : QString();
}

QStringList FilesBelow(const QString& folder) {
  QStringList files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) files << QDir(folder).relativeFilePath(it.next());
  files.sort();
  return files;
}

quint32 Le32(const QByteArray& bytes, qsizetype offset) {
  if (offset < 0 || offset + 4 > bytes.size()) return 0;
  return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

quint16 Le16(const QByteArray& bytes, qsizetype offset) {
  if (offset < 0 || offset + 2 > bytes.size()) return 0;
  return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

}  // namespace mkdisctest
