#include "navigator/uStatus.h"

#include <QLabel>
#include <QProgressBar>

#include "navigator/Rounding.h"

namespace {
constexpr int kDesignFontHeightPx = 11;
constexpr int kBarWidth = 300;
constexpr int kBarHeight = 19;
constexpr int kBottomGapPx = 40;
}  // namespace

TfmStatus::TfmStatus(const QRect& screen, double screenScale, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("fmStatus"));
  setWindowTitle(QStringLiteral("Quarx CD-ROM - Inicializando..."));
  setFixedSize(kClientWidth, kClientHeight);
  QFont f = font();
  f.setPixelSize(std::max(1, RoundHalfEven(kDesignFontHeightPx / screenScale)));
  setFont(f);

  label_ = new QLabel(QStringLiteral("Operação:"), this);
  label_->move(6, 4);
  label_->adjustSize();
  lbOperation_ = new QLabel(this);
  lbOperation_->setObjectName(QStringLiteral("lbOperation"));
  lbOperation_->setGeometry(16, 26, kClientWidth - 32, 20);
  lbOperation_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName(QStringLiteral("ProgressBar"));
  progressBar_->setRange(0, 100);
  progressBar_->setTextVisible(false);
  progressBar_->setGeometry((kClientWidth - kBarWidth) / 2, 54, kBarWidth, kBarHeight);

  move(screen.left() + (screen.width() - kClientWidth) / 2,
       screen.top() + screen.height() - kClientHeight - kBottomGapPx);
}

void TfmStatus::Step(const QString& text, int percent) {
  lbOperation_->setText(text);
  progressBar_->setValue(percent);
  if (isVisible()) repaint();
  emit Stepped(text, percent);
}

QString TfmStatus::Operation() const {
  return lbOperation_->text();
}
int TfmStatus::Percent() const {
  return progressBar_->value();
}
