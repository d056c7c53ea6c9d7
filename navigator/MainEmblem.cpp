// The emblem pbLogo: a left click inside its hot spot in a list mode opens the credits. The
// press shows the closed hand, a pointer over the hot spot the pointing hand.

#include <QGuiApplication>

#include "controls/TotalPaintBox.h"
#include "navigator/uMain.h"

namespace {

bool InHotSpot(const LayoutRect& spot, int x, int y) {
  return x >= spot.Left && x < spot.Right && y >= spot.Top && y < spot.Bottom;
}

}  // namespace

void TfmMain::WireEmblem() {
  auto* logo = qobject_cast<TTotalPaintBox*>(Control(QStringLiteral("pbLogo")));
  if (!logo) return;
  logo->setAccessibleName(QStringLiteral("Créditos"));
  logo->OnMouseDown = [this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                             int y) { pbLogoMouseDown(button, shift, x, y); };
  logo->OnMouseMove = [this](QObject*, Qt::KeyboardModifiers, int x, int y) {
    pbLogoMouseMove(x, y);
  };
  logo->OnMouseUp = [this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                           int y) { pbLogoMouseUp(button, x, y); };
}

void TfmMain::SetEmblemCursor(Qt::CursorShape shape) {
  if (QWidget* logo = Control(QStringLiteral("pbLogo"))) logo->setCursor(shape);
}

void TfmMain::pbLogoMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int, int) {
  if (button != Qt::LeftButton || shift != Qt::NoModifier ||
      QGuiApplication::mouseButtons() != Qt::LeftButton)
    return;
  SetEmblemCursor(Qt::ClosedHandCursor);
  EmblemPressed = true;
}

void TfmMain::pbLogoMouseMove(int x, int y) {
  auto* logo = qobject_cast<TTotalPaintBox*>(Control(QStringLiteral("pbLogo")));
  if (!logo) return;
  const bool hand = logo->cursor().shape() != Qt::ArrowCursor;
  if (!logo->rect().contains(x, y)) {
    logo->SetMouseCapture(false);
    SetEmblemCursor(Qt::ArrowCursor);
    EmblemPressed = false;
    return;
  }
  logo->SetMouseCapture(true);
  if (InHotSpot(Layout.EmblemHotSpot, x, y) && IsListMode(modes_->CurrentMode())) {
    if (!hand) SetEmblemCursor(Qt::PointingHandCursor);
  } else {
    if (hand) SetEmblemCursor(Qt::ArrowCursor);
    EmblemPressed = false;
  }
}

void TfmMain::pbLogoMouseUp(Qt::MouseButton, int x, int y) {
  if (!EmblemPressed) return;
  EmblemPressed = false;
  auto* logo = qobject_cast<TTotalPaintBox*>(Control(QStringLiteral("pbLogo")));
  if (!logo || !InHotSpot(Layout.EmblemHotSpot, x, y) || !IsListMode(modes_->CurrentMode())) {
    SetEmblemCursor(Qt::ArrowCursor);
    return;
  }
  SetEmblemCursor(Qt::PointingHandCursor);
  modes_->SaveReturnMode();
  ChangeMode(kCreditsMode);
  logo->SetVisible(false);
  logo->SetMouseCapture(false);
  SetEmblemCursor(Qt::ArrowCursor);
}
