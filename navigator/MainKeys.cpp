// The keys of the window (previewed before the focused control) and of the list box. Enter,
// Esc and the viewer's arrows act when the key comes up, so a key held down does nothing
// until it is released.

#include <QGuiApplication>
#include <algorithm>

#include "controls/DrawListBox.h"
#include "controls/KeyPreview.h"
#include "controls/PosBar.h"
#include "controls/Transbut.h"
#include "navigator/ListKeys.h"
#include "navigator/NavigatorViews.h"
#include "navigator/RowPainter.h"
#include "navigator/uInfo.h"
#include "navigator/uMain.h"
#include "platform/Dialogs.h"

namespace {

bool IsEnter(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The list box and its bar as the list keys see them.
class WindowListKeys final : public ListKeyTarget {
 public:
  WindowListKeys(TfmMain& fm, TDrawBox& list, TPosBar& bar) : fm_(fm), list_(list), bar_(bar) {}

  bool InListMode() const override { return IsListMode(fm_.Modes().CurrentMode()); }
  int ItemIndex() const override { return list_.ItemIndex(); }
  void SetItemIndex(int row) override { list_.SetItemIndex(row); }
  int RowCount() const override { return list_.Items().Count(); }
  int FirstVisible() const override { return fm_.Views->State().FirstVisible; }
  int LastFirstVisible() const override {
    return std::max(1, bar_.Max() - RowCount() + 1);
  }
  int BarPosition() const override { return bar_.Position(); }
  int BarMin() const override { return bar_.Min(); }
  int BarMax() const override { return bar_.Max(); }
  int BarVisibleElements() const override { return bar_.VisElems(); }
  int BarLargeStep() const override { return bar_.ChangeLarge(); }
  void SetBarPosition(int position) override {
    bar_.SetPosition(position);
    // The view follows the bar: its position is the last visible item.
    fm_.Views->List().PosBarScroll(bar_.Position());
  }
  // The row the keys scrolled to shows the highlight and the focus frame at once, as the
  // row the selection moved to without scrolling does.
  void RedrawRowSelected(int row) override {
    fm_.Views->List().RedrawRow(row, kRowSelected | kRowFocused);
  }
  void ListClick() override { fm_.lbDemosClick(); }
  void MouseRun() override { fm_.Views->List().MouseRun(); }

 private:
  TfmMain& fm_;
  TDrawBox& list_;
  TPosBar& bar_;
};

}  // namespace

void TfmMain::WireKeys() {
  keyPreview_ = new TKeyPreview(this);
  keyPreview_->OnKeyDown = [this](QObject*, int& key, Qt::KeyboardModifiers shift) {
    FormKeyDown(key, shift);
  };
  keyPreview_->OnKeyUp = [this](QObject*, int& key, Qt::KeyboardModifiers shift) {
    FormKeyUp(key, shift);
  };
  if (auto* list = qobject_cast<TDrawBox*>(Control(QStringLiteral("lbDemos")))) {
    list->SetOverKeyDown(true);
    list->OnKeyDown = [this](QObject*, int& key, Qt::KeyboardModifiers) { lbDemosKeyDown(key); };
    list->setAccessibleName(QStringLiteral("Lista de demos"));
  }
}

void TfmMain::lbDemosKeyDown(int& key) {
  auto* list = qobject_cast<TDrawBox*>(Control(QStringLiteral("lbDemos")));
  auto* bar = qobject_cast<TPosBar*>(Control(QStringLiteral("PosBar")));
  if (!list || !bar || !Views) return;
  WindowListKeys target(*this, *list, *bar);
  ListKeyDown(target, key);
}

void TfmMain::FormKeyDown(int& key, Qt::KeyboardModifiers shift) {
  const int mode = modes_->CurrentMode();
  const bool alt = shift & Qt::AltModifier;
  if (alt && key == Qt::Key_F4) {
    // Not consumed: the platform's own close request may follow.
    gtbCloseClick();
    return;
  }
  if (alt && key == Qt::Key_F5) {
    TfmInfo info(Env().ScreenScale, SoundPlayer != nullptr, this);
    platform::Dialogs().RunForm(info);
    return;
  }
  if (IsEnter(key) || key == Qt::Key_Escape) {
    if (telaMouseUpAttached_) RememberedKey = key;
  } else if (key == Qt::Key_Left || key == Qt::Key_Right) {
    TGButton* arrow = Button(key == Qt::Key_Left ? QStringLiteral("gtbPrevious")
                                                 : QStringLiteral("gtbNext"));
    if (mode == kViewerMode && arrow && arrow->Enabled()) {
      RememberedKey = key;
      key = 0;
    }
  }
}

void TfmMain::FormKeyUp(int& key, Qt::KeyboardModifiers shift) {
  // A key held down repeats its release too; only the real one counts.
  if (RememberedKey == 0 || TKeyPreview::AutoRepeat()) return;
  const int remembered = RememberedKey;
  RememberedKey = 0;
  if (key != remembered && !(IsEnter(key) && IsEnter(remembered))) return;
  if (shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) return;
  if (QGuiApplication::mouseButtons() != Qt::NoButton) return;
  const int mode = modes_->CurrentMode();
  bool acted = false;
  if (IsEnter(key)) {
    if (IsScreenMode(mode) && telaMouseUpAttached_) {
      ChangeMode(modes_->ReturnMode());
      acted = true;
    }
  } else if (key == Qt::Key_Escape) {
    if (telaMouseUpAttached_) {
      if (IsScreenMode(mode)) {
        ChangeMode(modes_->ReturnMode());
        acted = true;
      } else if (TGButton* back = Button(QStringLiteral("gtbBack")); back && back->Enabled()) {
        gtbBackClick();
        acted = true;
      }
    }
  } else if (key == Qt::Key_Left || key == Qt::Key_Right) {
    const bool forward = key == Qt::Key_Right;
    TGButton* arrow = Button(forward ? QStringLiteral("gtbNext") : QStringLiteral("gtbPrevious"));
    if (mode == kViewerMode && arrow && arrow->Enabled()) {
      StepScreenshot(forward);
      acted = true;
    }
  }
  if (acted) key = 0;
}
