#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "platform/SingleInstance.h"
#include "support/TestSupport.h"

namespace {

// The socket lives in the user's runtime folder; each test gets a folder of its own.
class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.isValid());
    saved_ = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
  }
  void TearDown() override { qputenv("XDG_RUNTIME_DIR", saved_); }
  QTemporaryDir runtime_;
  QByteArray saved_;
};

TEST_F(SingleInstanceTest, SecondHolderWakesTheFirstOncePerStart) {
  platform::SingleInstance first(QStringLiteral("velOrbint_KVR9"));
  int wakes = 0;
  first.OnWake = [&] { ++wakes; };
  ASSERT_TRUE(first.Acquire());
  EXPECT_TRUE(first.ServerName().startsWith(runtime_.path()));

  platform::SingleInstance second(QStringLiteral("velOrbint_KVR9"));
  EXPECT_FALSE(second.Acquire());
  EXPECT_TRUE(QTest::qWaitFor([&] { return wakes == 1; }, 5000));
  platform::SingleInstance third(QStringLiteral("velOrbint_KVR9"));
  EXPECT_FALSE(third.Acquire());
  EXPECT_TRUE(QTest::qWaitFor([&] { return wakes == 2; }, 5000));
}

TEST_F(SingleInstanceTest, StaleSocketOfACrashedInstanceIsTakenOver) {
  // A socket file nobody listens on, as a killed instance leaves it.
  const QString path = runtime_.filePath("velOrbint_KVR9");
  {
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  }
  platform::SingleInstance instance(QStringLiteral("velOrbint_KVR9"));
  EXPECT_TRUE(instance.Acquire());
  platform::SingleInstance later(QStringLiteral("velOrbint_KVR9"));
  EXPECT_FALSE(later.Acquire());
}

TEST_F(SingleInstanceTest, SecondProgramStartExitsZeroAndWakesTheFirst) {
  const QString program = QStringLiteral(QX_BINARY_DIR "/apps/quarx32");
  if (!QFileInfo(program).isExecutable()) GTEST_SKIP() << "quarx32 not built";
  platform::SingleInstance first(QStringLiteral("velOrbint_KVR9"));
  bool woke = false;
  first.OnWake = [&] { woke = true; };
  ASSERT_TRUE(first.Acquire());

  QProcess second;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", runtime_.path());
  env.insert("QT_QPA_PLATFORM", "offscreen");
  second.setProcessEnvironment(env);
  // A folder with no disc: had the program gone on, it would have refused to start or shown
  // messages; the guard comes first.
  second.start(program, {"--program-dir", runtime_.path(), "--window"});
  ASSERT_TRUE(second.waitForStarted(10000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return woke; }, 5000));
  EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
}

TEST_F(SingleInstanceTest, TerminationSignalEndsTheProgramTheWayClosingItDoes) {
  const QString program = QStringLiteral(QX_BINARY_DIR "/apps/quarx32");
  const QString disc = testsupport::SampleDisc();
  if (!QFileInfo(program).isExecutable() || !QFileInfo(disc + "/QUARX").isDir())
    GTEST_SKIP() << "quarx32 or the sample disc not built";
  QTemporaryDir config;
  const QString store = config.filePath("velOrbint/KVR.conf");
  QSettings(store, QSettings::IniFormat).setValue("KVRVer", 9);  // no greeting to wait for

  QProcess navigator;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", runtime_.path());
  env.insert("XDG_CONFIG_HOME", config.path());
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("SDL_AUDIODRIVER", "dummy");
  navigator.setProcessEnvironment(env);
  navigator.start(program, {"--program-dir", disc + "/QUARX", "--window"});
  ASSERT_TRUE(navigator.waitForStarted(10000));
  // The instance's socket exists once the handlers are in place.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return QFileInfo::exists(runtime_.filePath("velOrbint_KVR9")); }, 20000));
  ::kill(static_cast<pid_t>(navigator.processId()), SIGTERM);
  EXPECT_TRUE(QTest::qWaitFor([&] { return navigator.state() == QProcess::NotRunning; }, 20000));
  EXPECT_EQ(navigator.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(navigator.exitCode(), 0);
  // The shutdown ran: the level the sound start-up chose (full, none being stored) was saved.
  EXPECT_EQ(QSettings(store, QSettings::IniFormat).value("VolumeLevel").toInt(), 99);
}

}  // namespace
