// A real Windows program started through the real Wine by the launch layer: the drive letter
// of the disc, the arguments and the working folder as the program sees them. Skipped when Wine
// or the cross-compiled program is missing.

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include "platform/Drives.h"
#include "platform/Launch.h"
#include "platform/WinePrefix.h"
#include "support/TestSupport.h"

using namespace platform;

namespace {

TEST(RealWine, AWindowsProgramSeesTheDiscAsItsDrive) {
  const QString program = QString(QX_BINARY_DIR) + "/winprog/RECORD.EXE";
  if (FindWine().isEmpty() || !QFileInfo::exists(program))
    GTEST_SKIP() << "Wine or the cross-compiled test program is missing";
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString disc = QFileInfo(tmp.filePath("disc")).absoluteFilePath();
  ASSERT_TRUE(QDir().mkpath(disc + "/DEMOS/X"));
  ASSERT_TRUE(QFile::copy(program, disc + "/DEMOS/RECORD.EXE"));
  const QString log = tmp.filePath("record.log");

  const DriveMap saved = Drives();
  const QByteArray oldData = qgetenv("XDG_DATA_HOME");
  // One prefix per build folder: it is made once (several seconds), then reused.
  qputenv("XDG_DATA_HOME", (QString(QX_BINARY_DIR) + "/wine-test-data").toLocal8Bit());
  qputenv("QUARX_STANDIN_LOG", log.toLocal8Bit());
  Drives().Clear();
  Drives().Map('D', disc, DriveType::CdRom);
  const int result = ShellOpen("D:\\Demos\\record.exe", "D:\\DEMOS\\X a;b|c$(x) quo\\\"te \"t w o\"");
  Drives() = saved;
  qunsetenv("QUARX_STANDIN_LOG");
  if (oldData.isNull())
    qunsetenv("XDG_DATA_HOME");
  else
    qputenv("XDG_DATA_HOME", oldData);
  ASSERT_EQ(result, kShellStarted);

  QByteArray line;
  QDeadlineTimer deadline(60000);  // Wine's first start in a prefix takes a few seconds
  while (!line.endsWith('\n') && !deadline.hasExpired()) {
    line = testsupport::ReadFile(log);
    QThread::msleep(50);
  }
  const QStringList fields = QString::fromLocal8Bit(line).trimmed().split('\t');
  ASSERT_EQ(fields.size(), 6) << line.constData();
  EXPECT_TRUE(fields[0].endsWith("RECORD.EXE", Qt::CaseInsensitive)) << fields[0].toStdString();
  EXPECT_EQ(fields.mid(1, 4), (QStringList{"D:\\DEMOS\\X", "a;b|c$(x)", "quo\"te", "t w o"}));
  EXPECT_EQ(fields[5].toUpper(), "@D:\\DEMOS");
}

}  // namespace
