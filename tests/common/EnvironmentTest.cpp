// The measured environment: folders derived from where the program lies on its drive, and the
// skin and palette choices that follow from the screen.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "common/Environment.h"
#include "platform/Drives.h"

using platform::DriveType;

namespace {

class EnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedEnv_ = Env();
    savedDrives_ = platform::Drives();
    ASSERT_TRUE(tmp_.isValid());
    ASSERT_TRUE(QDir().mkpath(tmp_.filePath("disc/NAV")));
    platform::Drives().Clear();
    platform::Drives().Map('D', tmp_.filePath("disc"), DriveType::CdRom);
  }
  void TearDown() override {
    Env() = savedEnv_;
    platform::Drives() = savedDrives_;
  }

  EnvironmentOptions Screen(int w, int h, int bits) {
    EnvironmentOptions o;
    o.programDirHost = tmp_.filePath("disc/NAV");
    o.screenWidth = w;
    o.screenHeight = h;
    o.colourDepth = bits;
    o.logicalDpi = 96;
    return o;
  }

  Environment savedEnv_;
  platform::DriveMap savedDrives_;
  QTemporaryDir tmp_;
};

TEST_F(EnvironmentTest, FoldersFollowTheProgramsPlaceOnItsDrive) {
  ASSERT_TRUE(MeasureEnvironment(Screen(800, 600, 16)));
  EXPECT_EQ(Env().ProgramDir, "D:\\NAV\\");
  EXPECT_EQ(Env().ShareDir, "D:\\SHAREDIR\\");
  // A program in the drive's root has its share folder beside it as well.
  EXPECT_EQ(ShareDirOf("D:\\"), "D:\\SHAREDIR\\");
  EXPECT_EQ(ShareDirOf("E:\\A\\B\\"), "E:\\A\\SHAREDIR\\");
  EnvironmentOptions root = Screen(800, 600, 16);
  root.programDirHost = tmp_.filePath("disc");
  ASSERT_TRUE(MeasureEnvironment(root));
  EXPECT_EQ(Env().ProgramDir, "D:\\");
  EXPECT_EQ(Env().ShareDir, "D:\\SHAREDIR\\");
  EXPECT_EQ(Env().SkinDir, "D:\\Resour\\G8\\AnyPal\\");

  // A folder on no drive: a clear failure, not a made-up path.
  root.programDirHost = QDir::tempPath() + "/elsewhere";
  EXPECT_FALSE(MeasureEnvironment(root));
  EXPECT_TRUE(Env().ProgramDir.isEmpty());
  EXPECT_TRUE(Env().SkinDir.isEmpty());
}

TEST_F(EnvironmentTest, SkinFolderAndIntroPictureFollowTheScreen) {
  struct Case {
    int w, h, bits;
    const char* skin;
    char letter;
    const char* logo;
  };
  const Case cases[] = {
      {640, 480, 8, "D:\\NAV\\Resour\\G6\\WinPal\\", '6', "LOGO256.BMP"},
      {640, 480, 16, "D:\\NAV\\Resour\\G6\\AnyPal\\", '6', "LOGORGB.BMP"},
      {800, 600, 8, "D:\\NAV\\Resour\\G8\\WinPal\\", '8', "LOGO256.BMP"},
      {800, 600, 16, "D:\\NAV\\Resour\\G8\\AnyPal\\", '8', "LOGORGB.BMP"},
      {1024, 768, 16, "D:\\NAV\\Resour\\G8\\AnyPal\\", '8', "LOGORGB.BMP"},
      {799, 600, 32, "D:\\NAV\\Resour\\G6\\AnyPal\\", '6', "LOGORGB.BMP"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.skin);
    ASSERT_TRUE(MeasureEnvironment(Screen(c.w, c.h, c.bits)));
    EXPECT_EQ(Env().SkinDir, c.skin);
    EXPECT_EQ(Env().SizeLetter, QChar(c.letter));
    EXPECT_EQ(Env().ScreenWidth, c.w);
    EXPECT_EQ(Env().ScreenHeight, c.h);
    EXPECT_EQ(Env().ColourDepth, c.bits);
    EXPECT_EQ(IntroLogoName(Env().ColourDepth), c.logo);
    EXPECT_EQ(UsesPalette(Env().ColourDepth), c.bits == 8);
  }
  EXPECT_EQ(IntroLogoName(15), "LOGO256.BMP");
}

TEST_F(EnvironmentTest, ExplorerMeasuresLessAndKeepsTheRest) {
  Env().SkinDir = "untouched";
  Env().SoundAvailable = true;
  ASSERT_TRUE(MeasureExplorerEnvironment(Screen(1024, 768, 24)));
  EXPECT_EQ(Env().ProgramDir, "D:\\NAV\\");
  EXPECT_EQ(Env().ScreenWidth, 1024);
  EXPECT_EQ(Env().ColourDepth, 24);
  EXPECT_EQ(Env().SkinDir, "untouched");
  EXPECT_TRUE(Env().SoundAvailable);  // audio flags belong to the audio layer
  EXPECT_EQ(ExplorerSkinFile(Env().ProgramDir), "D:\\NAV\\Resour\\RARez.bmr");
}

TEST_F(EnvironmentTest, ScaleAndAcceptance) {
  EXPECT_DOUBLE_EQ(ScreenScaleOf(96), 1.0);
  EXPECT_DOUBLE_EQ(ScreenScaleOf(120), 1.25);
  EXPECT_DOUBLE_EQ(ScreenScaleOf(0), 0.1);
  EnvironmentOptions o = Screen(800, 600, 16);
  o.logicalDpi = 144;
  ASSERT_TRUE(MeasureEnvironment(o));
  EXPECT_DOUBLE_EQ(Env().ScreenScale, 1.5);

  EXPECT_TRUE(EnvironmentAcceptable(8, 640, 480));
  EXPECT_FALSE(EnvironmentAcceptable(4, 640, 480));
  EXPECT_FALSE(EnvironmentAcceptable(32, 639, 480));
  EXPECT_FALSE(EnvironmentAcceptable(32, 640, 479));
  EXPECT_FALSE(EnvironmentAcceptable(32, 600, 400));
}

TEST_F(EnvironmentTest, ScreenSpecText) {
  EnvironmentOptions o;
  ASSERT_TRUE(ParseScreenSpec("1024x768x16", o));
  EXPECT_EQ(o.screenWidth, 1024);
  EXPECT_EQ(o.screenHeight, 768);
  EXPECT_EQ(o.colourDepth, 16);
  ASSERT_TRUE(ParseScreenSpec("640X480", o));
  EXPECT_EQ(o.colourDepth, 32);
  for (const char* bad : {"", "640", "640x", "x480", "0x480", "640x480x0", "640x480x33", "-640x480",
                          "640x480x8x1", "640 x 480"})
    EXPECT_FALSE(ParseScreenSpec(bad, o)) << bad;
}

}  // namespace
