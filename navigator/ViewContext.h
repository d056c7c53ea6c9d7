#pragma once

// What the views of the main window draw on and with: the window's controls, the skin
// pictures and layout, the catalogue, the views' memory, and the few things they ask of the
// window (effects, mode changes, the install button). The window fills it; tests fill it with
// controls of their own.

#include <QWidget>
#include <functional>

#include "navigator/Layout.h"
#include "navigator/ViewState.h"
#include "platform/Bitmap.h"
#include "platform/Clock.h"

class TDrawBox;
class TPosBar;
class TTotalPaintBox;
struct DemoCatalogue;

struct ViewControls {
  TDrawBox* List = nullptr;       // lbDemos
  TPosBar* Bar = nullptr;         // PosBar
  TTotalPaintBox* Main = nullptr; // pbMain, the background and everything drawn on it
  TTotalPaintBox* Tela = nullptr; // pbTela, the screenshot box, viewer and credits
  QWidget* Emblem = nullptr;      // pbLogo
};

struct ViewSkin {
  const platform::Bitmap* Background = nullptr;
  const platform::Bitmap* Gradient = nullptr;
  const platform::Bitmap* Indicator = nullptr;
  const platform::Bitmap* GameMask = nullptr;
  const ::Layout* Layout = nullptr;
};

// Calls out of the views; any may be left empty.
struct ViewHooks {
  std::function<void(int effect, int channel)> PlayEffect;
  std::function<void(int mode)> ChangeMode;
  std::function<void(bool enabled)> EnableInstall;
  std::function<bool()> InstallEnabled;
  // True when the alignment button shows its alternate picture: ragged description lines.
  std::function<bool()> Ragged;
  // The main window is visible and the application active (the list may take the focus).
  std::function<bool()> WindowActive;
  // A logo waits for the next frame step: the frame loop must run.
  std::function<void()> LogoScheduled;
  // A list mode was entered from a mode that is no list: the advertisement panel comes back.
  std::function<void(int previousMode)> ListEnteredFromElsewhere;
};

struct ViewContext {
  ViewControls Controls;
  ViewSkin Skin;
  const DemoCatalogue* Catalogue = nullptr;
  platform::Bitmap* Screenshot = nullptr;  // the decoded screenshot at its own size
  ViewState State;
  ViewHooks Hooks;
  platform::Clock* Clock = nullptr;  // paces the transitions; the default clock when null
  // Sleeps between the pieces of a transition; tests advance their clock instead.
  std::function<void(int ms)> Sleep;
  // Called after every piece of a transition reached the screen (for tests that look).
  std::function<void()> TransitionShown;

  int RowIndent() const;
  QPoint MainOffset(const QWidget* child) const;  // child's position relative to pbMain
};
