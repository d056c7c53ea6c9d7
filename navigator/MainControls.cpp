// The main window's child controls, in the window's own order (the skin loader walks them in
// this order and paces its progress by their count), and the popup menu.

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

#include "navigator/uMain.h"

namespace {

struct ControlDef {
  const char* Name;
  int Tag;
  SkinnedControl::Kind Kind;
};

using K = SkinnedControl::Kind;

// Buttons with Tag 18 also carry a second up picture.
const ControlDef kControls[] = {
    {"pbMain", 0, K::PaintBox},    {"pbLogo", 0, K::PaintBox},  {"pbTela", 0, K::PaintBox},
    {"pbAdv", 0, K::PaintBox},     {"lbDemos", 0, K::List},     {"PosBar", 2, K::PosBar},
    {"gtbPrevious", 2, K::Button}, {"gtbNext", 2, K::Button},   {"gtbPapel", 2, K::Button},
    {"gtbFull", 2, K::Button},     {"gtbMin", 2, K::Button},    {"gtbClose", 2, K::Button},
    {"gtbMaga", 2, K::Button},     {"gtbInst", 2, K::Button},   {"gtbBack", 2, K::Button},
    {"gtbOpts", 2, K::Button},     {"gtbVolUp", 2, K::Button},  {"gtbVolDo", 2, K::Button},
    {"gtbHowTo", 2, K::Button},    {"gtbdx", 2, K::Button},     {"gtbAlign", 18, K::Button},
    {"gtbMaster", 18, K::Button},  {"gtbMusic", 18, K::Button}, {"gtbjogos", 18, K::Button},
    {"gtbApps", 18, K::Button},    {"gtbInter", 18, K::Button}, {"gtbSavers", 18, K::Button},
    {"gtbUtils", 18, K::Button},
};

}  // namespace

void TfmMain::AddControl(QWidget* widget, const QString& name, int tag, SkinnedControl::Kind kind) {
  if (widget) {
    widget->setObjectName(name);
    widget->installEventFilter(this);  // the window's hint preference governs its tool tips
  }
  controls_.push_back({widget, name, tag, kind});
}

void TfmMain::CreateControls() {
  setAutoFillBackground(false);
  setAttribute(Qt::WA_OpaquePaintEvent);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
  for (const ControlDef& def : kControls) {
    const QString name = QString::fromLatin1(def.Name);
    // The list keeps its place in the order; its widget comes with CreateListBox.
    QWidget* widget = def.Kind == K::List ? nullptr : CreateChild(name, def.Kind);
    AddControl(widget, name, def.Tag, def.Kind);
  }
  CreateMenu();
}

void TfmMain::CreateListBox() {
  for (size_t i = 0; i < controls_.size(); ++i) {
    SkinnedControl& c = controls_[i];
    if (c.ControlKind != K::List || c.Widget) continue;
    c.Widget = CreateChild(c.Name, c.ControlKind);
    c.Widget->setObjectName(c.Name);
    c.Widget->installEventFilter(this);
    // Stacked where it would have been had it been created in order.
    for (size_t j = i + 1; j < controls_.size(); ++j)
      if (controls_[j].Widget && controls_[j].Widget->parent() == this) {
        c.Widget->stackUnder(controls_[j].Widget);
        break;
      }
  }
}

void TfmMain::CreateMenu() {
  popMain = new QMenu(this);
  popMain->setObjectName(QStringLiteral("popMain"));
  auto add = [this](const char* name, const QString& caption) {
    auto* a = popMain->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };
  miDesligarDicas = add("miDesligarDicas", QStringLiteral("Desligar &Dicas"));
  // Never shown; it keeps this caption, whatever the stored preference, until it is used.
  miDesligarLG = add("miDesligarLG", QStringLiteral("Desligar &Arco Voltaico"));
  miDesligarLG->setVisible(false);
  popMain->addSeparator();
  add("miAcionarRARez", QStringLiteral("Acionar E&xplorador MM"));
  add("miDLLlib", QStringLiteral("&Biblioteca de DLL's"));
  add("miCopyAll", QStringLiteral("&Copiar Pasta do Demo"));
  popMain->addSeparator();
  add("miDXInfo", QStringLiteral("&Informações do DirectX"));
  miSelfInst = add("miSelfInst", QStringLiteral("I&nstalar Quarx CD-ROM"));
}

QWidget* TfmMain::Control(const QString& name) const {
  for (const SkinnedControl& c : controls_)
    if (c.Name == name) return c.Widget;
  return nullptr;
}

QRect TfmMain::ScreenArea() const {
  const Environment& env = Env();
  QPoint origin(0, 0);
  if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
    origin = s->geometry().topLeft();
  return QRect(origin, QSize(env.ScreenWidth, env.ScreenHeight));
}

void TfmMain::PlaceWindow() {
  // Black, and as large as the measured screen: the whole display, or a window of that size.
  const QRect area = ScreenArea();
  if (options_.Windowed) {
    setFixedSize(area.size());
  } else {
    setGeometry(area);
    setWindowState(windowState() | Qt::WindowFullScreen);
  }
}
