// The modes on the real window with the sample disc: a tour from the opening to the end of
// the program, driven by keys, clicks and a clock the test advances.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <set>

#include "MainWindowFixture.h"
#include "SoundWindowFixture.h"
#include "controls/DrawListBox.h"
#include "controls/TotalPaintBox.h"
#include "controls/Transbut.h"
#include "formats/BPK.h"
#include "formats/DemoFile.h"
#include "navigator/AdvPanel.h"
#include "navigator/ModeAnimation.h"
#include "navigator/NavigatorViews.h"
#include "navigator/uInfo.h"
#include "platform/Timer.h"
#include "support/StandIns.h"

namespace {

// Counts the paints of a widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
  int Paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++Paints;
    return false;
  }
};

class ModesWindowTest : public MainWindowTest {
 protected:
  void Open(const QString& screen = "800x600x32") {
    fm = Start(screen, {}, [this](NavigatorOptions& o) {
      o.OnEffect = [this](int e, int c) { effects.emplace_back(e, c); };
      o.OnAnimationFrame = [this] {
        // Drawn and put on screen: the box was painted since the frame before.
        if (paints) {
          EXPECT_GT(paints->Paints, paintsAtLastFrame) << "a frame missed the screen";
          paintsAtLastFrame = paints->Paints;
        }
        if (fm) shown.push_back(Shown());
      };
    });
    ASSERT_FALSE(fm->Terminated());
    paints = std::make_unique<PaintCounter>(fm->pbMain());
  }

  // The animation area of pbMain as it is on screen.
  QImage Shown() {
    const LayoutRect& a = fm->Layout.AnimationRegion;
    return fm->pbMain()->grab(QRect(a.Left, a.Top, a.Width(), a.Height())).toImage().convertToFormat(
        QImage::Format_RGB32);
  }
  // The frames of an animation file, cut to the animation area.
  std::vector<QImage> FramesOf(const QString& name) {
    TBPKMovie movie(false);
    EXPECT_TRUE(movie.Open(Env().SkinDir + name + ".bpk"));
    std::vector<QImage> frames;
    platform::Bitmap b;
    const LayoutRect& a = fm->Layout.AnimationRegion;
    while (movie.ReadFrame(b, 32))
      frames.push_back(b.Image().copy(a.Left, a.Top, a.Width(), a.Height()).convertToFormat(
          QImage::Format_RGB32));
    return frames;
  }

  // Runs the frame loop on the test clock until the change under way is over.
  void Settle() {
    for (int i = 0; i < 2000 && fm->Modes().Entering(); ++i) {
      clock_.Advance(15);
      fm->Frames().RunOnce();
    }
    ASSERT_FALSE(fm->Modes().Entering());
    QApplication::processEvents();
  }
  void Click(const char* button) {
    TGButton* b = fm->Button(QLatin1String(button));
    ASSERT_TRUE(b);
    ASSERT_TRUE(b->Visible() && b->Enabled()) << button;
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->width() / 2, b->height() / 2));
  }
  // A key pressed and released where the keyboard is.
  void Key(int key, Qt::KeyboardModifiers mods = {}) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fm.get();
    QTest::keyClick(target, Qt::Key(key), mods);
  }
  int Mode() const { return fm->Modes().CurrentMode(); }
  bool Has(int effect, int channel) const {
    return std::find(effects.begin(), effects.end(), std::make_pair(effect, channel)) !=
           effects.end();
  }

  std::unique_ptr<TfmMain> fm;
  std::unique_ptr<PaintCounter> paints;
  std::vector<std::pair<int, int>> effects;
  std::vector<QImage> shown;  // the animation area as on screen after each frame
  int paintsAtLastFrame = -1;
  int framesShown = 0;
};

TEST_F(ModesWindowTest, TourFromTheOpeningToTheEnd) {
  Open();
  // The opening: the first list comes in through "gbttin", every frame once, in order.
  ASSERT_TRUE(fm->Modes().Entering());
  EXPECT_EQ(Mode(), 5);
  shown.insert(shown.begin(), Shown());  // the first frame, drawn as the window showed
  Settle();
  const std::vector<QImage> gbttin = FramesOf("gbttin");
  ASSERT_EQ(shown.size(), gbttin.size());
  for (size_t i = 0; i < shown.size(); ++i) EXPECT_TRUE(shown[i] == gbttin[i]) << "frame " << i;
  EXPECT_EQ(Mode(), 0);
  EXPECT_TRUE(Has(6, 5));
  EXPECT_TRUE(fm->ShowsAlternatePicture("gtbjogos"));
  EXPECT_FALSE(fm->Button("gtbFull")->Visible());
  EXPECT_FALSE(fm->Button("gtbBack")->Enabled());
  auto* list = qobject_cast<TDrawBox*>(fm->Control("lbDemos"));
  ASSERT_TRUE(list->Visible());

  // Keys move the selection; Enter opens the page through "gbttout" and "dettin".
  list->setFocus();
  list->SetItemIndex(0);
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  EXPECT_EQ(list->ItemIndex(), 2);
  shown.clear();
  effects.clear();
  Key(Qt::Key_Return);
  EXPECT_TRUE(fm->Modes().Entering());
  Settle();
  EXPECT_EQ(Mode(), 5);
  EXPECT_EQ(fm->Views->State().DescribedEntry, 3);
  EXPECT_EQ(effects, (std::vector<std::pair<int, int>>{{1, 2}, {7, 5}, {6, 5}}));
  const std::vector<QImage> out = FramesOf("gbttout"), in = FramesOf("dettin");
  ASSERT_EQ(shown.size(), out.size() + in.size());
  for (size_t i = 0; i < shown.size(); ++i)
    EXPECT_TRUE(shown[i] == (i < out.size() ? out[i] : in[i - out.size()])) << "frame " << i;
  EXPECT_TRUE(fm->Button("gtbFull")->Visible());
  EXPECT_TRUE(fm->Button("gtbBack")->Enabled());
  EXPECT_TRUE(fm->ShowsAlternatePicture("gtbjogos"));
  // The page's screenshot is on screen in its box.
  auto* tela = qobject_cast<TTotalPaintBox*>(fm->Control("pbTela"));
  ASSERT_TRUE(tela->Visible());
  const QImage screenshot = tela->grab().toImage();
  EXPECT_NE(screenshot.pixel(screenshot.width() / 2, screenshot.height() / 2), qRgb(0, 0, 0));

  // Page Down scrolls the text when it is longer than the page; the next button steps the
  // screenshot.
  list->setFocus();
  Key(Qt::Key_PageDown);
  if (fm->Views->List().LastFirst() > 1) {
    EXPECT_GT(fm->Views->State().FirstVisible, 1);
  }
  ASSERT_TRUE(fm->Button("gtbNext")->Enabled());
  Click("gtbNext");
  EXPECT_EQ(fm->Views->State().ImageNumber, 2);

  // Full screen and back: Esc acts when it comes up.
  Click("gtbFull");
  Settle();
  EXPECT_EQ(Mode(), kViewerMode);
  EXPECT_FALSE(fm->pbMain()->Visible());
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fm.get();
  QTest::keyPress(target, Qt::Key_Escape);
  EXPECT_FALSE(fm->Modes().Entering());
  QTest::keyRelease(target, Qt::Key_Escape);
  EXPECT_TRUE(fm->Modes().Entering());
  Settle();
  EXPECT_EQ(Mode(), 5);
  EXPECT_EQ(fm->Modes().ReturnMode(), 0);

  // Esc on the page is Back: to the list.
  Key(Qt::Key_Escape);
  Settle();
  EXPECT_EQ(Mode(), 0);

  // Another category: no animation.
  effects.clear();
  Click("gtbApps");
  EXPECT_FALSE(fm->Modes().Entering());
  EXPECT_EQ(Mode(), 1);
  EXPECT_EQ(effects, (std::vector<std::pair<int, int>>{{9, 0}}));
  EXPECT_TRUE(fm->ShowsAlternatePicture("gtbApps"));
  EXPECT_FALSE(fm->ShowsAlternatePicture("gtbjogos"));

  // The emblem to the credits and back with Enter.
  auto* logo = qobject_cast<TTotalPaintBox*>(fm->Control("pbLogo"));
  QTest::mousePress(logo, Qt::LeftButton, {}, QPoint(50, 40));
  EXPECT_EQ(logo->cursor().shape(), Qt::ClosedHandCursor);
  QTest::mouseRelease(logo, Qt::LeftButton, {}, QPoint(50, 40));
  Settle();
  EXPECT_EQ(Mode(), kCreditsMode);
  Key(Qt::Key_Return);
  Settle();
  EXPECT_EQ(Mode(), 1);

  // The close button: the credits, a moment, the end.
  Click("gtbClose");
  Settle();
  EXPECT_EQ(Mode(), kCreditsMode);
  ASSERT_TRUE(fm->CloseTimer());
  Key(Qt::Key_Return);  // the credits can no longer be left
  EXPECT_FALSE(fm->Modes().Entering());
  clock_.Advance(1499);
  EXPECT_FALSE(fm->CloseTimer()->Tick());
  EXPECT_TRUE(fm->isVisible());
  clock_.Advance(1);
  EXPECT_TRUE(fm->CloseTimer()->Tick());
  EXPECT_FALSE(fm->isVisible());
}

// The keys that scroll the list leave the row they reach highlighted and framed in red, as the
// keys that only move the highlight do; the other rows carry no frame.
TEST_F(ModesWindowTest, KeysThatScrollTheListFrameTheRowTheyReach) {
  Open();
  Settle();
  auto* list = qobject_cast<TDrawBox*>(fm->Control("lbDemos"));
  const int rows = list->Items().Count();
  const int h = list->ItemHeight();
  ASSERT_GT(rows, 1);
  ASSERT_GT(fm->Catalogue->Counts[0], rows) << "the games must not fit the list";
  // The rows whose left edge shows the red focus frame.
  auto framed = [&] {
    std::vector<int> out;
    for (int row = 0; row < rows; ++row) {
      bool red = false;
      for (int y = row * h; y < (row + 1) * h && !red; ++y)
        for (int x = 0; x < 3 && !red; ++x) red = list->Canvas().Pixel(x, y) == qRgb(255, 0, 0);
      if (red) out.push_back(row);
    }
    return out;
  };
  list->setFocus();
  list->SetItemIndex(rows - 1);
  const int last = rows - 1;
  struct Step {
    int key;
    int first;  // FirstVisible afterwards
    int row;    // the selected row afterwards
  };
  const int lastFirst = fm->Catalogue->Counts[0] - rows + 1;
  const Step steps[] = {
      {Qt::Key_Down, 2, last},                                    // one line down
      {Qt::Key_PageDown, std::min(2 + rows - 1, lastFirst), last},  // a page down
      {Qt::Key_Home, 1, 0},
      {Qt::Key_End, lastFirst, last},
  };
  for (const Step& step : steps) {
    Key(step.key);
    EXPECT_EQ(fm->Views->State().FirstVisible, step.first) << step.key;
    EXPECT_EQ(list->ItemIndex(), step.row) << step.key;
    EXPECT_EQ(fm->Views->State().SelectedEntry[0], step.first + step.row) << step.key;
  }
  // Up to the top row, then past it: the view scrolls and row 0 keeps the frame.
  for (int i = 0; i < last; ++i) Key(Qt::Key_Up);
  ASSERT_EQ(list->ItemIndex(), 0);
  Key(Qt::Key_Up);
  EXPECT_EQ(fm->Views->State().FirstVisible, lastFirst - 1);
  EXPECT_EQ(framed(), std::vector<int>{0});
  Key(Qt::Key_PageUp);
  EXPECT_EQ(fm->Views->State().FirstVisible, std::max(1, lastFirst - 1 - (rows - 1)));
  EXPECT_EQ(framed(), std::vector<int>{0});
  // Down the page, then past its last row.
  for (int i = 0; i < last; ++i) Key(Qt::Key_Down);
  const int before = fm->Views->State().FirstVisible;
  Key(Qt::Key_Down);
  EXPECT_EQ(fm->Views->State().FirstVisible, before + 1);
  EXPECT_EQ(framed(), std::vector<int>{last});
  Key(Qt::Key_PageDown);
  EXPECT_EQ(framed(), std::vector<int>{last});
}

TEST_F(ModesWindowTest, EnterAndEscWithShiftDoNothing) {
  Open();
  Settle();
  fm->gtbFullClick();  // not shown in a list, but the viewer opens all the same
  Settle();
  ASSERT_EQ(Mode(), kViewerMode);
  Key(Qt::Key_Return, Qt::ShiftModifier);
  Key(Qt::Key_Escape, Qt::ShiftModifier);
  EXPECT_FALSE(fm->Modes().Entering());
  EXPECT_EQ(Mode(), kViewerMode);
  // Held down, the key repeats; nothing happens until the real release.
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fm.get();
  QTest::keyPress(target, Qt::Key_Return);
  QTest::keyEvent(QTest::Release, target, Qt::Key_Return, {}, -1);
  QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Return, {}, QString(), /*autorep=*/true);
  QApplication::sendEvent(target, &repeatUp);
  Settle();
  EXPECT_EQ(Mode(), 0);
}

TEST_F(ModesWindowTest, AltF5ShowsTheInformationWindowInEveryMode) {
  Open();
  Settle();
  std::vector<int> modes;
  for (int step = 0; step < 4; ++step) {
    modes.push_back(Mode());
    dialogs_->Clear();
    Key(Qt::Key_F5, Qt::AltModifier);
    ASSERT_EQ(dialogs_->Records().size(), 1u);
    EXPECT_EQ(dialogs_->Records()[0].kind, platform::ScriptedDialogService::Record::Form);
    if (step == 0) fm->ChangeMode(6);
    if (step == 1) fm->ChangeMode(kViewerMode);
    if (step == 2) fm->ChangeMode(kCreditsMode);
    Settle();
  }
  EXPECT_EQ(modes, (std::vector<int>{0, 6, kViewerMode, kCreditsMode}));
}

TEST_F(ModesWindowTest, OptionsMenuFollowsTheModeAndTheHiddenBeamItemKeepsItsBit) {
  SeedEdition();
  QSettings(QSettings::NativeFormat, QSettings::UserScope, "velOrbint", "KVR")
      .setValue("Perso01", 11);  // the beams off
  Open();
  Settle();
  ASSERT_FALSE(fm->Settings.BeamEffect);
  // The beam item's first caption whatever the stored bit; its own captions once used.
  EXPECT_EQ(fm->miDesligarLG->text(), "Desligar &Arco Voltaico");
  QAction* copy = fm->popMain->findChild<QAction*>("miCopyAll");
  fm->popMainPopup();
  EXPECT_FALSE(copy->isEnabled());
  EXPECT_FALSE(fm->miDesligarLG->isVisible());
  EXPECT_EQ(fm->miDesligarDicas->text(), "Desligar &Dicas");
  fm->miDesligarDicasClick();
  EXPECT_EQ(fm->miDesligarDicas->text(), "Ligar &Dicas");
  EXPECT_FALSE(fm->ShowHint());
  EXPECT_EQ(fm->Settings.PreferenceWord() & 2, 0);

  const bool beam = fm->Settings.BeamEffect;
  fm->miDesligarLGClick();
  EXPECT_EQ(fm->Settings.BeamEffect, !beam);
  EXPECT_EQ((fm->Settings.PreferenceWord() & 4) != 0, !beam);
  EXPECT_EQ(fm->miDesligarLG->text(), beam ? "Ligar &Feixes" : "Desligar &Feixes");
  EXPECT_FALSE(fm->miDesligarLG->isVisible());

  fm->ChangeMode(5 + 0);
  Settle();
  fm->popMainPopup();
  EXPECT_TRUE(copy->isEnabled());
}

TEST_F(ModesWindowTest, ButtonsHaveAccessibleNamesAndTheKeyboardReachesThem) {
  Open();
  Settle();
  for (const QString& name : {QString("gtbjogos"), QString("gtbBack"), QString("gtbOpts")}) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(fm->Button(name));
    ASSERT_TRUE(a) << name.toStdString();
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << name.toStdString();
  }
  QAccessibleInterface* back = QAccessible::queryAccessibleInterface(fm->Button("gtbBack"));
  EXPECT_EQ(back->text(QAccessible::Name), "Voltar ao modo anterior");
  EXPECT_TRUE(back->state().disabled);
  EXPECT_TRUE(QAccessible::queryAccessibleInterface(fm->Button("gtbFull"))->state().invisible);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(fm->Control("lbDemos"))->role(),
            QAccessible::List);

  // Tab reaches the shown buttons only, and Space presses the one it is on.
  std::set<QString> reached;
  fm->Control("lbDemos")->setFocus();
  for (int i = 0; i < 40; ++i) {
    Key(Qt::Key_Tab);
    if (QWidget* f = QApplication::focusWidget()) reached.insert(f->objectName());
  }
  EXPECT_TRUE(reached.count("gtbApps"));
  EXPECT_TRUE(reached.count("gtbClose"));
  EXPECT_FALSE(reached.count("gtbFull"));
  EXPECT_FALSE(reached.count("gtbBack"));  // disabled
  fm->Button("gtbUtils")->setFocus();
  Key(Qt::Key_Space);
  EXPECT_EQ(Mode(), 4);
  // A screen reader's press acts as a click.
  QAccessibleInterface* games = QAccessible::queryAccessibleInterface(fm->Button("gtbjogos"));
  games->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(Mode(), 0);
}

TEST_F(ModesWindowTest, ADisplayChangeEntersTheModeAgain) {
  Open();
  Settle();
  fm->ChangeMode(6);
  Settle();
  shown.clear();
  fm->activateWindow();
  fm->DisplayChanged(32, 640, 480);
  if (fm->DisplayChangePending()) fm->ApplyDisplayChange();
  EXPECT_TRUE(fm->Modes().Entering());
  Settle();
  EXPECT_EQ(Mode(), 6);
  EXPECT_FALSE(shown.empty());
  EXPECT_EQ(fm->BackgroundBitmap.Width(), 640);
}

}  // namespace

namespace {

// A copy of the disc whose page animations are missing, truncated or no animation at all.
TEST_F(ModesWindowTest, DamagedAnimationsLeaveTheNavigatorUsable) {
  QTemporaryDir root;
  ASSERT_TRUE(soundwindow::CopyTree(disc_ + "/QUARX", root.path() + "/QUARX"));
  ASSERT_TRUE(soundwindow::CopyTree(disc_ + "/SHAREDIR", root.path() + "/SHAREDIR"));
  const QString skin = root.path() + "/QUARX/Resour/G8/AnyPal/";
  ASSERT_TRUE(QFile::remove(skin + "dettin.bpk"));
  QFile out(skin + "gbttout.bpk");
  ASSERT_TRUE(out.open(QIODevice::ReadWrite));
  ASSERT_TRUE(out.resize(out.size() / 3));
  out.close();
  testsupport::WriteFile(skin + "dettout.bpk", QByteArray("not an animation"));

  fm = Start("800x600x32", root.path(), [this](NavigatorOptions& o) {
    o.OnAnimationFrame = [this] { ++framesShown; };
  });
  ASSERT_FALSE(fm->Terminated());
  FinishOpening(*fm);
  dialogs_->Clear();
  framesShown = 0;
  fm->Views->State().DescribedMode = 5;
  fm->Views->State().DescribedEntry = 1;
  fm->ChangeMode(5);  // the truncated exit, then no entry at all
  for (int i = 0; i < 500 && fm->Modes().Entering(); ++i) {
    clock_.Advance(15);
    fm->Frames().RunOnce();
  }
  EXPECT_EQ(Mode(), 5);
  EXPECT_GT(framesShown, 0);
  EXPECT_TRUE(MessageCodes().empty());
  fm->ChangeMode(0);  // an unusable exit: message 20 with its path, then the list comes in
  for (int i = 0; i < 500 && fm->Modes().Entering(); ++i) {
    clock_.Advance(15);
    fm->Frames().RunOnce();
  }
  EXPECT_EQ(Mode(), 0);
  ASSERT_EQ(MessageCodes(), std::vector<int>{20});
  EXPECT_TRUE(dialogs_->Messages()[0].text.contains("dettout.bpk"));
}

}  // namespace

namespace {

// The advertisement panel plays below the lists only, and its frames reach the panel's box.
TEST_F(ModesWindowTest, AdvertisementsPlayInTheListsAndStopElsewhere) {
  Open();
  Settle();
  auto* box = qobject_cast<TTotalPaintBox*>(fm->Control("pbAdv"));
  ASSERT_TRUE(box);
  ASSERT_TRUE(fm->Adv);
  EXPECT_TRUE(box->Visible());
  EXPECT_TRUE(fm->Adv->Active());
  ASSERT_GT(fm->Adv->FramesDrawn, 0);
  const QImage first = box->grab().toImage();
  int drawn = fm->Adv->FramesDrawn;
  for (int i = 0; i < 40; ++i) {
    clock_.Advance(50);
    fm->Frames().RunOnce();
  }
  QApplication::processEvents();
  EXPECT_GT(fm->Adv->FramesDrawn, drawn);
  EXPECT_FALSE(box->grab().toImage() == first) << "the panel still shows its first frame";

  // Another list keeps it playing; a page stops and hides it.
  Click("gtbApps");
  EXPECT_TRUE(fm->Adv->Active());
  auto* list = qobject_cast<TDrawBox*>(fm->Control("lbDemos"));
  list->setFocus();
  list->SetItemIndex(0);
  Key(Qt::Key_Down);
  Key(Qt::Key_Up);
  Key(Qt::Key_Return);
  Settle();
  ASSERT_EQ(Mode(), 6);
  EXPECT_FALSE(fm->Adv->Active());
  EXPECT_FALSE(box->Visible());
  drawn = fm->Adv->FramesDrawn;
  clock_.Advance(1000);
  fm->Frames().RunOnce();
  EXPECT_EQ(fm->Adv->FramesDrawn, drawn);

  // Back to the list: it comes back and draws at once.
  Key(Qt::Key_Escape);
  Settle();
  EXPECT_TRUE(box->Visible());
  EXPECT_TRUE(fm->Adv->Active());
  EXPECT_GT(fm->Adv->FramesDrawn, drawn);
}

// A click on the second advertisement starts its trailer from the disc.
TEST_F(ModesWindowTest, AClickOnTheSecondAdvertisementStartsItsTrailer) {
  testsupport::StandIns tools;
  qputenv("QUARX_STANDIN_LOG", tools.LogPath().toLocal8Bit());
  Open();
  Settle();
  dialogs_->Clear();
  auto* box = qobject_cast<TTotalPaintBox*>(fm->Control("pbAdv"));
  for (int i = 0; i < 2000 && fm->Adv->AdvShownIndex != 1; ++i) {
    clock_.Advance(20);
    fm->Frames().RunOnce();
  }
  ASSERT_EQ(fm->Adv->AdvShownIndex, 1);
  const QPoint middle(box->width() / 2, box->height() / 2);
  QTest::mouseMove(box, middle);
  QTest::mousePress(box, Qt::LeftButton, {}, middle);
  EXPECT_EQ(box->cursor().shape(), Qt::ClosedHandCursor);
  QTest::mouseRelease(box, Qt::LeftButton, {}, middle);
  qunsetenv("QUARX_STANDIN_LOG");
  ASSERT_TRUE(tools.WaitForCalls(1));
  EXPECT_EQ(QFileInfo(tools.Calls().at(0).at(0)).fileName().toLower(), "furydemo.exe");
  EXPECT_EQ(MessageCodes(), std::vector<int>{});
}

// Install on a list opens the selected demo's page, then runs the demo from there; the
// options menu's copy item opens the copy window for the page's demo.
TEST_F(ModesWindowTest, InstallOnAListOpensThePageThenRunsAndTheMenuCopies) {
  testsupport::StandIns tools;
  qputenv("QUARX_STANDIN_LOG", tools.LogPath().toLocal8Bit());
  Open();
  Settle();
  auto* list = qobject_cast<TDrawBox*>(fm->Control("lbDemos"));
  list->setFocus();
  list->SetItemIndex(0);
  Key(Qt::Key_Down);
  Key(Qt::Key_Up);
  ASSERT_EQ(fm->Views->State().SelectedEntry[0], 1);
  // Whatever the demo asks (the choice window, a question), the answer is to go on.
  dialogs_->QueueFormAnswer([](QDialog& form) {
    if (auto* install = form.findChild<QPushButton*>("btInstNow")) install->click();
    return form.result();
  });
  for (int i = 0; i < 3; ++i) dialogs_->QueueMessageAnswer(platform::MsgResult::Yes);
  effects.clear();
  Click("gtbInst");
  EXPECT_EQ(effects.front(), std::make_pair(5, 6));
  Settle();
  EXPECT_EQ(Mode(), 5);
  EXPECT_EQ(fm->Views->State().DescribedEntry, 1);
  ASSERT_TRUE(tools.WaitForCalls(1));
  qunsetenv("QUARX_STANDIN_LOG");
  const QStringList call = tools.Calls().at(0);
  EXPECT_TRUE(call.at(0).startsWith(disc_ + "/")) << call.join(' ').toStdString();
  EXPECT_FALSE(fm->Modes().PendingRun());

  // The copy item of the options menu: the copy window for this demo.
  const size_t recordsBefore = dialogs_->Records().size();
  dialogs_->QueueFormAnswer([](QDialog&) { return 0; });
  QAction* copy = fm->popMain->findChild<QAction*>("miCopyAll");
  ASSERT_TRUE(copy);
  fm->popMainPopup();
  ASSERT_TRUE(copy->isEnabled());
  copy->trigger();
  ASSERT_GT(dialogs_->Records().size(), recordsBefore);
  EXPECT_EQ(dialogs_->Records().back().kind, platform::ScriptedDialogService::Record::Form);
}

// Pixels of a picture that are not black.
int Lit(const QImage& image) {
  int lit = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) lit += (image.pixel(x, y) & 0xFFFFFF) != 0;
  return lit;
}

TEST_F(ModesWindowTest, ThePageShowsItsScreenshotAndTheListHidesIt) {
  Open();
  Settle();
  auto* tela = qobject_cast<TTotalPaintBox*>(fm->Control("pbTela"));
  auto* list = qobject_cast<TDrawBox*>(fm->Control("lbDemos"));
  EXPECT_FALSE(tela->Visible());
  list->setFocus();
  list->SetItemIndex(0);
  Key(Qt::Key_Return);
  Settle();
  ASSERT_EQ(Mode(), 5);
  EXPECT_TRUE(tela->Visible());
  const QImage first = tela->grab().toImage();
  EXPECT_GT(Lit(first), first.width() * first.height() / 2) << "the screenshot stays black";
  Click("gtbNext");
  EXPECT_NE(tela->grab().toImage(), first);
  Click("gtbBack");
  Settle();
  EXPECT_FALSE(tela->Visible());
}

}  // namespace
