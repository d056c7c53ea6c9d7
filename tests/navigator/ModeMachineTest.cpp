#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "navigator/ModeMachine.h"

namespace {

// Records what the machine asks of the window and plays every animation in a fixed number of
// steps.
class Recorder : public ModeHost, public ModeAnimator {
 public:
  bool OpenAnimation(AnimationKind kind) override {
    if (unplayable.count(kind)) return false;
    open_ = true;
    framesLeft_ = frames;
    played.push_back(kind);
    return true;
  }
  bool AnimationOpen() const override { return open_; }
  bool StepAnimation(int elapsedMs) override {
    steps.push_back(elapsedMs);
    return --framesLeft_ <= 0;
  }
  void CloseAnimation() override { open_ = false; }

  void LeaveModeControls(int oldMode, int newMode) override {
    log.push_back("leave " + std::to_string(oldMode) + ">" + std::to_string(newMode));
  }
  void SetBackEnabled(bool enabled) override { back = enabled; }
  void EnterMode(int mode, int previousMode, int leftMode) override {
    log.push_back("enter " + std::to_string(mode) + " from " + std::to_string(previousMode) +
                  " left " + std::to_string(leftMode));
  }
  void RunSelectedDemo() override { log.push_back("run"); }
  void CloseAfterCredits() override { log.push_back("close"); }

  int frames = 3;
  std::set<AnimationKind> unplayable;
  std::vector<AnimationKind> played;
  std::vector<int> steps;
  std::vector<std::string> log;
  bool back = true;

 private:
  bool open_ = false;
  int framesLeft_ = 0;
};

using A = AnimationKind;

// The machine with its recorder, and the steps a user takes.
struct Rig {
  // Feeds the frame loop's steps until the change is over.
  void Settle() {
    for (int i = 0; i < 100 && m.Animating(); ++i) m.StepAnimation(45);
    ASSERT_FALSE(m.Animating());
  }
  void Go(int mode) {
    m.ChangeMode(mode);
    Settle();
  }
  void Reset() {
    r.played.clear();
    r.log.clear();
    r.steps.clear();
  }
  // The opening, then the mode "from" reached as a user would.
  void Reach(int from) {
    m.Start();
    Settle();
    if (IsListMode(from)) {
      Go(from);
    } else if (IsDescriptionMode(from)) {
      Go(CategoryOfMode(from));
      Go(from);
    } else if (from == kViewerMode) {
      Go(5);
      m.SaveReturnMode();
      Go(kViewerMode);
    } else {
      m.SaveReturnMode();
      Go(kCreditsMode);
    }
    ASSERT_EQ(m.CurrentMode(), from);
    Reset();
  }

  Recorder r;
  ModeMachine m{r, r};
};

class ModeMachineTest : public ::testing::Test, public Rig {};

std::vector<A> ExpectedAnimations(int from, int to) {
  std::vector<A> v;
  if (IsListMode(from) && IsListMode(to)) return v;
  if (IsListMode(from)) v.push_back(A::ListExit);
  if (IsDescriptionMode(from)) v.push_back(A::DescriptionExit);
  if (IsListMode(to)) v.push_back(A::ListEntry);
  if (IsDescriptionMode(to)) v.push_back(A::DescriptionEntry);
  return v;
}

TEST_F(ModeMachineTest, OpeningEntersTheFirstListThroughItsEntryAnimation) {
  m.Start();
  EXPECT_TRUE(m.Entering());
  EXPECT_EQ(m.CurrentMode(), 5);  // the partner stands in while the list comes in
  EXPECT_EQ(m.TargetMode(), 0);
  EXPECT_EQ(r.played, std::vector<A>{A::ListEntry});
  EXPECT_EQ(r.steps.front(), -1);  // the first frame is drawn at once
  Settle();
  EXPECT_EQ(m.CurrentMode(), 0);
  EXPECT_FALSE(m.Entering());
  EXPECT_FALSE(r.back);
  EXPECT_EQ(m.ReturnMode(), 0);
  EXPECT_EQ(r.log, std::vector<std::string>{"enter 0 from 5 left -1"});
}

TEST_F(ModeMachineTest, EveryModeToEveryMode) {
  for (int from = 0; from < kModeCount; ++from) {
    for (int to = 0; to < kModeCount; ++to) {
      SCOPED_TRACE("from " + std::to_string(from) + " to " + std::to_string(to));
      Rig rig;
      Recorder& r = rig.r;
      ModeMachine& m = rig.m;
      rig.Reach(from);
      const int returnBefore = m.ReturnMode();
      const bool backBefore = r.back;
      rig.Go(to);
      EXPECT_EQ(m.CurrentMode(), to);
      EXPECT_FALSE(m.Entering());
      if (from == to) {
        EXPECT_TRUE(r.log.empty());
        EXPECT_EQ(m.ReturnMode(), returnBefore);
        EXPECT_EQ(r.back, backBefore);
        continue;
      }
      EXPECT_EQ(r.played, ExpectedAnimations(from, to));
      ASSERT_EQ(r.log.size(), 2u);
      EXPECT_EQ(r.log[0], "leave " + std::to_string(from) + ">" + std::to_string(to));
      EXPECT_EQ(r.log[1], "enter " + std::to_string(to) + " from " + std::to_string(from) +
                              " left " + std::to_string(from <= 9 ? from : -1));
      if (from <= 9) {
        // The page or list left is where Back goes.
        EXPECT_EQ(m.ReturnMode(), from);
        EXPECT_TRUE(r.back);
      } else {
        // The viewer and the credits give back the return mode saved when they opened.
        EXPECT_EQ(m.ReturnMode(), m.SavedReturnMode());
        if (from == kViewerMode) {
          EXPECT_EQ(m.ReturnMode(), 0);  // the list that opened the page
          EXPECT_TRUE(r.back);
        } else {
          // The credits were opened from the first list while Back was disabled: it is
          // disabled again, wherever they are left for.
          EXPECT_EQ(m.ReturnMode(), 0);
          EXPECT_FALSE(r.back);
        }
      }
    }
  }
}

TEST_F(ModeMachineTest, ListsSwapWithoutAnimationAndTheShownListIgnoresItsButton) {
  Reach(0);
  m.ChangeMode(0);
  EXPECT_TRUE(r.log.empty());
  m.ChangeMode(3);
  EXPECT_FALSE(m.Entering());  // done at once, no frame step needed
  EXPECT_TRUE(r.played.empty());
  EXPECT_EQ(m.CurrentMode(), 3);
  EXPECT_EQ(m.ReturnMode(), 0);
}

TEST_F(ModeMachineTest, BackFromTheViewerReturnsToThePageAndThenToItsList) {
  Reach(2);
  Go(7);
  EXPECT_EQ(m.ReturnMode(), 2);
  m.SaveReturnMode();
  Go(kViewerMode);
  EXPECT_EQ(m.ReturnMode(), 7);
  Reset();
  Go(m.ReturnMode());  // Enter, Esc or a click in the viewer
  EXPECT_EQ(m.CurrentMode(), 7);
  EXPECT_EQ(r.played, std::vector<A>{A::DescriptionEntry});
  EXPECT_EQ(m.ReturnMode(), 2);
  EXPECT_TRUE(r.back);
  Go(m.ReturnMode());  // the page's own Back
  EXPECT_EQ(m.CurrentMode(), 2);
}

TEST_F(ModeMachineTest, CreditsFromAListLeaveBackAsItWas) {
  Reach(0);
  ASSERT_FALSE(r.back);
  m.SaveReturnMode();
  Go(kCreditsMode);
  EXPECT_TRUE(r.back);
  Go(m.ReturnMode());
  EXPECT_EQ(m.CurrentMode(), 0);
  EXPECT_FALSE(r.back);

  // After another list, Back is enabled and stays so across the credits.
  Go(1);
  ASSERT_TRUE(r.back);
  m.SaveReturnMode();
  Go(kCreditsMode);
  Go(m.ReturnMode());
  EXPECT_EQ(m.CurrentMode(), 1);
  EXPECT_TRUE(r.back);
  EXPECT_EQ(m.ReturnMode(), 0);
}

TEST_F(ModeMachineTest, AnAnimationThatCannotPlayIsSkippedAndTheChangeCompletes) {
  r.unplayable = {A::ListExit, A::DescriptionEntry};
  Reach(0);
  Go(5);
  EXPECT_EQ(m.CurrentMode(), 5);
  EXPECT_TRUE(r.played.empty());
  r.unplayable = {A::ListEntry};
  Go(kCreditsMode);
  Go(0);
  EXPECT_EQ(m.CurrentMode(), 0);
  EXPECT_EQ(r.played, std::vector<A>{A::DescriptionExit});
}

TEST_F(ModeMachineTest, ARequestDuringAChangeWaitsForItsEnd) {
  Reach(0);
  m.ChangeMode(5);
  ASSERT_TRUE(m.Entering());
  m.ChangeMode(2);  // a category button while the page comes in
  m.ChangeMode(3);  // the last request wins
  EXPECT_EQ(m.TargetMode(), 5);
  Settle();
  EXPECT_EQ(m.CurrentMode(), 3);
  EXPECT_EQ(r.played, (std::vector<A>{A::ListExit, A::DescriptionEntry, A::DescriptionExit,
                                      A::ListEntry}));
  // Asking for the mode being entered cancels what waited.
  Reset();
  m.ChangeMode(8);
  m.ChangeMode(1);
  m.ChangeMode(8);
  Settle();
  EXPECT_EQ(m.CurrentMode(), 8);
  EXPECT_EQ(r.log.size(), 2u);
}

TEST_F(ModeMachineTest, PendingRunRunsOnceWhenTheChangeEnds) {
  Reach(1);
  m.SetPendingRun();
  m.ChangeMode(6);
  EXPECT_TRUE(std::find(r.log.begin(), r.log.end(), "run") == r.log.end());
  Settle();
  EXPECT_EQ(r.log.back(), "run");
  EXPECT_FALSE(m.PendingRun());
  Reset();
  Go(1);
  EXPECT_TRUE(std::find(r.log.begin(), r.log.end(), "run") == r.log.end());
}

TEST_F(ModeMachineTest, ClosingGoesThroughTheCreditsAndNowhereElse) {
  Reach(6);
  m.SetClosing();
  m.ChangeMode(kCreditsMode);
  m.ChangeMode(0);  // a button still under the pointer while the page goes
  Settle();
  EXPECT_EQ(m.CurrentMode(), kCreditsMode);
  EXPECT_EQ(r.log.back(), "close");
  // Already on the credits (opened by the emblem): closing does not wait for a change.
  Rig credits;
  credits.Reach(kCreditsMode);
  credits.m.SetClosing();
  credits.m.ChangeMode(kCreditsMode);
  EXPECT_EQ(credits.r.log, std::vector<std::string>{"close"});
}

TEST_F(ModeMachineTest, ADisplayChangeEntersTheModeAgainFromItsPartner) {
  Reach(7);
  m.ReEnter();
  EXPECT_EQ(m.CurrentMode(), 0);  // partner of a page
  Settle();
  EXPECT_EQ(m.CurrentMode(), 7);
  EXPECT_EQ(r.played, std::vector<A>{A::DescriptionEntry});
  EXPECT_EQ(r.log, std::vector<std::string>{"enter 7 from 0 left -1"});
  // In the middle of a change: the change's target is entered.
  Reset();
  m.ChangeMode(2);
  m.ReEnter();
  EXPECT_FALSE(r.played.empty());
  Settle();
  EXPECT_EQ(m.CurrentMode(), 2);
  EXPECT_EQ(r.played.back(), A::ListEntry);
  // The viewer comes back without an animation.
  Reset();
  m.SaveReturnMode();
  Go(7);
  m.SaveReturnMode();
  Go(kViewerMode);
  Reset();
  m.ReEnter();
  EXPECT_EQ(m.CurrentMode(), kViewerMode);
  EXPECT_TRUE(r.played.empty());
}

TEST(ModeNumbers, CategoriesPartnersAndFiles) {
  EXPECT_EQ(CategoryOfMode(3), 3);
  EXPECT_EQ(CategoryOfMode(8), 3);
  EXPECT_EQ(PartnerMode(2), 5);
  EXPECT_EQ(PartnerMode(9), 0);
  EXPECT_EQ(PartnerMode(kViewerMode), 5);
  EXPECT_EQ(PartnerMode(kCreditsMode), 0);
  EXPECT_EQ(AnimationFileName(A::DescriptionExit), "dettout");
  EXPECT_TRUE(AnimationFileName(A::None).isEmpty());
}

}  // namespace
