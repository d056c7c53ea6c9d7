// Each effect is heard as its action begins, before the action shows anything: on the virtual
// card, at the first paint of what the action draws (or as its window comes up), the effect's
// samples are already in the output, on both back-ends.

#include <gtest/gtest.h>

#include <QDialog>
#include <QMenu>
#include <QTest>
#include <functional>

#include "SoundWindowFixture.h"
#include "platform/Dialogs.h"
#include "controls/DrawListBox.h"
#include "controls/TotalPaintBox.h"
#include "navigator/NavigatorViews.h"
#include "formats/DemoFile.h"
#include "navigator/uMain.h"

namespace {

using soundwindow::BackEnd;
using soundwindow::EffectValue;

// The first sample the card plays from now on, rendering 10 ms: what the listener hears as a
// picture appears.
int HearNow(platform::VirtualAudioSystem& card) {
  card.AdvanceMs(10);
  const QByteArray out = card.TakeOutput();
  return out.size() >= 2 ? int16_t(uint16_t(uint8_t(out[0]) | (uint8_t(out[1]) << 8))) : 0;
}

// At the first paint of a widget after Arm, hears the card and notes how many effects had been
// asked for.
class FirstPaint : public QObject {
 public:
  FirstPaint(platform::VirtualAudioSystem& card, const std::vector<int>& effects)
      : card_(card), effects_(effects) {}
  void Arm(QWidget* target) {
    if (target_) target_->removeEventFilter(this);
    target_ = target;
    target_->installEventFilter(this);
    painted_ = false;
    heard_ = 0;
    effectsBefore_ = 0;
  }
  bool Painted() const { return painted_; }
  int Heard() const { return heard_; }
  size_t EffectsBefore() const { return effectsBefore_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched == target_ && e->type() == QEvent::Paint && !painted_) {
      painted_ = true;
      effectsBefore_ = effects_.size();
      heard_ = HearNow(card_);
    }
    return false;
  }

 private:
  platform::VirtualAudioSystem& card_;
  const std::vector<int>& effects_;
  QPointer<QWidget> target_;
  bool painted_ = false;
  int heard_ = 0;
  size_t effectsBefore_ = 0;
};

// The test's scripted dialogs, heard as each window comes up: a dialog is what some actions
// show first.
class HearingDialogs final : public platform::DialogService {
 public:
  HearingDialogs(platform::DialogService& script, std::function<void()> onShow)
      : script_(script), onShow_(std::move(onShow)) {}
  platform::MsgResult ShowMessage(const platform::MessageBoxRequest& request) override {
    onShow_();
    return script_.ShowMessage(request);
  }
  std::optional<QString> OpenFile(const platform::FileDialogRequest& request) override {
    onShow_();
    return script_.OpenFile(request);
  }
  std::optional<QString> SaveFile(const platform::FileDialogRequest& request) override {
    onShow_();
    return script_.SaveFile(request);
  }
  std::optional<QString> ChooseFolder(const platform::FileDialogRequest& request) override {
    onShow_();
    return script_.ChooseFolder(request);
  }
  int RunForm(QDialog& form) override {
    onShow_();
    return script_.RunForm(form);
  }

 private:
  platform::DialogService& script_;
  std::function<void()> onShow_;
};

class EffectOrder : public soundwindow::SoundWindowTest,
                    public ::testing::WithParamInterface<BackEnd> {
 protected:
  void SetUp() override {
    SoundWindowTest::SetUp();
    moreOptions_ = [this](NavigatorOptions& o) {
      o.OnEffect = [this](int effect, int) { effects_.push_back(effect); };
    };
  }

  // Runs the change under way to its end on the test clock, then lets its sounds play out.
  void Finish() {
    for (int i = 0; i < 2000 && fm_->Modes().Entering(); ++i) {
      clock_.Advance(15);
      fm_->Frames().RunOnce();
    }
    ASSERT_FALSE(fm_->Modes().Entering());
    Render(300);
  }

  // act must ask for effect and draw on content; the effect sounds at content's first paint,
  // and nothing sounded before the action.
  void Expect(const char* what, int effect, QWidget* content, const std::function<void()>& act) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(content);
    ASSERT_TRUE(Silent(Render(20)));
    effects_.clear();
    FirstPaint paint(card_, effects_);
    paint.Arm(content);
    act();
    QCoreApplication::processEvents();  // a paint only scheduled comes now
    ASSERT_TRUE(paint.Painted());
    ASSERT_GE(paint.EffectsBefore(), 1u);
    EXPECT_EQ(effects_.front(), effect) << "the effect comes first";
    // What sounds at the paint: the effects asked for by then, together.
    int expected = 0;
    for (size_t i = 0; i < paint.EffectsBefore(); ++i) expected += EffectValue(effects_[i]);
    EXPECT_EQ(paint.Heard(), expected);
    Finish();
  }

  // act must ask for effect and then show a window (a dialog, a question): the effect sounds
  // as that window comes up.
  void ExpectBeforeWindow(const char* what, int effect, const std::function<void()>& act) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(Silent(Render(20)));
    effects_.clear();
    bool shown = false;
    int heard = 0;
    std::vector<int> asked;
    HearingDialogs hearing(*dialogs_.operator->(), [&] {
      if (shown) return;
      shown = true;
      asked = effects_;
      heard = HearNow(card_);
    });
    platform::SetDialogs(&hearing);
    act();
    platform::SetDialogs(dialogs_.operator->());
    ASSERT_TRUE(shown);
    EXPECT_EQ(asked, std::vector<int>{effect});
    EXPECT_EQ(heard, EffectValue(effect));
    Finish();
  }

  void Click(const char* name) {
    TGButton* b = Button(name);
    ASSERT_TRUE(b && b->Visible() && b->Enabled()) << name;
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(b->width() / 2, b->height() / 2));
  }
  QWidget* Widget(const char* name) { return fm_->Control(QString::fromLatin1(name)); }

  std::vector<int> effects_;
};

INSTANTIATE_TEST_SUITE_P(Both, EffectOrder, ::testing::Values(BackEnd::Player, BackEnd::Mixer),
                         [](const auto& info) {
                           return info.param == BackEnd::Player ? "Player" : "Mixer";
                         });

TEST_P(EffectOrder, EachEffectSoundsAfterItsActionBeginsAndBeforeItsDrawing) {
  Seed(/*musicWanted=*/false);
  StartWith(GetParam(), MakeDisc({}));
  Render(300);  // the opening's panel
  QWidget* main = fm_->pbMain();

  // The category buttons: the list swaps through a block transition at once.
  const char* const categories[] = {"gtbApps", "gtbInter", "gtbSavers", "gtbUtils", "gtbjogos"};
  const int categoryEffect[] = {9, 10, 11, 12, 8};
  for (int c = 0; c < 5; ++c)
    Expect(categories[c], categoryEffect[c], main, [&] { Click(categories[c]); });
  ASSERT_EQ(fm_->Modes().CurrentMode(), 0);

  // A demo of the list opens its page: "Details", then the exit animation's first frame.
  auto* list = qobject_cast<TDrawBox*>(Widget("lbDemos"));
  ASSERT_TRUE(list);
  list->setFocus();
  list->SetItemIndex(0);
  Expect("a demo opened", 1, main, [&] { QTest::keyClick(list, Qt::Key_Return); });
  ASSERT_EQ(fm_->Modes().CurrentMode(), 5);

  // The screenshot buttons of the page.
  ASSERT_GE(fm_->Catalogue->Entry(0, fm_->Views->State().DescribedEntry).ImageCount, 2);
  Expect("gtbNext", 3, Widget("pbTela"), [&] { Click("gtbNext"); });
  Expect("gtbPrevious", 4, Widget("pbTela"), [&] { Click("gtbPrevious"); });
  // A small button that redraws the text.
  Expect("gtbAlign", 0, list, [&] { Click("gtbAlign"); });

  // Actions that show a window first: run or install (the choice window, cancelled), the
  // wallpaper (its file dialog, cancelled), DirectX (its question, answered no).
  ExpectBeforeWindow("gtbInst", 5, [&] { Click("gtbInst"); });
  ASSERT_EQ(fm_->Modes().CurrentMode(), 5);
  ExpectBeforeWindow("gtbPapel", 0, [&] { Click("gtbPapel"); });
  dialogs_->QueueMessageAnswer(platform::MsgResult::No);
  ExpectBeforeWindow("gtbdx", 0, [&] { Click("gtbdx"); });
  // The options menu comes up over the window.
  ASSERT_TRUE(fm_->popMain);
  Expect("gtbOpts", 0, fm_->popMain, [&] { Click("gtbOpts"); });
  fm_->popMain->close();

  // Full screen and back to the page, then back to the list.
  Expect("gtbFull", 0, main, [&] { Click("gtbFull"); });
  ASSERT_EQ(fm_->Modes().CurrentMode(), kViewerMode);
  QTest::keyClick(fm_.get(), Qt::Key_Escape);
  Finish();
  ASSERT_EQ(fm_->Modes().CurrentMode(), 5);
  Expect("gtbBack", 2, main, [&] { Click("gtbBack"); });
  EXPECT_EQ(fm_->Modes().CurrentMode(), 0);
}

}  // namespace
