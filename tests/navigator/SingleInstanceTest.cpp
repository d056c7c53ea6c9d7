#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>
#include <vector>

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
  first.SetOnWake([&] { ++wakes; });
  ASSERT_TRUE(first.Acquire());
  EXPECT_TRUE(first.ServerName().startsWith(runtime_.path()));

  platform::SingleInstance second(QStringLiteral("velOrbint_KVR9"));
  EXPECT_FALSE(second.Acquire());
  EXPECT_TRUE(QTest::qWaitFor([&] { return wakes == 1; }, 5000));
  platform::SingleInstance third(QStringLiteral("velOrbint_KVR9"));
  EXPECT_FALSE(third.Acquire());
  EXPECT_TRUE(QTest::qWaitFor([&] { return wakes == 2; }, 5000));
}

TEST_F(SingleInstanceTest, WakeUpArrivingWhileTheFirstIsStillStartingIsDeliveredOnceReady) {
  platform::SingleInstance first(QStringLiteral("velOrbint_KVR9"));
  ASSERT_TRUE(first.Acquire());
  // The first instance's window is still being made (a start-up message is open): nobody
  // takes the wake-up yet.
  platform::SingleInstance second(QStringLiteral("velOrbint_KVR9"));
  EXPECT_FALSE(second.Acquire());
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();

  int wakes = 0;
  first.SetOnWake([&] { ++wakes; });
  EXPECT_EQ(wakes, 1);
  first.SetOnWake([&] { ++wakes; });
  EXPECT_EQ(wakes, 1) << "a wake-up is delivered once";
}

// The name is held by the running instance, not by its socket file: a socket that cannot be
// reached (removed by a clean-up of the runtime folder, or not listening yet) is no licence to go on.
TEST_F(SingleInstanceTest, NobodyElseGoesOnWhileTheFirstRunsEvenWithoutItsSocket) {
  platform::SingleInstance first(QStringLiteral("velOrbint_KVR9"));
  ASSERT_TRUE(first.Acquire());
  ASSERT_TRUE(QFile::remove(first.ServerName()));
  platform::SingleInstance second(QStringLiteral("velOrbint_KVR9"));
  EXPECT_FALSE(second.Acquire());
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
  first.SetOnWake([&] { woke = true; });
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

// Starts quarx32 on a screen it refuses: it holds the name, then waits on message 0 for
// ever, so it never ends by itself.
class Navigators {
 public:
  Navigators(const QString& runtime, const QString& config) {
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("XDG_RUNTIME_DIR", runtime);
    env_.insert("XDG_CONFIG_HOME", config);
    env_.insert("QT_QPA_PLATFORM", "offscreen");
    env_.insert("SDL_AUDIODRIVER", "dummy");
    dir_ = runtime;
  }
  QProcess& Start() {
    auto& p = *processes_.emplace_back(std::make_unique<QProcess>());
    p.setProcessEnvironment(env_);
    p.start(QStringLiteral(QX_BINARY_DIR "/apps/quarx32"),
            {"--program-dir", dir_, "--window", "--screen", "600x400x32"});
    return p;
  }
  std::vector<std::unique_ptr<QProcess>>& All() { return processes_; }

 private:
  QProcessEnvironment env_;
  QString dir_;
  std::vector<std::unique_ptr<QProcess>> processes_;
};

bool Ended(const QProcess& p) { return p.state() == QProcess::NotRunning; }

// A socket file bound and never listened on, as a killed program leaves it.
bool LeaveStaleSocket(const QString& path) {
  QFile::remove(path);
  const QByteArray name = QFile::encodeName(path);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  if (size_t(name.size()) >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return bound;
}

TEST_F(SingleInstanceTest, OfNavigatorsStartedTogetherExactlyOneGoesOn) {
  if (!QFileInfo(QStringLiteral(QX_BINARY_DIR "/apps/quarx32")).isExecutable())
    GTEST_SKIP() << "quarx32 not built";
  QTemporaryDir config;
  constexpr int kRounds = 8;
  constexpr int kTogether = 4;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    // A killed navigator's socket lies there: every start finds a name nobody answers on,
    // the moment at which two of them could both take it.
    ASSERT_TRUE(LeaveStaleSocket(runtime_.filePath("velOrbint_KVR9")));
    Navigators navigators(runtime_.path(), config.path());
    for (int i = 0; i < kTogether; ++i) navigators.Start();
    auto& all = navigators.All();
    for (auto& p : all) ASSERT_TRUE(p->waitForStarted(10000));
    auto ended = [&] {
      return std::count_if(all.begin(), all.end(), [](auto& p) { return Ended(*p); });
    };
    // Every later start leaves at once with code 0; the one that went on stays.
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended() >= kTogether - 1; }, 30000));
    for (auto& p : all)
      if (Ended(*p)) {
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0);
      }
    for (auto& p : all)
      if (!Ended(*p)) {
        p->kill();
        p->waitForFinished(5000);
      }
    if (HasFailure()) break;
  }
}

TEST_F(SingleInstanceTest, TerminationSignalWhileAStartUpMessageIsOpenEndsTheProgram) {
  if (!QFileInfo(QStringLiteral(QX_BINARY_DIR "/apps/quarx32")).isExecutable())
    GTEST_SKIP() << "quarx32 not built";
  QTemporaryDir config;  // a first run: the greeting comes, then message 0 for the screen
  Navigators navigators(runtime_.path(), config.path());
  QProcess& navigator = navigators.Start();
  ASSERT_TRUE(navigator.waitForStarted(10000));
  // The handlers are in place once the instance's socket exists; the messages follow.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return QFileInfo::exists(runtime_.filePath("velOrbint_KVR9")); }, 20000));
  ::kill(static_cast<pid_t>(navigator.processId()), SIGTERM);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Ended(navigator); }, 20000));
  if (!Ended(navigator)) {
    navigator.kill();
    navigator.waitForFinished(5000);
  }
  EXPECT_EQ(navigator.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(navigator.exitCode(), 0);
}

}  // namespace
