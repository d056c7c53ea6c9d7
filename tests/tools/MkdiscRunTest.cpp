// Running the tool: the same bytes on every run, within the time and size budget, and never
// over a folder it did not write.

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "MkdiscSupport.h"
#include "support/TestSupport.h"

namespace {

struct RunResult {
  int ExitCode = -1;
  qint64 ElapsedMs = 0;
  QString Errors;
};

RunResult RunMkdisc(const QStringList& args) {
  QProcess p;
  p.setProcessEnvironment([] {
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
  }());
  QElapsedTimer timer;
  timer.start();
  p.start(mkdisctest::MkdiscProgram(), args);
  const bool finished = p.waitForFinished(120000);
  RunResult r;
  r.ElapsedMs = timer.elapsed();
  r.ExitCode = finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.Errors = QString::fromUtf8(p.readAllStandardError());
  return r;
}

QMap<QString, QByteArray> Checksums(const QString& root, qint64* totalBytes) {
  QMap<QString, QByteArray> sums;
  *totalBytes = 0;
  for (const QString& name : mkdisctest::FilesBelow(root)) {
    QFile f(root + "/" + name);
    if (!f.open(QIODevice::ReadOnly)) continue;
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    sums.insert(name, h.result());
    *totalBytes += f.size();
  }
  return sums;
}

TEST(MkdiscRun, TwoRunsWriteIdenticalTreesWithinBudget) {
  QTemporaryDir a, b;
  ASSERT_TRUE(a.isValid() && b.isValid());
  const RunResult first = RunMkdisc({a.path() + "/disc"});
  ASSERT_EQ(first.ExitCode, 0) << first.Errors.toStdString();
  const RunResult second = RunMkdisc({b.path() + "/disc"});
  ASSERT_EQ(second.ExitCode, 0) << second.Errors.toStdString();

  qint64 bytesA = 0, bytesB = 0;
  const auto sumsA = Checksums(a.path() + "/disc", &bytesA);
  const auto sumsB = Checksums(b.path() + "/disc", &bytesB);
  ASSERT_GT(sumsA.size(), 100);
  EXPECT_EQ(sumsA.keys(), sumsB.keys());
  for (auto it = sumsA.cbegin(); it != sumsA.cend(); ++it)
    EXPECT_EQ(it.value(), sumsB.value(it.key())) << it.key().toStdString() << " differs";

  EXPECT_LT(first.ElapsedMs, 30000);
  EXPECT_LT(second.ElapsedMs, 30000);
  EXPECT_LT(bytesA, 60LL * 1024 * 1024);

  // Writing over its own earlier disc replaces it whole: nothing stale survives.
  ASSERT_TRUE(testsupport::WriteFile(a.path() + "/disc/SHAREDIR/DemoData/stale.dem", "x"));
  ASSERT_EQ(RunMkdisc({a.path() + "/disc"}).ExitCode, 0);
  qint64 bytesAgain = 0;
  EXPECT_EQ(Checksums(a.path() + "/disc", &bytesAgain), sumsB);
}

TEST(MkdiscRun, NeverWritesOverAForeignFolder) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString foreign = dir.path() + "/mine";
  ASSERT_TRUE(testsupport::WriteFile(foreign + "/notes.txt", "keep me"));
  EXPECT_EQ(RunMkdisc({foreign}).ExitCode, 1);
  EXPECT_EQ(testsupport::ReadFile(foreign + "/notes.txt"), QByteArray("keep me"));
  EXPECT_FALSE(QFile::exists(foreign + "/SHAREDIR"));

  ASSERT_EQ(RunMkdisc({"--preview", dir.path() + "/preview"}).ExitCode, 0);
  EXPECT_TRUE(QFile::exists(dir.path() + "/preview/G6-list-with-buttons.png"));
  EXPECT_EQ(RunMkdisc({}).ExitCode, 2);
}

}  // namespace
