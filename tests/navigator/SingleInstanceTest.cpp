#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "platform/SingleInstance.h"

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

}  // namespace
