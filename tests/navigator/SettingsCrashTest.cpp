// The settings file must stay readable whatever happens to the program while it writes: a
// crash, or a disc that fills up. The writer runs in a child process (this test binary again)
// that is killed or limited; the parent then reads what is left.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>

#include "navigator/Settings.h"
#include "platform/Dialogs.h"

namespace {

const char kDirVariable[] = "QX_SETTINGS_WRITER_DIR";
const char kModeVariable[] = "QX_SETTINGS_WRITER_MODE";

// Two complete sets of values; a reader must find one of them whole. The long root makes each
// write take long enough for a kill to land inside it.
NavigatorSettings Values(bool second) {
  NavigatorSettings s;
  s.DemosRoot = (second ? QStringLiteral("F:\\") : QStringLiteral("E:\\")) +
                QString(200000, second ? QLatin1Char('b') : QLatin1Char('a'));
  s.ApplyPreferenceWord(second ? 6 : 9);
  s.VolumeLevel = second ? 71 : 17;
  return s;
}

void UseStore(const QString& dir) {
  QStandardPaths::setTestModeEnabled(true);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
}

// "A", "B", or what else the store holds ("missing", "mixed").
std::string StoredSet(const QString& dir) {
  UseStore(dir);
  const QSettings kvr(QSettings::NativeFormat, QSettings::UserScope, SettingsKeys{}.Organisation,
                      SettingsKeys{}.Fallback);
  if (!kvr.contains("DemosDrive")) return "missing";
  for (bool second : {false, true}) {
    const NavigatorSettings s = Values(second);
    if (kvr.value("DemosDrive").toString() == s.DemosRoot &&
        kvr.value("Perso01").toInt() == s.PreferenceWord() &&
        kvr.value("VolumeLevel").toInt() == s.VolumeLevel)
      return second ? "B" : "A";
  }
  return "mixed";
}

void StartWriter(QProcess& p, const QString& dir, const char* mode) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(kDirVariable, dir);
  env.insert(kModeVariable, mode);
  p.setProcessEnvironment(env);
  p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p.start(QCoreApplication::applicationFilePath(),
          {QStringLiteral("--gtest_filter=SettingsWriter.Child")});
}

}  // namespace

// Only runs as the child of the tests below.
TEST(SettingsWriter, Child) {
  const QString dir = qEnvironmentVariable(kDirVariable);
  if (dir.isEmpty()) GTEST_SKIP() << "the writer of the settings tests";
  const QByteArray mode = qgetenv(kModeVariable);
  UseStore(dir);
  platform::ScopedScriptedDialogs dialogs;
  if (mode == "loop") {
    NavigatorSettings read;
    ReadSettings(read, "D:\\QUARX\\", 640);
    for (int i = 0;; ++i) {
      WriteSettings(Values(i % 2 == 1), true);
      printf("%d\n", i);
      fflush(stdout);
    }
  }
  if (mode == "full") {
    // As if the disc held only a few more bytes than the present file.
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    WriteSettings(Values(true), true);
  }
}

TEST(SettingsWriter, KilledMidwayLeavesOneWholeSet) {
  QTemporaryDir dir;
  for (int round = 0; round < 8; ++round) {
    QProcess writer;
    StartWriter(writer, dir.path(), "loop");
    // Killed after a different number of finished writes each round.
    int seen = -1;
    while (seen < 2 + round) {
      ASSERT_TRUE(writer.waitForReadyRead(60000)) << "the writer stopped";
      while (writer.canReadLine()) seen = writer.readLine().trimmed().toInt();
    }
    writer.kill();
    writer.waitForFinished(60000);
    const std::string found = StoredSet(dir.path());
    EXPECT_TRUE(found == "A" || found == "B") << "round " << round << ": " << found;
  }
}

TEST(SettingsWriter, FullDiscKeepsThePreviousValues) {
  QTemporaryDir dir;
  UseStore(dir.path());
  {
    platform::ScopedScriptedDialogs dialogs;
    NavigatorSettings read;
    ReadSettings(read, "D:\\QUARX\\", 640);
    NavigatorSettings first = Values(false);
    first.DemosRoot = "E:\\";  // small enough to fit under the child's limit
    WriteSettings(first, true);
  }
  QProcess writer;
  StartWriter(writer, dir.path(), "full");
  ASSERT_TRUE(writer.waitForFinished(60000));
  UseStore(dir.path());
  const QSettings kvr(QSettings::NativeFormat, QSettings::UserScope, SettingsKeys{}.Organisation,
                      SettingsKeys{}.Fallback);
  EXPECT_EQ(kvr.value("DemosDrive").toString(), "E:\\");
  EXPECT_EQ(kvr.value("Perso01").toInt(), Values(false).PreferenceWord());
  EXPECT_EQ(kvr.value("VolumeLevel").toInt(), 17);
}
