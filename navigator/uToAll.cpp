#include "navigator/uToAll.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "navigator/FolderCopy.h"
#include "navigator/Rounding.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"

namespace {
constexpr int kDesignFontHeightPx = 11;
constexpr int kClientWidth = 430;
constexpr int kClientHeight = 132;
constexpr int kTextLeft = 48;
}  // namespace

QString TfmToAll::FileLine(const QString& path) {
  const auto info = platform::FileInfo(path);
  if (!info) return path;
  return info->modified.toString(QStringLiteral("dd/MM/yy - hh:mm:ss")) + QStringLiteral("  ") +
         path;
}

TfmToAll::TfmToAll(const QString& destination, const QString& source, int* choice,
                   double screenScale, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      destination_(destination),
      source_(source),
      choice_(choice) {
  setObjectName(QStringLiteral("fmToAll"));
  setWindowTitle(QStringLiteral("Sobrescrever?"));
  setModal(true);
  QFont f = font();
  f.setPixelSize(std::max(1, std::abs(RoundHalfEven(kDesignFontHeightPx / screenScale))));
  setFont(f);
  resize(kClientWidth, kClientHeight);

  auto* image = new QLabel(this);
  image->setObjectName(QStringLiteral("Image1"));
  image->setGeometry(8, 8, 30, 30);
  image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(30, 30));
  auto label = [this](const char* name, const QString& text, int y) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QLatin1String(name));
    l->move(kTextLeft, y);
    l->adjustSize();
    return l;
  };
  label("Label1", QStringLiteral("Substituir este arquivo:"), 6);
  lbOld_ = label("lbOld", QString(), 24);
  label("Label2", QStringLiteral("Por este?"), 46);
  lbNew_ = label("lbNew", QString(), 64);

  cbOption_ = new QComboBox(this);
  cbOption_->setObjectName(QStringLiteral("cbOption"));
  cbOption_->addItems(OverwriteChoiceTexts());
  cbOption_->setGeometry(kTextLeft, 96, 220, 24);
  cbOption_->installEventFilter(this);

  button1_ = new QPushButton(QStringLiteral("&Opção da caixa ao lado"), this);
  button1_->setObjectName(QStringLiteral("Button1"));
  button1_->setGeometry(276, 95, 146, 26);
  button1_->setDefault(true);
  connect(button1_, &QPushButton::clicked, this, &TfmToAll::Button1Click);
}

QString TfmToAll::OldText() const {
  return lbOld_->text();
}
QString TfmToAll::NewText() const {
  return lbNew_->text();
}

void TfmToAll::showEvent(QShowEvent* event) {
  const int current = choice_ ? *choice_ : 0;
  cbOption_->setCurrentIndex(current >= 0 && current < cbOption_->count() ? current : 0);
  lbOld_->setText(FileLine(destination_));
  lbNew_->setText(FileLine(source_));
  lbOld_->adjustSize();
  lbNew_->adjustSize();
  // Long paths widen the window rather than being cut.
  const QFontMetrics metrics(font());
  const int wider = std::max(metrics.horizontalAdvance(lbOld_->text()),
                             metrics.horizontalAdvance(lbNew_->text()));
  if (wider + lbNew_->x() + 15 > width()) resize(wider + lbNew_->x() + 15, height());
  if (const QScreen* screen = parentWidget() ? parentWidget()->screen()
                                             : QGuiApplication::primaryScreen()) {
    const QRect g = screen->geometry();
    move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
  }
  QDialog::showEvent(event);
}

bool TfmToAll::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cbOption_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      button1_->click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfmToAll::Button1Click() {
  if (cbOption_->currentIndex() < 0) return;
  if (choice_) *choice_ = cbOption_->currentIndex();
  accept();
}

int AskOverwrite(QWidget* parent, const QString& destination, const QString& source,
                 double screenScale) {
  int choice = ocYes;
  TfmToAll form(destination, source, &choice, screenScale, parent);
  if (platform::Dialogs().RunForm(form) != QDialog::Accepted) return ocNo;
  return choice;
}
