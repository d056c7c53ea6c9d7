// The navigator on a disc made of hostile files: damaged description files among two good ones,
// damaged advertisements, effects and music, logos and credits picture, and pipes named like a
// description file, an advertisement, the music and the intro movie. Every category, entry,
// screenshot and the credits are visited on a clock the test advances; the damaged files are
// skipped or shown as their substitutes, exactly as each reader's failure rules say, and nothing
// blocks.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "HostileCorpus.h"
#include "controls/DrawListBox.h"
#include "controls/Transbut.h"
#include "formats/DemoFile.h"
#include "navigator/MainWindowFixture.h"
#include "common/Environment.h"
#include "navigator/Modes.h"
#include "navigator/NavigatorViews.h"
#include "platform/AudioSystem.h"
#include "platform/VirtualAudioOutput.h"

namespace {

constexpr const char* kEffects[] = {"MiniBts", "Details", "GetBack",  "fnext", "fback",
                                    "CapOpen", "panelin", "panelout", "1gen",  "2gen",
                                    "3gen",    "4gen",    "5gen"};

class HostileNavigatorTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (IsSkipped()) return;
    platform::SetAudioSystem(&card_);
    SeedEdition();
  }
  void TearDown() override {
    fm_.reset();
    platform::SetAudioSystem(nullptr);
  }

  static void Put(const QString& from, const QString& to) {
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to)) << to.toStdString();
  }
  void Pipe(const QString& path) {
    QFile::remove(path);
    ASSERT_TRUE(hostile::MakeFifo(path)) << path.toStdString();
    pipes_ << path;
  }

  // The sample disc with its readers' files replaced by the corpus.
  QString MakeDisc() {
    const QString root = CopyOfDisc(dir_);
    // Two good description files and every damaged one.
    QDir demos(root + "/SHAREDIR/DemoData");
    for (const QString& name : demos.entryList(QDir::Files))
      if (name != "bolha.dem" && name != "Dragao.dem") demos.remove(name);
    for (const QString& file : hostile::Files("dem"))
      Put(file, demos.filePath("h-" + QFileInfo(file).fileName()));
    Pipe(demos.filePath("pipe.dem"));

    // Advertisements: one good one among the damaged and the old crash, in every skin folder.
    for (const char* skin : {"G6/AnyPal", "G6/WinPal", "G8/AnyPal", "G8/WinPal"}) {
      QDir advs(root + "/QUARX/Resour/" + skin + "/Advs");
      for (const QString& name : advs.entryList(QDir::Files))
        if (name != "army.bpk") advs.remove(name);
      for (const QString& file : hostile::Files("bpk") + hostile::CrashInputs({"bpk"}))
        Put(file, advs.filePath("h-" + QFileInfo(file).fileName()));
      Pipe(advs.filePath("pipe.bpk"));
    }

    // Effects and music: every damaged wave somewhere, the first theme a pipe.
    const QString waves = root + "/QUARX/Resour/waves/";
    const QStringList bad = hostile::Files("wave") + hostile::CrashInputs({"wave_loader"});
    for (size_t i = 0; i < std::size(kEffects); ++i)
      Put(bad[qsizetype(i) % bad.size()], waves + kEffects[i] + ".wav");
    Pipe(waves + "Theme1.wav");
    Put(bad.last(), waves + "Theme2.wav");

    // The intro movie a pipe, the logos and the credits damaged pictures.
    const QString share = root + "/SHAREDIR/";
    Pipe(share + "abertura.avi");
    const QStringList pictures = hostile::Files("bmp");
    Put(pictures[0], share + "LOGO256.BMP");
    Put(pictures[1], share + "LOGORGB.BMP");
    Put(pictures[2], share + "credits.bmp");
    return root;
  }

  void Settle() {
    for (int i = 0; i < 2000 && fm_->Modes().Entering(); ++i) {
      clock_.Advance(15);
      fm_->Frames().RunOnce();
    }
    ASSERT_FALSE(fm_->Modes().Entering());
    QApplication::processEvents();
  }
  void Key(int key) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fm_.get();
    QTest::keyClick(target, Qt::Key(key));
  }
  void Click(TGButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->width() / 2, b->height() / 2));
  }
  // A while of the frame loop: the advertisement panel and the music go through their files.
  void Idle(int ms) {
    for (int t = 0; t < ms; t += 15) {
      clock_.Advance(15);
      fm_->Frames().RunOnce();
    }
  }

  QTemporaryDir dir_;
  QStringList pipes_;
  platform::VirtualAudioSystem card_;
  std::unique_ptr<TfmMain> fm_;
};

TEST_F(HostileNavigatorTest, EveryCategoryEntryAndScreenshotOfAHostileDiscIsVisited) {
  const QString root = MakeDisc();
  hostile::PipeWatchdog watchdog(pipes_, std::chrono::seconds(60));
  // The intro movie is asked for: the pipe in its place must not be waited on.
  fm_ = Start("800x600x32", root, [](NavigatorOptions& o) { o.IntroMovie = true; });
  ASSERT_FALSE(fm_->Terminated());
  EXPECT_EQ(intros_, 1);
  FinishOpening(*fm_);

  // The catalogue: the two good files and those damaged ones whose texts are whole; the rest
  // (wrong signature, cut texts, lengths past the end, the pipe) skipped without a word.
  int listed = 0;
  for (int c = 0; c < kCategoryCount; ++c) listed += fm_->Catalogue->Counts[size_t(c)];
  DemoCatalogue readable;
  const int expected = LoadCatalogue(readable, Env().ShareDir, Env().ColourDepth);
  EXPECT_EQ(listed, expected);
  EXPECT_GE(listed, 2);
  EXPECT_LT(listed, 2 + hostile::Files("dem").size());

  auto* list = qobject_cast<TDrawBox*>(fm_->Control("lbDemos"));
  ASSERT_TRUE(list);
  int pages = 0, screenshots = 0;
  for (int c = 0; c < kCategoryCount; ++c) {
    fm_->ChangeMode(c);
    Settle();
    ASSERT_EQ(fm_->Modes().CurrentMode(), c);
    for (int i = 0; i < fm_->Catalogue->Counts[size_t(c)]; ++i) {
      SCOPED_TRACE(testing::Message() << "category " << c << " entry " << i + 1);
      list->setFocus();
      list->SetItemIndex(i);
      Key(Qt::Key_Return);
      Settle();
      ASSERT_EQ(fm_->Modes().CurrentMode(), c + 5);
      ++pages;
      Idle(200);  // the logo is drawn at an idle step
      TGButton* next = fm_->Button("gtbNext");
      for (int k = 0; k < 12 && next->Visible() && next->Enabled(); ++k) {
        Click(next);
        ++screenshots;
      }
      if (fm_->Button("gtbFull")->Visible()) {
        Click(fm_->Button("gtbFull"));
        Settle();
        EXPECT_EQ(fm_->Modes().CurrentMode(), kViewerMode);
        Key(Qt::Key_Escape);
        Settle();
      }
      Key(Qt::Key_Escape);
      Settle();
      EXPECT_EQ(fm_->Modes().CurrentMode(), c);
    }
  }
  EXPECT_EQ(pages, listed);

  // The credits with a damaged picture, then a while for the advertisements and the music.
  fm_->ChangeMode(kCreditsMode);
  Settle();
  Key(Qt::Key_Escape);
  Settle();
  Idle(30000);

  // The movie that cannot be played is the one message, the player's error dialog; damaged
  // pictures, sounds and animations are silent failures.
  std::vector<std::string> texts;
  for (const auto& m : dialogs_->Messages())
    texts.push_back(std::to_string(m.code) + " " + m.text.toStdString());
  ASSERT_EQ(texts.size(), 1u) << testing::PrintToString(texts);
  EXPECT_EQ(texts[0].rfind("-1 Problemas com o reprodutor de AVI. ErrorCode: ", 0), 0u) << texts[0];
  EXPECT_FALSE(watchdog.Fired()) << "a reader blocked on a pipe";
}

}  // namespace
