#pragma once

// The main window's modes and how it changes between them. Plain code: the window supplies the
// drawing and the controls through ModeHost, the animations through ModeAnimator, and the
// machine decides the order of leaving, animations, entering and what follows.
//
// A change from one mode to another:
//   list -> list                 no animation, the new list at once
//   list -> description          "gbttout", then "dettin"
//   description -> list         "dettout", then "gbttin"
//   list or description -> 10/11  the exit animation of the old kind only
//   10/11 -> list or description   the entry animation of the new kind only
//   10 <-> 11                    none
// A request that arrives while a change is under way (the animations leave the event loop
// running) waits for that change to end; once the window is closing only the credits remain.

#include <QString>
#include <cstdint>

#include "navigator/Modes.h"

enum class AnimationKind : uint8_t {
  None = 0,
  ListEntry = 1,         // "gbttin"
  ListExit = 2,          // "gbttout"
  DescriptionEntry = 3,  // "dettin"
  DescriptionExit = 4,   // "dettout"
};

// The file name of a kind without folder and extension ("gbttin"); empty for None.
QString AnimationFileName(AnimationKind kind);

// Plays the animations for the machine.
class ModeAnimator {
 public:
  // Opens the movie of kind; false when it cannot be played (the animator tells the user
  // when the file is unusable, and stays quiet about a missing one).
  virtual bool OpenAnimation(AnimationKind kind) = 0;
  virtual bool AnimationOpen() const = 0;
  // One step: elapsedMs since the previous step, or -1 to draw the next frame now. True once
  // the movie is over.
  virtual bool StepAnimation(int elapsedMs) = 0;
  virtual void CloseAnimation() = 0;

 protected:
  ~ModeAnimator() = default;
};

// What the window does for the machine.
class ModeHost {
 public:
  // The controls and drawing of leaving oldMode for newMode (the return bookkeeping is the
  // machine's).
  virtual void LeaveModeControls(int oldMode, int newMode) = 0;
  virtual void SetBackEnabled(bool enabled) = 0;
  // Steps 2, 3 and 5 of finishing a change: the category pictures, the new mode's set-up and
  // drawing, the focus. leftMode is the list or description mode left, or -1.
  virtual void EnterMode(int mode, int previousMode, int leftMode) = 0;
  virtual void RunSelectedDemo() = 0;
  // The credits are up after the close button: wait a moment and close the window.
  virtual void CloseAfterCredits() = 0;

 protected:
  ~ModeHost() = default;
};

class ModeMachine {
 public:
  ModeMachine(ModeHost& host, ModeAnimator& animator) : host_(host), animator_(animator) {}

  // The opening: the list of category 0 comes in through its entry animation.
  void Start();
  // After a display change: the current mode is entered again the same way.
  void ReEnter();
  // The only way to change modes.
  void ChangeMode(int mode);
  // Fed by the frame loop while an animation runs.
  void StepAnimation(int elapsedMs);

  int CurrentMode() const { return currentMode_; }
  int TargetMode() const { return targetMode_; }
  int ReturnMode() const { return returnMode_; }
  int SavedReturnMode() const { return savedReturnMode_; }
  // The full-screen button and the emblem keep the return mode before they change.
  void SaveReturnMode() { savedReturnMode_ = returnMode_; }
  int LeftMode() const { return leftMode_; }
  bool Entering() const { return entering_; }
  AnimationKind Animation() const { return animation_; }
  bool Animating() const { return animation_ != AnimationKind::None; }
  bool BackEnabled() const { return backEnabled_; }
  bool Closing() const { return closing_; }
  // The close button: from now on only the credits, then the end.
  void SetClosing() { closing_ = true; }
  bool PendingRun() const { return pendingRun_; }
  // The demo runs once the change under way (or the next one) ends.
  void SetPendingRun() { pendingRun_ = true; }
  // A request waiting for the change under way; -1 for none.
  int DeferredMode() const { return deferredMode_; }

 private:
  enum class After : uint8_t { StartEntry, FinishModeChange };

  void EnterFromPartner(int mode);
  void LeaveMode(int oldMode, int newMode);
  void StartEntry();
  void EndAnimation();
  void FinishModeChange();

  ModeHost& host_;
  ModeAnimator& animator_;
  int currentMode_ = 0;
  int targetMode_ = 0;
  int returnMode_ = 0;
  int savedReturnMode_ = 0;
  int leftMode_ = -1;
  int deferredMode_ = -1;
  bool entering_ = false;
  bool backEnabled_ = false;
  bool closing_ = false;
  bool pendingRun_ = false;
  AnimationKind animation_ = AnimationKind::None;
  After after_ = After::FinishModeChange;
};
