// The options menu popMain (opened only by gtbOpts) and the hints switch.

#include <QAction>
#include <QEvent>
#include <QMenu>

#include "common/Environment.h"
#include "controls/Transbut.h"
#include "navigator/uMain.h"

void TfmMain::WireMenu() {
  connect(popMain, &QMenu::aboutToShow, this, [this] { popMainPopup(); });
  connect(miDesligarDicas, &QAction::triggered, this, [this] { miDesligarDicasClick(); });
  connect(miDesligarLG, &QAction::triggered, this, [this] { miDesligarLGClick(); });
  for (QAction* a : popMain->actions()) {
    if (a->isSeparator() || a == miDesligarDicas || a == miDesligarLG) continue;
    connect(a, &QAction::triggered, this, [this, a] { ViewsAction(a->objectName() + "Click"); });
  }
  // Tool tips are asked for per widget; the window's filter holds them back while hints are
  // off, so the hint texts stay for the accessible names.
  for (const SkinnedControl& c : controls_)
    if (c.Widget) c.Widget->installEventFilter(this);
}

void TfmMain::popMainPopup() {
  const int mode = modes_->CurrentMode();
  if (QAction* copy = popMain->findChild<QAction*>(QStringLiteral("miCopyAll")))
    copy->setEnabled(IsDescriptionMode(mode));
  miDesligarLG->setEnabled(IsListMode(mode));
  miDesligarDicas->setText(ShowHint() ? QStringLiteral("Desligar &Dicas")
                                      : QStringLiteral("Ligar &Dicas"));
  if (TGButton* music = Button(QStringLiteral("gtbMusic"))) {
    const Environment& env = Env();
    const bool muted = ShowsAlternatePicture(QStringLiteral("gtbMaster"));
    const bool playerActive = !DeviceRetrying;
    music->SetEnabled(!MusicList.isEmpty() && env.SoundAvailable && playerActive && !muted);
  }
}

void TfmMain::miDesligarDicasClick() {
  SetShowHint(!ShowHint());
  miDesligarDicas->setText(ShowHint() ? QStringLiteral("Desligar &Dicas")
                                      : QStringLiteral("Ligar &Dicas"));
}

void TfmMain::miDesligarLGClick() {
  // Kept for the stored preference; the beams themselves are gone.
  Settings.BeamEffect = !Settings.BeamEffect;
  miDesligarLG->setText(Settings.BeamEffect ? QStringLiteral("Desligar &Feixes")
                                            : QStringLiteral("Ligar &Feixes"));
}

void TfmMain::SetShowHint(bool shown) {
  Settings.HintsShown = shown;
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ToolTip && !Settings.HintsShown) return true;
  return QWidget::eventFilter(watched, event);
}
