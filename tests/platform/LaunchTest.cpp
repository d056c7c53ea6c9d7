// Starting programs and documents: which way each kind of file goes, what reaches the
// program (arguments, working folder, environment), and the failure class of each refusal.
// The desktop's tools are stand-in scripts that log how they were called.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/Drives.h"
#include "platform/Launch.h"
#include "platform/WinePrefix.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

using namespace platform;
using testsupport::StandIns;
using testsupport::WriteFile;

namespace {

// A logging native program, as the sample disc's stand-ins are.
const QByteArray kLoggingScript =
    "#!/bin/sh\n{ printf '%s' \"${0##*/}\"; for a in \"$@\"; do printf '\\t%s' \"$a\";"
    " done; printf '\\t@%s\\n' \"$(pwd -P)\"; } >> \"$QUARX_STUB_LOG\"\n";

void MakeExecutable(const QString& path, bool executable = true) {
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner |
                                  (executable ? QFile::ExeOwner : QFile::Permissions()));
}

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    disc_ = QFileInfo(tmp_.filePath("disc")).absoluteFilePath();
    ASSERT_TRUE(WriteFile(disc_ + "/DEMOS/RUN.EXE", kLoggingScript));
    MakeExecutable(disc_ + "/DEMOS/RUN.EXE");
    ASSERT_TRUE(QDir().mkpath(disc_ + "/DEMOS/X"));
    savedDrives_ = Drives();
    Drives().Clear();
    Drives().Map('D', disc_, DriveType::CdRom);
  }
  void TearDown() override { Drives() = savedDrives_; }

  QTemporaryDir tmp_;
  QString disc_;
  DriveMap savedDrives_;
  StandIns tools_;
};

TEST(WindowsArguments, SplitAsAWindowsProgramsStartUpCodeDoes) {
  EXPECT_EQ(SplitWindowsArguments("D:\\DEMOS\\X"), QStringList{"D:\\DEMOS\\X"});
  EXPECT_EQ(SplitWindowsArguments("  a   b\t c "), (QStringList{"a", "b", "c"}));
  EXPECT_EQ(SplitWindowsArguments("\"C:\\Program Files\\x\" y"),
            (QStringList{"C:\\Program Files\\x", "y"}));
  EXPECT_EQ(SplitWindowsArguments("a\\\\\"b c\" d"), (QStringList{"a\\b c", "d"}));
  EXPECT_EQ(SplitWindowsArguments("quo\\\"te"), QStringList{"quo\"te"});
  EXPECT_EQ(SplitWindowsArguments("\"say \"\"hi\"\"\""), QStringList{"say \"hi\""});
  EXPECT_EQ(SplitWindowsArguments("\"\""), QStringList{""});
  EXPECT_EQ(SplitWindowsArguments(""), QStringList{});
  EXPECT_EQ(SplitWindowsArguments("a;b|c$(x) `id` &"),
            (QStringList{"a;b|c$(x)", "`id`", "&"}));
}

TEST_F(LaunchTest, FilesAreClassifiedByTheirFirstBytesRunBitAndExtension) {
  const QString d = tmp_.filePath("kinds");
  ASSERT_TRUE(WriteFile(d + "/elf", QByteArray("\x7f" "ELF\x02\x01", 6)));
  MakeExecutable(d + "/elf");
  ASSERT_TRUE(WriteFile(d + "/script.exe", "#!/bin/sh\n"));
  MakeExecutable(d + "/script.exe", false);
  ASSERT_TRUE(WriteFile(d + "/SETUP.EXE", "MZ\x90"));
  ASSERT_TRUE(WriteFile(d + "/broken.exe", "not a program"));
  ASSERT_TRUE(WriteFile(d + "/install.bat", "@echo off\r\n"));
  ASSERT_TRUE(WriteFile(d + "/KVR.pdf", "%PDF-1.4"));
  EXPECT_EQ(ClassifyFile(d + "/elf"), FileKind::Native);
  EXPECT_EQ(ClassifyFile(disc_ + "/DEMOS/RUN.EXE"), FileKind::Native);
  EXPECT_EQ(ClassifyFile(d + "/script.exe"), FileKind::NotExecutable);
  EXPECT_EQ(ClassifyFile(d + "/SETUP.EXE"), FileKind::Windows);
  EXPECT_EQ(ClassifyFile(d + "/broken.exe"), FileKind::Corrupt);
  EXPECT_EQ(ClassifyFile(d + "/install.bat"), FileKind::Windows);
  EXPECT_EQ(ClassifyFile(d + "/KVR.pdf"), FileKind::Document);
  EXPECT_EQ(ClassifyFile(d), FileKind::Folder);
  EXPECT_EQ(ClassifyFile(d + "/none"), FileKind::Missing);
}

TEST_F(LaunchTest, ANativeProgramGetsItsArgumentsLiterallyInItsOwnFolder) {
  const int result =
      ShellOpen("D:\\demos\\run.exe", "a;b|c$(x) \"quo te\" back`tick' D:\\DEMOS\\X $HOME");
  ASSERT_EQ(result, kShellStarted);
  ASSERT_TRUE(tools_.WaitForCalls(1));
  const QStringList call = tools_.Calls().first();
  // A path on a mapped drive reaches a native program as the host path it names.
  EXPECT_EQ(call, (QStringList{"RUN.EXE", "a;b|c$(x)", "quo te", "back`tick'", disc_ + "/DEMOS/X",
                               "$HOME", "@" + disc_ + "/DEMOS"}));
}

TEST_F(LaunchTest, AWindowsProgramRunsThroughWineInTheNavigatorsPrefix) {
  tools_.AddWine();
  ASSERT_TRUE(WriteFile(disc_ + "/DEMOS/SETUP.EXE", "MZ\x90\0"));
  ASSERT_EQ(ShellOpen("D:\\Demos\\SETUP.EXE", "D:\\DEMOS\\X \"a b\""), kShellStarted);
  ASSERT_TRUE(tools_.WaitForCalls(3));
  const QString prefix = tools_.Home() + "/data/quarx/wine";
  EXPECT_EQ(WinePrefixPath(), prefix);
  const auto calls = tools_.CallsOf("wine");
  ASSERT_EQ(calls.size(), 3);
  // The prefix is made once, without Mono and Gecko, and the disc's letter is a CD-ROM.
  EXPECT_EQ(calls[0].mid(1, 2), (QStringList{"wineboot", "-i"}));
  EXPECT_TRUE(calls[0].contains("WINEPREFIX=" + prefix));
  EXPECT_TRUE(calls[0].contains("WINEDLLOVERRIDES=mscoree,mshtml="));
  EXPECT_EQ(calls[1].mid(1, 9), (QStringList{"reg", "add", "HKLM\\Software\\Wine\\Drives", "/v",
                                             "d:", "/t", "REG_SZ", "/d", "cdrom"}));
  EXPECT_EQ(QFileInfo(prefix + "/dosdevices/d:").symLinkTarget(), disc_);
  // The program: Windows paths stay as written, for Wine's own D:.
  EXPECT_EQ(calls[2].mid(1, 4), (QStringList{disc_ + "/DEMOS/SETUP.EXE", "D:\\DEMOS\\X", "a b",
                                             "@" + disc_ + "/DEMOS"}));
  EXPECT_TRUE(calls[2].contains("WINEPREFIX=" + prefix));

  // A second start finds the prefix ready.
  ASSERT_EQ(ShellOpen("D:\\Demos\\SETUP.EXE", ""), kShellStarted);
  ASSERT_TRUE(tools_.WaitForCalls(4));
  EXPECT_EQ(tools_.CallsOf("wine").last().mid(1, 2),
            (QStringList{disc_ + "/DEMOS/SETUP.EXE", "@" + disc_ + "/DEMOS"}));
}

TEST_F(LaunchTest, EachRefusalHasItsFailureClassAndStartsNothing) {
  ASSERT_TRUE(WriteFile(disc_ + "/DEMOS/SETUP.EXE", "MZ\x90\0"));
  ASSERT_TRUE(WriteFile(disc_ + "/DEMOS/PLAIN.EXE", kLoggingScript));
  MakeExecutable(disc_ + "/DEMOS/PLAIN.EXE", false);
  ASSERT_TRUE(WriteFile(disc_ + "/DEMOS/BAD.EXE", "garbage"));
  ASSERT_TRUE(WriteFile(disc_ + "/DEMOS/NOSH.EXE", "#!/nonexistent/interpreter\n"));
  MakeExecutable(disc_ + "/DEMOS/NOSH.EXE");
  ASSERT_TRUE(WriteFile(tmp_.filePath("outside.sh"), kLoggingScript));
  MakeExecutable(tmp_.filePath("outside.sh"));

  EXPECT_EQ(ShellOpen("D:\\DEMOS\\MISSING.EXE", ""), kShellFileNotFound);
  EXPECT_EQ(ShellOpen("D:\\NOFOLDER\\MISSING.EXE", ""), kShellPathNotFound);
  EXPECT_EQ(ShellOpen("D:\\DEMOS\\X", ""), kShellFileNotFound);  // a folder
  EXPECT_EQ(ShellOpen("D:\\DEMOS\\PLAIN.EXE", ""), kShellAccessDenied);
  EXPECT_EQ(ShellOpen("D:\\DEMOS\\BAD.EXE", ""), kShellBadFormat);
  EXPECT_EQ(ShellOpen("D:\\DEMOS\\SETUP.EXE", ""), kShellNoAssociation);  // no Wine
  EXPECT_EQ(ShellOpen("D:\\..\\outside.sh", ""), kShellPathNotFound);  // leaves the disc
  EXPECT_EQ(ShellOpen("Q:\\RUN.EXE", ""), kShellPathNotFound);         // no such drive
  EXPECT_EQ(ShellOpen("D:\\DEMOS\\NOSH.EXE", ""), kShellFileNotFound);  // exec fails
  EXPECT_EQ(ShellOpen("D:\\" + QString(260, 'a'), ""), kShellPathNotFound);
  EXPECT_TRUE(tools_.Calls().isEmpty());
}

TEST_F(LaunchTest, ADocumentOpensWithTheDesktopsApplication) {
  ASSERT_TRUE(WriteFile(disc_ + "/REVISTA/KVR.pdf", "%PDF-1.4\n"));
  tools_.Add("xdg-open");
  // No application for the type: nothing is started.
  tools_.AddXdgMime("application/x-other", "other.desktop");
  EXPECT_EQ(ShellOpen("D:\\REVISTA\\KVR.PDF", ""), kShellNoAssociation);
  tools_.AddXdgMime("application/pdf", "reader.desktop");
  const int before = int(tools_.Calls().size());
  ASSERT_EQ(ShellOpen("D:\\REVISTA\\KVR.PDF", "ignored"), kShellStarted);
  ASSERT_TRUE(tools_.WaitForCalls(before + 2));  // the query, then the opener
  const auto opened = tools_.CallsOf("xdg-open");
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0].mid(1, 2), (QStringList{disc_ + "/REVISTA/KVR.pdf", "@" + disc_ + "/REVISTA"}));
}

TEST_F(LaunchTest, AHostPathStartsAsItStands) {
  const QString tool = tmp_.filePath("reader");
  ASSERT_TRUE(WriteFile(tool, kLoggingScript));
  MakeExecutable(tool);
  EXPECT_TRUE(IsNativeProgram(tool));
  EXPECT_FALSE(IsNativeProgram("D:\\DEMOS\\X"));
  ASSERT_EQ(ShellOpen(tool, "D:\\REVISTA\\KVR.pdf"), kShellStarted);
  ASSERT_TRUE(tools_.WaitForCalls(1));
  // A file not there yet keeps its name as written under the drive's folder.
  EXPECT_EQ(tools_.Calls().first().at(1), disc_ + "/REVISTA/KVR.pdf");
}

}  // namespace
