// The intro movie: played to its end by the clock, cut short by a key or a click, and the
// error dialog when the movie is missing or damaged (then straight to the logo).

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "common/Environment.h"
#include "navigator/Ceremony.h"
#include "platform/AudioSystem.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/VirtualAudioOutput.h"
#include "support/TestSupport.h"

namespace {

class CeremonyMovieTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disc_ = testsupport::SampleDisc();
    if (!QFileInfo(disc_ + "/SHAREDIR/abertura.avi").isFile()) GTEST_SKIP() << "no sample disc";
    platform::SetAudioSystem(&card_);
    platform::Drives() = platform::DriveMap::Default(disc_);
    EnvironmentOptions options;
    options.programDirHost = disc_ + "/QUARX";
    options.screenWidth = 800;
    options.screenHeight = 600;
    options.colourDepth = 16;
    ASSERT_TRUE(MeasureEnvironment(options));
  }
  void TearDown() override { platform::SetAudioSystem(nullptr); }

  std::unique_ptr<TfmCeremony> Intro() {
    return std::make_unique<TfmCeremony>(QRect(0, 0, 800, 600), nullptr, true, &card_.Clock());
  }
  void Play(TfmCeremony& intro, int ms) {
    for (int t = 0; t < ms && !intro.Finished(); t += 20) {
      intro.Player()->WaitDecodedUntil(intro.Player()->PositionMs() + 200);
      card_.AdvanceMs(20);
      intro.Player()->Tick();
    }
  }

  QString disc_;
  platform::VirtualAudioSystem card_;
  platform::ScopedScriptedDialogs dialogs_;
};

TEST_F(CeremonyMovieTest, PlaysToItsEndThenShowsTheLogo) {
  auto intro = Intro();
  ASSERT_TRUE(intro->MovieAvailable());
  EXPECT_TRUE(intro->Playing());
  EXPECT_FALSE(intro->Finished());
  EXPECT_TRUE(intro->Player()->Playing());
  EXPECT_EQ(intro->Player()->DisplayRect(), QRect(0, 0, 400, 300));
  Play(*intro, 2900);
  EXPECT_FALSE(intro->Finished());  // three seconds long
  Play(*intro, 400);
  EXPECT_TRUE(intro->Finished());
  EXPECT_FALSE(intro->Playing());
  EXPECT_FALSE(intro->Logo().IsEmpty());
  EXPECT_EQ(intro->Player()->DroppedFrames(), 0);
  EXPECT_TRUE(dialogs_->Messages().empty());
}

TEST_F(CeremonyMovieTest, AKeyOrAClickEndsTheMovieAtOnce) {
  auto intro = Intro();
  intro->show();
  Play(*intro, 500);
  QTest::keyRelease(intro.get(), Qt::Key_Space);
  EXPECT_TRUE(intro->Finished());
  EXPECT_FALSE(intro->Player()->IsOpen());
  EXPECT_FALSE(intro->Logo().IsEmpty());
  QTest::keyRelease(intro.get(), Qt::Key_Space);  // afterwards: nothing
  EXPECT_TRUE(intro->Finished());

  auto second = Intro();
  second->show();
  QWidget* box = second->findChild<QWidget*>(QStringLiteral("pbMovie"));
  ASSERT_NE(box, nullptr);
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(200, 150));
  EXPECT_TRUE(second->Finished());
}

TEST_F(CeremonyMovieTest, MissingOrDamagedMovieShowsTheErrorDialogThenTheLogo) {
  QTemporaryDir share;
  Env().ShareDir = share.path() + "/";  // a host folder stands for itself
  auto missing = Intro();
  EXPECT_FALSE(missing->MovieAvailable());
  EXPECT_TRUE(missing->Finished());
  ASSERT_EQ(dialogs_->Messages().size(), 1u);
  EXPECT_TRUE(dialogs_->Messages()[0].text.startsWith(
      "Problemas com o reprodutor de AVI. ErrorCode: 275\r\n"));
  EXPECT_EQ(dialogs_->Messages()[0].icon, platform::MsgIcon::Stop);

  dialogs_->Clear();
  testsupport::WriteFile(share.filePath("abertura.avi"), "RIFF....AVI garbage garbage");
  auto damaged = Intro();
  EXPECT_FALSE(damaged->MovieAvailable());
  ASSERT_EQ(dialogs_->Messages().size(), 1u);
  EXPECT_TRUE(dialogs_->Messages()[0].text.startsWith(
      "Problemas com o reprodutor de AVI. ErrorCode: 296\r\n"));
}

}  // namespace
