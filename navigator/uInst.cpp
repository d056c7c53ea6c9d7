#include "navigator/uInst.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>

#include "common/Environment.h"

namespace {
constexpr int kDesignFontPx = 11;
}

TfmInst::TfmInst(uint8_t* choice, QWidget* parent) : QDialog(parent), choice_(choice) {
  setObjectName("fmInst");
  setWindowTitle("Executar do CD-ROM ou instalar?");
  // A single border with only the close box, above the full-screen navigator.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  QFont f = font();
  const double scale = Env().ScreenScale > 0 ? Env().ScreenScale : 1.0;
  f.setPixelSize(std::max(1, int(std::lround(std::abs(kDesignFontPx / scale)))));
  setFont(f);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
  StaticText1 = new QLabel(this);
  StaticText1->setObjectName("StaticText1");
  StaticText1->setText(
      "Executar o programa diretamente do CD-ROM ou instalar?\n"
      "(Se você está tendo dificuldades em executar direto, tente instalar.)");

  auto makeButton = [this](const char* name, const QString& text, int tag) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setProperty("Tag", tag);
    connect(button, &QPushButton::clicked, this, [this, button] { btWhichOneClick(button); });
    return button;
  };
  btDirect = makeButton("btDirect", "&Direto do CD", 0);
  btInstNow = makeButton("btInstNow", "&Instalar", 1);
  btForgetIt = makeButton("btForgetIt", "&Cancelar", 2);
  btDirect->setDefault(true);
  btDirect->setFocus();

  auto* top = new QHBoxLayout;
  top->addWidget(Image1, 0, Qt::AlignTop);
  top->addWidget(StaticText1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btDirect);
  buttons->addWidget(btInstNow);
  buttons->addWidget(btForgetIt);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
}

TfmInst::~TfmInst() {
  if (result() == kResultCancel && choice_) *choice_ = 2;
}

void TfmInst::btWhichOneClick(QPushButton* sender) {
  const int tag = sender->property("Tag").toInt();
  if (choice_) *choice_ = uint8_t(tag);
  done(tag == 2 ? kResultCancel : kResultOk);
}

void TfmInst::reject() { done(kResultCancel); }
