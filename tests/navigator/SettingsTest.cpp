#include <gtest/gtest.h>

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "navigator/Settings.h"
#include "navigator/Volume.h"
#include "platform/Dialogs.h"

namespace {

// Every test gets a store folder of its own, so keys never leak between tests or into the user's.
class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QStandardPaths::setTestModeEnabled(true);
    ASSERT_TRUE(dir_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
  }
  QSettings Key(const QString& app) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, keys_.Organisation, app);
  }
  int GreetingCount() {
    int n = 0;
    for (const auto& m : dialogs_->Messages()) n += m.code == 38;
    return n;
  }

  QTemporaryDir dir_;
  SettingsKeys keys_;
  platform::ScopedScriptedDialogs dialogs_;
};

TEST_F(SettingsStoreTest, FirstRunCreatesFallbackKeyWithDefaultsAndGreetsOnce) {
  NavigatorSettings s;
  ReadSettings(s, "D:\\QUARX\\", 640, keys_);
  EXPECT_EQ(GreetingCount(), 1);
  ASSERT_EQ(dialogs_->Messages().size(), 1u);
  EXPECT_EQ(dialogs_->Messages()[0].argument, "640");
  EXPECT_EQ(s.DemosRoot, "");  // the caller fills it; the store already holds the default
  EXPECT_EQ(s.VolumeLevel, kVolumeUnset);
  EXPECT_EQ(s.PreferenceWord(), 15);

  QSettings kvr = Key("KVR");
  EXPECT_EQ(kvr.value("KVRVer").toInt(), 9);
  EXPECT_EQ(kvr.value("DemosDrive").toString(), "D:\\");
  EXPECT_EQ(kvr.value("Perso01").toInt(), 15);
  EXPECT_EQ(kvr.value("VolumeLevel").toInt(), 0);
  EXPECT_FALSE(QFileInfo::exists(Key("KVR9").fileName()));  // the preferred key is never created

  // The second run reads what the first wrote and stays quiet.
  NavigatorSettings again;
  ReadSettings(again, "D:\\QUARX\\", 640, keys_);
  EXPECT_EQ(GreetingCount(), 1);
  EXPECT_EQ(again.DemosRoot, "D:\\");
  EXPECT_EQ(again.VolumeLevel, 0);
}

TEST_F(SettingsStoreTest, OtherEditionIsWipedAndStartsOver) {
  {
    QSettings kvr = Key("KVR");
    kvr.setValue("KVRVer", 8);
    kvr.setValue("DemosDrive", "E:\\old\\");
    kvr.setValue("Perso01", 0);
    kvr.setValue("VolumeLevel", 40);
    kvr.setValue("Stray", "x");
  }
  NavigatorSettings s;
  ReadSettings(s, "F:\\QUARX\\", 1024, keys_);
  EXPECT_EQ(GreetingCount(), 1);
  EXPECT_EQ(dialogs_->Messages()[0].argument, "1024");
  EXPECT_EQ(s.DemosRoot, "");
  EXPECT_EQ(s.PreferenceWord(), 15);
  EXPECT_EQ(s.VolumeLevel, kVolumeUnset);
  QSettings kvr = Key("KVR");
  EXPECT_FALSE(kvr.contains("Stray"));
  EXPECT_EQ(kvr.value("KVRVer").toInt(), 9);
  EXPECT_EQ(kvr.value("DemosDrive").toString(), "F:\\");
  EXPECT_EQ(kvr.value("VolumeLevel").toInt(), 0);
}

TEST_F(SettingsStoreTest, ADemosRootWithoutADriveIsReplacedByTheProgramsDrive) {
  for (const char* stored : {"\\", "Demos\\", ""}) {
    Key("KVR9").setValue("DemosDrive", stored);
    NavigatorSettings s;
    ReadSettings(s, "D:\\QUARX\\", 800, keys_);
    EXPECT_EQ(s.DemosRoot, "") << stored;  // the caller fills in the program's drive
  }
  Key("KVR9").setValue("DemosDrive", "\\\\server\\cd\\");
  NavigatorSettings s;
  ReadSettings(s, "D:\\QUARX\\", 800, keys_);
  EXPECT_EQ(s.DemosRoot, "\\\\server\\cd\\");
}

TEST_F(SettingsStoreTest, PreferredKeyIsUsedWithoutEditionMarker) {
  {
    QSettings kvr9 = Key("KVR9");
    kvr9.setValue("DemosDrive", "G:\\Demos");  // taken as stored: no backslash added
    kvr9.setValue("Perso01", 6);
    kvr9.setValue("VolumeLevel", 250);
    Key("KVR").setValue("KVRVer", 8);  // another edition's key must stay untouched
  }
  NavigatorSettings s;
  ReadSettings(s, "D:\\QUARX\\", 800, keys_);
  EXPECT_EQ(GreetingCount(), 0);
  EXPECT_EQ(s.DemosRoot, "G:\\Demos");
  // 6: music off, hints on, beam effect on, ragged text.
  EXPECT_FALSE(s.MusicWanted);
  EXPECT_TRUE(s.HintsShown);
  EXPECT_TRUE(s.BeamEffect);
  EXPECT_TRUE(s.AlignAlternate);
  EXPECT_EQ(s.VolumeLevel, 99);
  EXPECT_FALSE(Key("KVR9").contains("KVRVer"));
  EXPECT_EQ(Key("KVR").value("KVRVer").toInt(), 8);

  Key("KVR9").setValue("VolumeLevel", -5);
  ReadSettings(s, "D:\\QUARX\\", 800, keys_);
  EXPECT_EQ(s.VolumeLevel, 0);
}

TEST_F(SettingsStoreTest, UnreadableValueEndsReadingKeepingWhatWasRead) {
  {
    QSettings kvr9 = Key("KVR9");
    kvr9.setValue("DemosDrive", "H:\\");
    kvr9.setValue("Perso01", "garbage");
    kvr9.setValue("VolumeLevel", 12);
  }
  NavigatorSettings s;
  s.VolumeLevel = 33;
  ReadSettings(s, "D:\\QUARX\\", 800, keys_);
  EXPECT_EQ(s.DemosRoot, "H:\\");
  EXPECT_EQ(s.PreferenceWord(), 15);
  EXPECT_EQ(s.VolumeLevel, 33);
}

TEST_F(SettingsStoreTest, WritesOnlyChangedValuesAndVolumeOnlyWithSound) {
  {
    QSettings kvr = Key("KVR");
    kvr.setValue("KVRVer", 9);
    kvr.setValue("DemosDrive", "D:\\");
    kvr.setValue("Perso01", 15);
    kvr.setValue("VolumeLevel", 50);
  }
  NavigatorSettings s;
  ReadSettings(s, "D:\\QUARX\\", 800, keys_);
  s.DemosRoot = "d:\\";  // case counts
  s.MusicWanted = false;
  s.VolumeLevel = 70;
  WriteSettings(s, /*soundAvailable=*/false, keys_);
  {
    QSettings kvr = Key("KVR");
    EXPECT_EQ(kvr.value("DemosDrive").toString(), "d:\\");
    EXPECT_EQ(kvr.value("Perso01").toInt(), 14);
    EXPECT_EQ(kvr.value("VolumeLevel").toInt(), 50);  // no wave device: left unchanged
  }
  WriteSettings(s, /*soundAvailable=*/true, keys_);
  EXPECT_EQ(Key("KVR").value("VolumeLevel").toInt(), 70);

  // The preferred key wins when it exists.
  Key("KVR9").setValue("Perso01", 15);
  s.HintsShown = false;
  WriteSettings(s, true, keys_);
  EXPECT_EQ(Key("KVR9").value("Perso01").toInt(), 12);
  EXPECT_EQ(Key("KVR").value("Perso01").toInt(), 14);
}

TEST_F(SettingsStoreTest, WritingNeverCreatesAKeyNorStoresAnUnsetVolume) {
  NavigatorSettings s;
  WriteSettings(s, true, keys_);
  EXPECT_FALSE(QFileInfo::exists(Key("KVR").fileName()));

  Key("KVR").setValue("VolumeLevel", 40);
  s.VolumeLevel = kVolumeUnset;  // the device never gave a level: keep the user's
  WriteSettings(s, true, keys_);
  EXPECT_EQ(Key("KVR").value("VolumeLevel").toInt(), 40);
}

TEST(DriveRoot, OfProgramFolders) {
  EXPECT_EQ(DriveRootOf("D:\\QUARX\\"), "D:\\");
  EXPECT_EQ(DriveRootOf("D:\\"), "D:\\");
  EXPECT_EQ(DriveRootOf("\\\\srv\\cd\\QUARX\\"), "\\\\srv\\cd\\");
}

}  // namespace
