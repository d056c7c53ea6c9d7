// The drive map: resolution of Windows paths onto a real folder tree, the ways letters are
// configured, and the refusals that keep paths inside their drive.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/Drives.h"
#include "support/TestSupport.h"

using namespace platform;
using testsupport::WriteFile;

namespace {

class DriveMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    disc_ = tmp_.filePath("disc");
    work_ = tmp_.filePath("work");
    ASSERT_TRUE(WriteFile(disc_ + "/QUARX/Resour/G8/AnyPal/controls.bmr", "bmr"));
    ASSERT_TRUE(WriteFile(disc_ + "/SHAREDIR/DemoData/A.DEM", "a"));
    ASSERT_TRUE(QDir().mkpath(work_));
    map_.Map('D', disc_, DriveType::CdRom);
    map_.Map('e', work_, DriveType::Fixed);
  }

  QTemporaryDir tmp_;
  QString disc_, work_;
  DriveMap map_;
};

TEST_F(DriveMapTest, ResolvesEveryComponentCaseInsensitively) {
  EXPECT_EQ(map_.ToHost("d:\\quarx\\RESOUR\\g8\\anypal\\CONTROLS.BMR"),
            disc_ + "/QUARX/Resour/G8/AnyPal/controls.bmr");
  EXPECT_EQ(map_.ToHost("D:/SHAREDIR/demodata/a.dem"), disc_ + "/SHAREDIR/DemoData/A.DEM");
  EXPECT_EQ(map_.ToHost("D:\\"), disc_);
  EXPECT_EQ(map_.ToHost("D:"), disc_);
  // Missing names stay as written from the first one on: where a new entry would go.
  EXPECT_EQ(map_.ToHost("D:\\sharedir\\New\\demodata"), disc_ + "/SHAREDIR/New/demodata");
  // "." and ".." inside the drive are applied before resolving.
  EXPECT_EQ(map_.ToHost("D:\\QUARX\\.\\..\\sharedir\\"), disc_ + "/SHAREDIR");
}

TEST_F(DriveMapTest, ExactNameWinsOverOtherCases) {
  ASSERT_TRUE(WriteFile(work_ + "/Readme", "1"));
  ASSERT_TRUE(WriteFile(work_ + "/README", "2"));
  EXPECT_EQ(map_.ToHost("E:\\Readme"), work_ + "/Readme");
  EXPECT_EQ(map_.ToHost("E:\\README"), work_ + "/README");
  // No exact match: the first in byte order, the same every time.
  EXPECT_EQ(map_.ToHost("E:\\readme"), work_ + "/README");
}

TEST_F(DriveMapTest, RefusesWhatLiesOutsideADrive) {
  EXPECT_FALSE(map_.ToHost("D:\\..\\work"));
  EXPECT_FALSE(map_.ToHost("D:\\QUARX\\..\\..\\work\\x"));
  EXPECT_FALSE(map_.ToHost("D:/../.."));
  EXPECT_FALSE(map_.ToHost("Q:\\x"));  // not mapped
  EXPECT_FALSE(map_.ToHost("QUARX\\Resour"));
  EXPECT_FALSE(map_.ToHost("D:QUARX"));  // drive-relative
  EXPECT_FALSE(map_.ToHost("\\\\server\\share\\x"));
  EXPECT_FALSE(map_.ToHost(""));
  EXPECT_FALSE(map_.ToHost("1:\\x"));
}

TEST_F(DriveMapTest, RefusesNamesTheHostCannotStore) {
  for (const QString& bad :
       {QString("E:\\a<b"), QString("E:\\a|b"), QString("E:\\x\\a\"b"), QString("E:\\a:b"),
        QString("E:\\tab\there"), QString("E:\\star*"), QString("E:\\what?"),
        QString("E:\\") + QString(256, 'x'), QString("E:\\") + QChar(0xD800) + "x",
        QString("E:\\nul") + QChar(0) + "x"})
    EXPECT_FALSE(map_.ToHost(bad)) << bad.toStdString();
  // Accented and long-but-legal names are fine.
  EXPECT_TRUE(map_.ToHost(QString::fromUtf8("E:\\Música e Vídeo\\") + QString(120, QChar(0xE9))));
}

TEST_F(DriveMapTest, LinksOnTheDiscStayOnTheDisc) {
  ASSERT_TRUE(QFile::link(work_, disc_ + "/Out"));
  ASSERT_TRUE(QFile::link(disc_ + "/SHAREDIR", disc_ + "/Share"));
  ASSERT_TRUE(QFile::link(disc_ + "/missing", disc_ + "/Gone"));
  EXPECT_FALSE(map_.ToHost("D:\\out\\x.txt"));
  EXPECT_FALSE(map_.ToHost("D:\\Gone\\x.txt"));
  EXPECT_EQ(map_.ToHost("D:\\SHARE\\demodata"), disc_ + "/Share/DemoData");
  // The user's own drives may link anywhere.
  ASSERT_TRUE(QFile::link(disc_, work_ + "/Disc"));
  EXPECT_EQ(map_.ToHost("E:\\disc\\sharedir"), work_ + "/Disc/SHAREDIR");
}

TEST_F(DriveMapTest, ToWindowsPicksTheLongestRoot) {
  map_.Map('F', disc_ + "/QUARX", DriveType::Fixed);
  map_.Map('Z', "/", DriveType::Fixed);
  EXPECT_EQ(map_.ToWindows(disc_ + "/QUARX/Resour"), "F:\\Resour");
  EXPECT_EQ(map_.ToWindows(disc_ + "/SHAREDIR/"), "D:\\SHAREDIR");
  EXPECT_EQ(map_.ToWindows(disc_), "D:\\");
  EXPECT_EQ(map_.ToWindows(tmp_.path()), "Z:" + QString(tmp_.path()).replace('/', '\\'));
  // A sibling whose name merely starts like a root is not inside it.
  EXPECT_EQ(map_.ToWindows(disc_ + "2/x")->at(0), QChar('Z'));
  map_.Unmap('Z');
  EXPECT_FALSE(map_.ToWindows(tmp_.path()));
}

TEST_F(DriveMapTest, SpecsSetAndRemoveLetters) {
  EXPECT_TRUE(map_.ApplySpec("g=" + work_ + ",cdrom"));
  ASSERT_TRUE(map_.Find('G'));
  EXPECT_EQ(map_.Find('G')->type, DriveType::CdRom);
  EXPECT_EQ(map_.Find('G')->hostRoot, work_);
  EXPECT_TRUE(map_.ApplySpec("H:=" + work_ + "/"));
  EXPECT_EQ(map_.Find('H')->type, DriveType::Fixed);
  EXPECT_EQ(map_.Find('H')->hostRoot, work_);
  // A comma that is not followed by a type belongs to the folder.
  EXPECT_TRUE(map_.ApplySpec("I=/media/a,b"));
  EXPECT_EQ(map_.Find('I')->hostRoot, "/media/a,b");
  EXPECT_TRUE(map_.ApplySpec("I="));
  EXPECT_FALSE(map_.Find('I'));
  for (const char* bad : {"", "=x", "EE=/x", "1=/x", "E/x", "E:/x"})
    EXPECT_FALSE(map_.ApplySpec(bad)) << bad;
}

TEST_F(DriveMapTest, DefaultMapAndSettingsFile) {
  const DriveMap def = DriveMap::Default(disc_);
  EXPECT_EQ(def.Find('D')->hostRoot, disc_);
  EXPECT_EQ(def.Find('D')->type, DriveType::CdRom);
  EXPECT_EQ(def.Find('C')->hostRoot, QDir::homePath());
  EXPECT_EQ(def.Find('Z')->hostRoot, "/");

  const QString ini = tmp_.filePath("drives.ini");
  ASSERT_TRUE(WriteFile(ini, ("[Drives]\nK=" + work_ + ",removable\nZ=\nbad=x\n").toUtf8()));
  DriveMap map = def;
  QStringList rejected;
  EXPECT_EQ(map.ApplySettingsFile(ini, &rejected), 2);
  EXPECT_EQ(rejected, QStringList{"bad=x"});
  EXPECT_EQ(map.Find('K')->type, DriveType::Removable);
  EXPECT_FALSE(map.Find('Z'));
  EXPECT_EQ(map.ApplySettingsFile(tmp_.filePath("none.ini")), 0);
}

TEST_F(DriveMapTest, WinePrefixGivesItsLetters) {
  const QString prefix = tmp_.filePath("wine");
  ASSERT_TRUE(QDir().mkpath(prefix + "/dosdevices"));
  ASSERT_TRUE(QDir().mkpath(prefix + "/drive_c"));
  ASSERT_TRUE(QFile::link("../drive_c", prefix + "/dosdevices/c:"));
  ASSERT_TRUE(QFile::link(disc_, prefix + "/dosdevices/r:"));
  ASSERT_TRUE(QFile::link("/dev/null", prefix + "/dosdevices/r::"));
  ASSERT_TRUE(QFile::link(work_, prefix + "/dosdevices/f:"));
  ASSERT_TRUE(QFile::link(tmp_.filePath("gone"), prefix + "/dosdevices/g:"));
  ASSERT_TRUE(WriteFile(prefix + "/system.reg",
                        "WINE REGISTRY Version 2\n\n[Software\\\\Wine\\\\Drives] 1700000000\n"
                        "\"f:\"=\"floppy\"\n\n[Software\\\\Other]\n\"c:\"=\"cdrom\"\n"));
  DriveMap map;
  EXPECT_EQ(map.ApplyWinePrefix(prefix), 3);  // g: points nowhere
  EXPECT_EQ(map.Find('C')->hostRoot, prefix + "/drive_c");
  EXPECT_EQ(map.Find('C')->type, DriveType::Fixed);
  EXPECT_EQ(map.Find('R')->type, DriveType::CdRom);
  EXPECT_EQ(map.Find('F')->type, DriveType::Removable);
  EXPECT_FALSE(map.Find('G'));
  EXPECT_EQ(map.ApplyWinePrefix(tmp_.filePath("nothing")), 0);
}

}  // namespace
