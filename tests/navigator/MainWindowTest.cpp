#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <optional>

#include "MainWindowFixture.h"
#include "controls/TotalPaintBox.h"
#include "controls/Transbut.h"
#include "formats/DemoFile.h"
#include "navigator/AdvPanel.h"
#include "navigator/Ceremony.h"
#include "navigator/uMain.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "support/TestSupport.h"

namespace {

TEST_F(MainWindowTest, StartUpShowsItsStepsInOrderAndCoversTheScreenAt800) {
  auto fm = Start("800x600x32");
  ASSERT_FALSE(fm->Terminated());
  EXPECT_EQ(intros_, 1);
  // The loading steps of the start-up, in order, with the skin loading's own steps between.
  const Steps expected = {{"Procurando por músicas", 1}, {"Armazenando posições", 3},
                          {"Inicializando mixer", 5},    {"Procurando por dados na mídia", 10},
                          {"Carregando imagens", 20},    {"Posicionando controles", 80},
                          {"Construindo menus", 90},     {"Engatilhando eventos", 99}};
  size_t at = 0;
  int lastSkinStep = 0;
  for (const auto& s : steps_) {
    if (at < expected.size() && s == expected[at]) {
      ++at;
    } else {
      // Between 20 and 80 the skin loader counts its controls.
      EXPECT_EQ(s.first, "Carregando imagens");
      EXPECT_GE(s.second, lastSkinStep);
      EXPECT_LE(s.second, 80);
      lastSkinStep = s.second;
    }
  }
  EXPECT_EQ(at, expected.size());
  EXPECT_GT(lastSkinStep, 21);

  EXPECT_TRUE(fm->isVisible());
  EXPECT_EQ(fm->size(), QSize(800, 600));
  EXPECT_EQ(fm->pbMain()->geometry(), fm->rect());
  EXPECT_FALSE(fm->BackgroundBitmap.IsEmpty());
  EXPECT_EQ(fm->BackgroundBitmap.Width(), 800);
  EXPECT_FALSE(fm->GradientBitmap.IsEmpty());
  EXPECT_FALSE(fm->GameMaskBitmap.IsEmpty());
  EXPECT_TRUE(Env().SkinDir.endsWith("Resour\\G8\\AnyPal\\"));
  EXPECT_EQ(fm->Settings.DemosRoot, "D:\\");  // first run: the program's drive
  EXPECT_GT(fm->Catalogue->Counts[0] + fm->Catalogue->Counts[1], 0);
  // The progress and intro windows are gone once the window is up.
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->isVisible() &&
                 (w->objectName() == "fmStatus" || w->objectName() == "fmCeremony"))
        << w->objectName().toStdString();
  // The hidden intro goes with the next turn of the event loop.
  ASSERT_TRUE(intro_);
  QCoreApplication::sendPostedEvents();
  EXPECT_FALSE(intro_);
  // The opening plays over the background; once it is over the list is up.
  QApplication::processEvents();
  EXPECT_TRUE(fm->Frames().Running());
  FinishOpening(*fm);
  QApplication::processEvents();

  // Every button has its pictures and sits where the table puts it; a list mode shows all but
  // the picture buttons.
  int buttons = 0;
  for (const SkinnedControl& c : fm->Controls()) {
    auto* b = qobject_cast<TGButton*>(c.Widget);
    if (!b) continue;
    ++buttons;
    EXPECT_FALSE(b->PicUp().IsEmpty()) << c.Name.toStdString();
    EXPECT_FALSE(b->PicMove().IsEmpty()) << c.Name.toStdString();
    EXPECT_EQ((c.Tag & 16) != 0, !b->PicUp2().IsEmpty()) << c.Name.toStdString();
    EXPECT_EQ(b->size(), QSize(b->PicUp().Width(), b->PicUp().Height()));
    EXPECT_EQ(b->pos(), QPoint(fm->Layout.ButtonPos(c.Name).X, fm->Layout.ButtonPos(c.Name).Y));
    const bool picture =
        QStringList{"gtbFull", "gtbPrevious", "gtbNext", "gtbPapel", "gtbAlign", "gtbHowTo"}
            .contains(c.Name);
    EXPECT_EQ(b->isVisible(), !picture) << c.Name.toStdString();
  }
  EXPECT_EQ(buttons, 22);
  EXPECT_FALSE(fm->Control("gtbBack")->isEnabled());

  // On screen: the background where no button lies, the button's own picture where one does.
  const QImage shot = fm->grab().toImage();
  EXPECT_EQ(shot.pixel(5, 300), fm->BackgroundBitmap.Pixel(5, 300));
  EXPECT_EQ(shot.pixel(5, 595), fm->BackgroundBitmap.Pixel(5, 595));
  auto* close = qobject_cast<TGButton*>(fm->Control("gtbClose"));
  const QPoint mid(close->width() / 2, close->height() / 2);
  EXPECT_EQ(shot.pixel(close->pos() + mid), close->PicUp().Pixel(mid.x(), mid.y()));
}

TEST_F(MainWindowTest, LargerScreenCentresTheDesign) {
  auto fm = Start("1024x768x32");
  ASSERT_FALSE(fm->Terminated());
  EXPECT_EQ(fm->pbMain()->geometry(), QRect(112, 84, 800, 600));
  EXPECT_EQ(fm->Layout.ButtonPos("gtbClose").X, 112 + 731);
}

TEST_F(MainWindowTest, SmallScreenTakesTheSmallSkinAndScalesTheLayout) {
  auto fm = Start("640x480x16");
  ASSERT_FALSE(fm->Terminated());
  EXPECT_TRUE(Env().SkinDir.endsWith("Resour\\G6\\AnyPal\\"));
  EXPECT_DOUBLE_EQ(fm->Layout.LayoutScale, 0.8);
  EXPECT_EQ(fm->pbMain()->geometry(), QRect(0, 0, 640, 480));
  const QPoint close(fm->Layout.ButtonPos("gtbClose").X, fm->Layout.ButtonPos("gtbClose").Y);
  EXPECT_EQ(close - fm->pbMain()->pos(), QPoint(585, 8));
  if (QWidget* b = fm->Control("gtbClose")) {
    EXPECT_EQ(b->pos() - fm->pbMain()->pos(), QPoint(585, 8));
  }
  EXPECT_EQ(fm->Layout.ListRegion.Left, 192);
  EXPECT_EQ(fm->Layout.ListRegion.Top, 143);
  EXPECT_EQ(fm->BackgroundBitmap.Width(), 640);
}

TEST_F(MainWindowTest, TooSmallOrTooFewColoursIsRefusedBeforeTheIntro) {
  for (const char* screen : {"600x480x32", "640x480x4"}) {
    dialogs_->Clear();
    auto fm = Start(screen);
    EXPECT_TRUE(fm->Terminated()) << screen;
    EXPECT_EQ(MessageCodes().back(), 0) << screen;
    EXPECT_EQ(intros_, 0) << screen;
    EXPECT_TRUE(steps_.empty()) << screen;
  }
  const auto messages = dialogs_->Messages();
  EXPECT_TRUE(messages.back().text.contains("\"640x480\". A atual é de\"640x480\""));
  EXPECT_TRUE(messages.back().text.contains("\"16\"."));
}

TEST_F(MainWindowTest, SelfInstallItemOnlyWithTheInstaller) {
  SeedEdition();
  {
    auto fm = Start("800x600x32");
    EXPECT_EQ(fm->miSelfInst->isVisible(), QFileInfo::exists(disc_ + "/instalar.exe"));
  }
  // The same disc without its installer.
  QTemporaryDir bare;
  auto fm = Start("800x600x32", CopyOfDisc(bare, {"instalar.exe"}));
  ASSERT_FALSE(fm->Terminated());
  EXPECT_GT(fm->Catalogue->Counts[0], 0) << "the disc really loads";
  EXPECT_TRUE(dialogs_->Messages().empty());
  EXPECT_FALSE(fm->miSelfInst->isVisible());
}

TEST_F(MainWindowTest, DisplayChangesWaitForActivationAndReloadWhatChanged) {
  auto fm = Start("800x600x32");
  const int skins = fm->SkinLoads();
  const int catalogues = fm->CatalogueLoads();

  // Only the depth: the other picture set, the same skin.
  fm->DisplayChanged(16, 800, 600);
  if (!fm->isActiveWindow()) {
    EXPECT_TRUE(fm->DisplayChangePending());
    EXPECT_EQ(fm->CatalogueLoads(), catalogues);
    fm->ApplicationActivated();
  }
  EXPECT_FALSE(fm->DisplayChangePending());
  EXPECT_EQ(Env().ColourDepth, 16);
  EXPECT_EQ(fm->CatalogueLoads(), catalogues + 1);
  EXPECT_EQ(fm->SkinLoads(), skins);

  // The size: the skin of the new size, laid out again.
  fm->DisplayChanged(16, 1024, 768);
  if (fm->DisplayChangePending()) fm->ApplicationActivated();
  EXPECT_EQ(fm->CatalogueLoads(), catalogues + 1);
  EXPECT_EQ(fm->SkinLoads(), skins + 1);
  EXPECT_EQ(Env().ScreenWidth, 1024);
  EXPECT_EQ(fm->size(), QSize(1024, 768));
  EXPECT_EQ(fm->pbMain()->geometry(), QRect(112, 84, 800, 600));

  // Too small: message 0 and the end.
  dialogs_->Clear();
  fm->DisplayChanged(16, 600, 400);
  if (fm->DisplayChangePending()) fm->ApplicationActivated();
  EXPECT_EQ(MessageCodes(), std::vector<int>{0});
  EXPECT_TRUE(fm->Terminated());
}

TEST_F(MainWindowTest, RefusedDisplayChangeNamesTheNewScreenNotTheOldOne) {
  SeedEdition();
  auto fm = Start("800x600x32");
  fm->DisplayChanged(4, 600, 400);
  if (fm->DisplayChangePending()) fm->ApplicationActivated();
  ASSERT_EQ(MessageCodes(), std::vector<int>{0});
  const QString text = dialogs_->Messages().back().text;
  EXPECT_TRUE(text.contains("A atual é de\"600x400\"")) << text.toStdString();
  EXPECT_TRUE(text.contains("O atual é de\"16\"")) << text.toStdString();
}

// Whether resting the pointer on the control brings up its tool tip. (Qt hides a tip only
// after a delay; the label is hidden at once here so that every try starts without one.)
bool TipShows(QWidget* control) {
  auto hideTip = [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "qtooltip_label") w->hide();
  };
  hideTip();
  const QPoint at(2, 2);
  QHelpEvent rest(QEvent::ToolTip, at, control->mapToGlobal(at));
  QApplication::sendEvent(control, &rest);
  const bool shown = QToolTip::isVisible() && QToolTip::text() == control->toolTip();
  hideTip();
  return shown;
}

TEST_F(MainWindowTest, ButtonsShowTheirHintsOnlyWhileTheHintPreferenceIsOn) {
  SeedEdition();
  QSettings(QSettings::NativeFormat, QSettings::UserScope, "velOrbint", "KVR")
      .setValue("Perso01", 13);  // everything on but the hints
  auto fm = Start("800x600x32");
  ASSERT_FALSE(fm->Terminated());
  QWidget* music = fm->Control("gtbMusic");
  ASSERT_FALSE(music->toolTip().isEmpty());
  EXPECT_FALSE(fm->ShowHint());
  EXPECT_FALSE(TipShows(music));
  fm->SetShowHint(true);
  EXPECT_TRUE(TipShows(music));
  fm->SetShowHint(false);
  EXPECT_FALSE(TipShows(music));
}

TEST_F(MainWindowTest, WakeRestoresAMinimisedWindow) {
  auto fm = Start("800x600x32");
  fm->showMinimized();
  QApplication::processEvents();
  fm->RestoreFromWake();
  QApplication::processEvents();
  EXPECT_FALSE(fm->isMinimized());
  EXPECT_TRUE(fm->isVisible());
}

TEST_F(MainWindowTest, ShutdownWritesWhatChangedAndTheFrameLoopSleepsWhenIdle) {
  {
    auto fm = Start("800x600x32");
    EXPECT_FALSE(fm->Frames().Scheduled() && fm->Frames().Runs() > 100);
    fm->Settings.DemosRoot = "E:\\";
    fm->Settings.BeamEffect = false;
    FinishOpening(*fm);
    fm->Adv->SetActive(false);  // the advertisements have frames due of their own
    // Nothing due: after the pending events the loop is asleep.
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    EXPECT_FALSE(fm->Frames().Scheduled());
  }
  QSettings kvr(QSettings::NativeFormat, QSettings::UserScope, "velOrbint", "KVR");
  EXPECT_EQ(kvr.value("DemosDrive").toString(), "E:\\");
  EXPECT_EQ(kvr.value("Perso01").toInt(), 11);
  EXPECT_EQ(kvr.value("KVRVer").toInt(), 9);
}

}  // namespace

namespace {

TEST_F(MainWindowTest, HeldVolumeButtonRampsThroughTheFrameLoopThenItSleeps) {
  auto fm = Start("800x600x32");
  FinishOpening(*fm);
  fm->Adv->SetActive(false);  // only the ramp wakes the loop here
  fm->SetVolumeLevel(50);
  for (int i = 0; i < 10; ++i) QApplication::processEvents();
  ASSERT_FALSE(fm->Frames().Scheduled());

  fm->VolumeButtonDown(VolumeRamp::Direction::Up);
  EXPECT_TRUE(fm->Frames().Scheduled());
  fm->Frames().RunOnce();  // the first run after the wake: nothing elapsed
  clock_.Advance(349);
  fm->Frames().RunOnce();
  EXPECT_EQ(fm->VolumeLevel(), 50);
  clock_.Advance(1);
  fm->Frames().RunOnce();  // 350 ms since the press
  EXPECT_EQ(fm->VolumeLevel(), 51);
  EXPECT_TRUE(fm->Frames().Scheduled());  // due again in 60 ms
  fm->VolumeButtonUp();
  EXPECT_EQ(fm->VolumeLevel(), 52);
  fm->Frames().RunOnce();
  EXPECT_FALSE(fm->Frames().Scheduled());

  fm->SetVolumeLevel(99);
  fm->VolumeButtonDown(VolumeRamp::Direction::Up);
  fm->VolumeButtonUp();
  EXPECT_EQ(fm->VolumeLevel(), 99);
}

// The loop as the timer runs it, on a clock that moves a millisecond at a time: the times at
// which the level changes are the repeat times a user holding the button sees.
TEST_F(MainWindowTest, HeldVolumeButtonRepeatsAfter350MsThenEvery60MsOnTheRunningLoop) {
  auto fm = Start("800x600x32");
  FinishOpening(*fm);
  fm->Adv->SetActive(false);  // only the ramp wakes the loop here
  fm->SetVolumeLevel(20);
  for (int i = 0; i < 10; ++i) QApplication::processEvents();
  ASSERT_FALSE(fm->Frames().Scheduled());

  const uint32_t pressedAt = clock_.NowMs();
  fm->VolumeButtonDown(VolumeRamp::Direction::Up);
  std::vector<uint32_t> changes;
  int level = fm->VolumeLevel();
  for (int ms = 0; ms <= 1000; ++ms) {
    QApplication::processEvents();  // a timer due now fires here
    fm->Frames().Tick();            // one armed for later fires when the clock reaches it
    if (fm->VolumeLevel() != level) {
      level = fm->VolumeLevel();
      changes.push_back(clock_.NowMs() - pressedAt);
    }
    clock_.Advance(1);
  }
  fm->VolumeButtonUp();
  std::vector<uint32_t> expected;
  for (uint32_t at = VolumeRamp::kFirstPeriodMs; at <= 1000; at += VolumeRamp::kRepeatPeriodMs)
    expected.push_back(at);
  EXPECT_EQ(changes, expected);
  EXPECT_EQ(fm->VolumeLevel(), 20 + int(expected.size()) + 1) << "the release adds one";
}

}  // namespace

namespace {

constexpr char kBackground[] = "QUARX/Resour/G8/AnyPal/gbttin.bpk";

// Everything but the background came from the disc: the demos and every control's pictures.
void ExpectLoadedButTheBackground(TfmMain& fm) {
  EXPECT_GT(fm.Catalogue->Counts[0], 0);
  for (const SkinnedControl& c : fm.Controls()) {
    if (auto* b = qobject_cast<TGButton*>(c.Widget); b && (c.Tag & 2)) {
      EXPECT_FALSE(b->PicUp().IsEmpty()) << c.Name.toStdString();
    }
  }
  EXPECT_FALSE(fm.GradientBitmap.IsEmpty());
}

TEST_F(MainWindowTest, UnusableBackgroundIsReportedAndStartUpGoesOn) {
  SeedEdition();
  QTemporaryDir dir;
  const QString root = CopyOfDisc(dir, {kBackground});
  testsupport::WriteFile(dir.filePath(kBackground), QByteArray(64, '\x07'));
  auto fm = Start("800x600x32", root);
  ASSERT_FALSE(fm->Terminated());
  ExpectLoadedButTheBackground(*fm);
  const auto messages = dialogs_->Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.back().code, 20);
  EXPECT_TRUE(messages.back().argument.endsWith("Resour\\G8\\AnyPal\\gbttin.bpk"));
  EXPECT_TRUE(fm->BackgroundBitmap.IsEmpty());
  EXPECT_EQ(steps_.back(), (std::pair<QString, int>("Engatilhando eventos", 99)));
  EXPECT_TRUE(fm->isVisible());
}

TEST_F(MainWindowTest, UnusableSkinContainerIsReportedOnceByNameAndStartUpGoesOn) {
  SeedEdition();
  constexpr char kSkin[] = "QUARX/Resour/G8/AnyPal/controls.bmr";
  QByteArray wrongVersion(64, '\0');
  wrongVersion[0] = 101;
  const std::vector<std::pair<const char*, std::optional<QByteArray>>> cases = {
      {"missing", std::nullopt}, {"wrong version", wrongVersion}};
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    dialogs_->Clear();
    steps_.clear();
    QTemporaryDir dir;
    const QString root = CopyOfDisc(dir, {kSkin});
    if (bytes) testsupport::WriteFile(dir.filePath(kSkin), *bytes);
    auto fm = Start("800x600x32", root);
    ASSERT_FALSE(fm->Terminated());
    QStringList texts;
    for (const auto& m : dialogs_->Messages()) texts << m.text;
    QStringList expected;
    if (bytes) expected << QString::fromUtf8("A versão do arquivo BMR é incorreta.");
    expected << QString::fromUtf8("Arquivo \"%1Resour\\G8\\AnyPal\\controls.bmr\" não encontrado.")
                    .arg(Env().ProgramDir);
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(steps_.back(), (std::pair<QString, int>("Engatilhando eventos", 99)));
    EXPECT_GT(fm->Catalogue->Counts[0], 0);
  }
}

TEST_F(MainWindowTest, FailedStartUpStillClearsTheIntroAndProgressWindows) {
  SeedEdition();
  QTemporaryDir dir;
  const QString root = CopyOfDisc(dir, {kBackground});  // no background at all
  auto fm = Start("800x600x32", root);
  // The open error ends the loading after the layout began; the error is reported...
  ExpectLoadedButTheBackground(*fm);
  const auto messages = dialogs_->Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.back().icon, platform::MsgIcon::Stop);
  EXPECT_TRUE(messages.back().text.contains("gbttin.bpk", Qt::CaseInsensitive))
      << messages.back().text.toStdString();
  EXPECT_NE(steps_.back().second, 99);
  // ...and nothing of the start-up stays on screen but the main window.
  EXPECT_TRUE(fm->isVisible());
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->isVisible() && w != fm.get() && !w->inherits("QMenu"))
        << w->objectName().toStdString();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
