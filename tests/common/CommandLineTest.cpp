// The programs' options and the drive map they build.

#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "common/CommandLine.h"
#include "platform/Drives.h"
#include "support/TestSupport.h"
#include "tools/discwriter/IsoWriter.h"

using platform::DriveType;

namespace {

CommandLine Parse(QStringList args, ProgramKind kind = ProgramKind::Navigator) {
  args.prepend("prog");
  return ParseCommandLine(args, kind);
}

TEST(CommandLine, ReadsEveryOption) {
  const CommandLine line =
      Parse({"--program-dir", "/disc/QUARX", "--screen", "800x600x8", "--window", "--scale", "3",
             "--drive", "E=/media/cdrom,cdrom", "--drive=F=/tmp", "--wine-prefix", "/w"});
  EXPECT_TRUE(line.error.isEmpty()) << line.error.toStdString();
  EXPECT_EQ(line.programDir, "/disc/QUARX");
  EXPECT_EQ(line.screen.screenWidth, 800);
  EXPECT_EQ(line.screen.screenHeight, 600);
  EXPECT_EQ(line.screen.colourDepth, 8);
  EXPECT_TRUE(line.window);
  EXPECT_EQ(line.scale, 3);
  EXPECT_EQ(line.driveSpecs, (QStringList{"E=/media/cdrom,cdrom", "F=/tmp"}));
  EXPECT_EQ(line.winePrefix, "/w");
  EXPECT_FALSE(line.help);

  const CommandLine plain = Parse({});
  EXPECT_TRUE(plain.error.isEmpty());
  EXPECT_EQ(plain.scale, 1);
  EXPECT_FALSE(plain.window);
  EXPECT_EQ(plain.screen.screenWidth, 0);  // measure the real screen
  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"--version"}).version);
  EXPECT_TRUE(CommandLineHelp(ProgramKind::Navigator).contains("--drive"));
}

TEST(CommandLine, RejectsWhatItCannotUse) {
  for (const QStringList& bad :
       {QStringList{"--screen", "800"}, QStringList{"--scale", "0"}, QStringList{"--scale", "x"},
        QStringList{"--scale", "17"}, QStringList{"--bogus"}, QStringList{"--program-dir"},
        QStringList{"D:\\X"}})
    EXPECT_FALSE(Parse(bad).error.isEmpty()) << bad.join(' ').toStdString();
  // The explorer takes one path, no more.
  EXPECT_EQ(Parse({"C:\\Fotos"}, ProgramKind::Explorer).startPath, "C:\\Fotos");
  EXPECT_TRUE(Parse({}, ProgramKind::Explorer).startPath.isEmpty());
  EXPECT_FALSE(Parse({"a", "b"}, ProgramKind::Explorer).error.isEmpty());
}

class ConfigureDrivesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = platform::Drives();
    ASSERT_TRUE(tmp_.isValid());
    ASSERT_TRUE(QDir().mkpath(tmp_.filePath("disc/QUARX")));
    noSettings_ = tmp_.filePath("none.ini");
  }
  void TearDown() override { platform::Drives() = saved_; }

  platform::DriveMap saved_;
  QTemporaryDir tmp_;
  QString noSettings_;
};

TEST_F(ConfigureDrivesTest, LayersDefaultsSettingsAndOptions) {
  const QString ini = tmp_.filePath("drives.ini");
  ASSERT_TRUE(testsupport::WriteFile(ini, ("[Drives]\nE=" + tmp_.path() +
                                           ",removable\n"
                                           "F=" +
                                           tmp_.path() + "\n")
                                              .toUtf8()));
  const CommandLine line = Parse({"--program-dir", tmp_.filePath("disc/QUARX"), "--drive",
                                  "F=" + tmp_.filePath("disc") + ",cdrom"});
  QString error;
  ASSERT_TRUE(ConfigureDrives(line, &error, ini)) << error.toStdString();
  const auto& drives = platform::Drives();
  EXPECT_EQ(drives.Find('D')->hostRoot, tmp_.filePath("disc"));
  EXPECT_EQ(drives.Find('D')->type, DriveType::CdRom);
  EXPECT_EQ(drives.Find('E')->type, DriveType::Removable);
  EXPECT_EQ(drives.Find('F')->hostRoot, tmp_.filePath("disc"));  // the option comes last
  EXPECT_EQ(drives.Find('F')->type, DriveType::CdRom);

  ASSERT_TRUE(MeasureEnvironment(EnvironmentOptionsOf(line)));
  EXPECT_EQ(Env().ProgramDir, "D:\\QUARX\\");
}

TEST_F(ConfigureDrivesTest, ProgramFolderAlwaysGetsADrive) {
  // Every default letter that could hold the disc is taken away.
  const CommandLine line = Parse({"--program-dir", tmp_.filePath("disc/QUARX"), "--drive",
                                  "D=/nonexistent", "--drive", "Z=", "--drive", "E=/nonexistent"});
  ASSERT_TRUE(ConfigureDrives(line, nullptr, noSettings_));
  ASSERT_TRUE(platform::Drives().Find('F'));
  EXPECT_EQ(platform::Drives().Find('F')->hostRoot, tmp_.filePath("disc"));
  EXPECT_EQ(platform::Drives().ToWindows(tmp_.filePath("disc/QUARX")), "F:\\QUARX");
}

TEST_F(ConfigureDrivesTest, BadDriveOptionLeavesTheMapAlone) {
  platform::Drives().Clear();
  platform::Drives().Map('Q', tmp_.path(), DriveType::Fixed);
  QString error;
  EXPECT_FALSE(ConfigureDrives(Parse({"--drive", "nonsense"}), &error, noSettings_));
  EXPECT_TRUE(error.contains("nonsense"));
  EXPECT_TRUE(platform::Drives().Find('Q'));
  EXPECT_FALSE(platform::Drives().Find('Z'));
}

}  // namespace

TEST_F(ConfigureDrivesTest, DiscOptionTakesAFolderInAnyCaseOrAnImage) {
  QStandardPaths::setTestModeEnabled(true);
  ASSERT_TRUE(testsupport::WriteFile(tmp_.filePath("copy/quarx/Resour/a.bmr"), "a"));
  const CommandLine folder = Parse({"--disc", tmp_.filePath("copy")});
  QString error;
  ASSERT_TRUE(ConfigureDrives(folder, &error, noSettings_)) << error.toStdString();
  EXPECT_EQ(platform::Drives().Find('D')->hostRoot, tmp_.filePath("copy"));
  ASSERT_TRUE(MeasureEnvironment(EnvironmentOptionsOf(folder)));
  EXPECT_EQ(Env().ProgramDir, "D:\\quarx\\");

  const QString iso = tmp_.filePath("quarx9.iso");
  ASSERT_TRUE(discwriter::WriteIsoImage(tmp_.filePath("copy"), iso, &error));
  const CommandLine image = Parse({"--disc", iso});
  ASSERT_TRUE(ConfigureDrives(image, &error, noSettings_)) << error.toStdString();
  const platform::Drive* d = platform::Drives().Find('D');
  ASSERT_TRUE(d && d->image);
  EXPECT_EQ(d->type, DriveType::CdRom);
  EXPECT_EQ(platform::VolumeLabel('D'), "QUARX9");
  ASSERT_TRUE(MeasureEnvironment(EnvironmentOptionsOf(image)));
  EXPECT_EQ(Env().ProgramDir, "D:\\quarx\\");
  EXPECT_EQ(testsupport::ReadFile(*platform::Drives().ToHost("D:\\QUARX\\RESOUR\\A.BMR")), "a");
  QDir(d->hostRoot).removeRecursively();

  // Neither a damaged image nor a disc without the navigator's folder starts anything.
  ASSERT_TRUE(testsupport::WriteFile(tmp_.filePath("bad.iso"), QByteArray(70000, 'x')));
  EXPECT_FALSE(ConfigureDrives(Parse({"--disc", tmp_.filePath("bad.iso")}), &error, noSettings_));
  EXPECT_TRUE(error.contains("cannot be read")) << error.toStdString();
  ASSERT_TRUE(QDir().mkpath(tmp_.filePath("other/DEMOS")));
  EXPECT_FALSE(ConfigureDrives(Parse({"--disc", tmp_.filePath("other")}), &error, noSettings_));
  EXPECT_TRUE(error.contains("QUARX")) << error.toStdString();
  EXPECT_FALSE(ConfigureDrives(Parse({"--disc", tmp_.filePath("missing")}), &error, noSettings_));
}
