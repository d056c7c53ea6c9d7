#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>

namespace {

// Over ssh or in a script there is no display; asking a program what it is must still work.
struct Answer {
  int exitCode = -1;
  QString out;
};

Answer RunWithoutDisplay(const QString& program, const QString& option) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.insert("QT_QPA_PLATFORM", "xcb");  // the platform of a desktop, which needs a display
  p.setProcessEnvironment(env);
  p.start(program, {option});
  if (!p.waitForFinished(30000)) {
    p.kill();
    p.waitForFinished();
    return {};
  }
  if (p.exitStatus() != QProcess::NormalExit) return {};
  return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput())};
}

TEST(ProgramEntry, HelpAndVersionAnswerWithoutADisplay) {
  for (const char* name : {"quarx32", "lumex"}) {
    SCOPED_TRACE(name);
    const QString program = QStringLiteral(QX_BINARY_DIR "/apps/") + name;
    if (!QFileInfo(program).isExecutable()) GTEST_SKIP() << name << " not built";
    const Answer help = RunWithoutDisplay(program, "--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--program-dir")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(name)) << "the usage line names the program";
    const Answer version = RunWithoutDisplay(program, "--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith(QString(name) + ' ')) << version.out.toStdString();
  }
}

}  // namespace
