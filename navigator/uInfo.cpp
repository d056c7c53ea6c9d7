#include "navigator/uInfo.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "navigator/Rounding.h"

namespace {
constexpr int kDesignFontHeightPx = 11;
constexpr int kClientWidth = 388;
constexpr int kClientHeight = 112;
}  // namespace

QString VersionText(uint32_t mostSignificant, uint32_t leastSignificant) {
  // Sixteen hexadecimal digits, read back as four groups of four.
  const QString hex = QStringLiteral("%1%2")
                          .arg(mostSignificant, 8, 16, QLatin1Char('0'))
                          .arg(leastSignificant, 8, 16, QLatin1Char('0'));
  QStringList parts;
  for (int i = 0; i < 4; ++i) parts << QString::number(hex.mid(i * 4, 4).toUInt(nullptr, 16));
  return parts.join(QLatin1Char('.'));
}

uint32_t ProgramVersionMs() {
  return (static_cast<uint32_t>(QX_VERSION_MAJOR) << 16) | static_cast<uint32_t>(QX_VERSION_MINOR);
}
uint32_t ProgramVersionLs() {
  return (static_cast<uint32_t>(QX_VERSION_PATCH) << 16) | static_cast<uint32_t>(QX_VERSION_TWEAK);
}

TfmInfo::TfmInfo(double screenScale, bool usesDirectSound, QWidget* parent, uint32_t versionMs,
                 uint32_t versionLs)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint) {
  setObjectName(QStringLiteral("fmInfo"));
  setWindowTitle(QStringLiteral("Informações do navegador"));
  setFixedSize(kClientWidth, kClientHeight);
  QFont f = font();
  f.setPixelSize(std::max(1, std::abs(RoundHalfEven(kDesignFontHeightPx / screenScale))));
  setFont(f);

  lbVersion_ = new QLabel(QStringLiteral("Versão: ") + VersionText(versionMs, versionLs), this);
  lbVersion_->setObjectName(QStringLiteral("lbVersion"));
  lbVersion_->move(8, 4);
  lbBuild_ = new QLabel(QStringLiteral("ZODarazavodo"), this);
  lbBuild_->setObjectName(QStringLiteral("lbBuild"));
  lbBuild_->move(8, 31);
  lbDX_ =
      new QLabel(usesDirectSound
                     ? QStringLiteral("Utilizando a biblioteca DirectSound")
                     : QStringLiteral("DirectSound desabilitada; utilizando um mixer da API win32"),
                 this);
  lbDX_->setObjectName(QStringLiteral("lbDX"));
  lbDX_->move(8, 58);
  for (QLabel* l : {lbVersion_, lbBuild_, lbDX_}) l->adjustSize();

  auto* button = new QPushButton(QStringLiteral("&Fechar"), this);
  button->setObjectName(QStringLiteral("Button1"));
  button->setGeometry(310, 80, 75, 25);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, &QDialog::reject);

  if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
    const QRect g = screen->geometry();
    move(g.left() + (g.width() - kClientWidth) / 2, g.top() + (g.height() - kClientHeight) / 2);
  }
}

QString TfmInfo::VersionLabel() const {
  return lbVersion_->text();
}
QString TfmInfo::BuildLabel() const {
  return lbBuild_->text();
}
QString TfmInfo::SoundLabel() const {
  return lbDX_->text();
}
