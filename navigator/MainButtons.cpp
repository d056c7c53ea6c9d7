// The buttons of the main window: their hints, accessible names and handlers.

#include <QAction>
#include <QMenu>

#include "controls/TotalPaintBox.h"
#include "controls/Transbut.h"
#include "navigator/DemoActions.h"
#include "navigator/NavigatorViews.h"
#include "navigator/uMain.h"
#include "platform/Timer.h"

namespace {

struct ButtonText {
  const char* Name;
  const char* Hint;  // empty: the button has no hint
  const char* Spoken;  // what a screen reader says when there is no hint
};

const ButtonText kButtonTexts[] = {
    {"gtbjogos", "", "Jogos"},
    {"gtbApps", "", "Aplicativos"},
    {"gtbInter", "", "Internet"},
    {"gtbSavers", "", "Protetores de tela"},
    {"gtbUtils", "", "Utilitários"},
    {"gtbInst", "Instala ou executa o programa selecionado", ""},
    {"gtbBack", "Voltar ao modo anterior", ""},
    {"gtbOpts", "", "Opções"},
    {"gtbClose", "Fechar", ""},
    {"gtbMin", "Minimizar", ""},
    {"gtbFull", "Tela cheia", ""},
    {"gtbAlign", "Alinhamento do texto", ""},
    {"gtbPrevious", "Imagem anterior", ""},
    {"gtbNext", "Imagem seguinte", ""},
    {"gtbHowTo", "", "Instruções de instalação"},
    {"gtbPapel", "Criar papel de parede", ""},
    {"gtbMaga", "Revista eletrônica", ""},
    {"gtbdx", "Jogos para Windows precisam do DirectX (versão 6)", ""},
};

}  // namespace

void TfmMain::WireButtons() {
  for (const ButtonText& t : kButtonTexts) {
    TGButton* b = Button(QLatin1String(t.Name));
    if (!b) continue;
    const QString hint = QString::fromUtf8(t.Hint);
    if (!hint.isEmpty()) b->SetHint(hint);
    // Assistive tools read the hint itself (it changes on some buttons); the buttons without
    // one are named for what they are.
    if (hint.isEmpty()) b->setAccessibleName(QString::fromUtf8(t.Spoken));
  }

  auto click = [this](const char* name, std::function<void()> action) {
    if (TGButton* b = Button(QLatin1String(name)))
      b->OnClick = [action = std::move(action)](QObject*) { action(); };
  };
  for (const QString& name : GroupButtons(Group::Category))
    if (TGButton* b = Button(name)) b->OnClick = [this](QObject* sender) { gtbMenuClick(sender); };
  click("gtbInst", [this] { gtbInstClick(); });
  click("gtbBack", [this] { gtbBackClick(); });
  click("gtbOpts", [this] { gtbOptsClick(); });
  click("gtbClose", [this] { gtbCloseClick(); });
  click("gtbMin", [this] { gtbMinClick(); });
  click("gtbFull", [this] { gtbFullClick(); });
  click("gtbAlign", [this] { gtbAlignClick(); });
  for (const char* name : {"gtbPrevious", "gtbNext"})
    if (TGButton* b = Button(QLatin1String(name)))
      b->OnClick = [this](QObject* sender) { gtbMoveClick(sender); };
  click("gtbPapel", [this] { ViewsAction(QStringLiteral("gtbPapelClick")); });
  click("gtbMaga", [this] { ViewsAction(QStringLiteral("gtbMagaClick")); });
  click("gtbdx", [this] { ViewsAction(QStringLiteral("gtbdxClick")); });
  if (TGButton* howTo = Button(QStringLiteral("gtbHowTo"))) {
    howTo->OnMouseIn = [this](QObject*) { gtbHowToMouseIn(); };
    howTo->OnMouseOut = [this](QObject*) { gtbHowToMouseOut(); };
    howTo->OnClick = [this](QObject*) { gtbHowToClick(); };
  }
}

void TfmMain::gtbMenuClick(QObject* sender) {
  auto* button = qobject_cast<TGButton*>(sender);
  if (!button) return;
  static const char* const kNames[] = {"gtbJogos", "gtbApps", "gtbInter", "gtbSavers",
                                       "gtbUtils"};
  for (int c = 0; c < 5; ++c) {
    if (button->objectName().compare(QLatin1String(kNames[c]), Qt::CaseInsensitive) != 0)
      continue;
    PlayEffect(c + 8, 0);
    ChangeMode(c);
    return;
  }
}

void TfmMain::gtbInstClick() {
  if (Actions) Actions->gtbInstClick();
}

void TfmMain::gtbBackClick() {
  PlayEffect(2, 3);
  const int target = modes_->ReturnMode();
  // The demo of the page or list gone back to gets its logo drawn again.
  ViewsScheduleLogo(target);
  ChangeMode(target);
}

void TfmMain::gtbOptsClick() {
  PlayEffect(0, 1);
  TGButton* opts = Button(QStringLiteral("gtbOpts"));
  if (!opts || !popMain) return;
  popMain->popup(opts->mapToGlobal(QPoint(opts->width(), 0)));
}

void TfmMain::gtbCloseClick() {
  modes_->SetClosing();
  // The viewer and the credits can no longer be left by a click, Enter or Esc.
  telaMouseUpAttached_ = false;
  if (Views) Views->Screen().DetachMouseUp();
  if (TurnWave) TurnWave->SetEnabled(false);
  ChangeMode(kCreditsMode);
}

void TfmMain::gtbMinClick() {
  showMinimized();
}

void TfmMain::gtbFullClick() {
  modes_->SaveReturnMode();
  PlayEffect(0, 1);
  ChangeMode(kViewerMode);
}

void TfmMain::gtbAlignClick() {
  const bool ragged = !ShowsAlternatePicture(QStringLiteral("gtbAlign"));
  SetAlternatePicture(QStringLiteral("gtbAlign"), ragged);
  Settings.AlignAlternate = ragged;
  PlayEffect(0, 1);
  RedrawRows();
}

void TfmMain::gtbMoveClick(QObject* sender) {
  const auto* button = qobject_cast<TGButton*>(sender);
  StepScreenshot(button && button->objectName() == QLatin1String("gtbNext"));
}

// ---- the installation-instructions panel ----

void TfmMain::gtbHowToMouseIn() {
  if (HowToPinned) return;
  HowToShown = true;
  DrawHowToPanel();
}

void TfmMain::gtbHowToMouseOut() {
  if (HowToPinned) return;
  HowToShown = false;
  DrawHowToPanel();
}

void TfmMain::gtbHowToClick() {
  HowToPinned = !HowToPinned;
  PlayEffect(0, 1);
}
