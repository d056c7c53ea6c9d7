#include "navigator/Ceremony.h"

#include <QFile>
#include <QKeyEvent>
#include <QPainter>

#include "common/Environment.h"
#include "navigator/Rounding.h"
#include "platform/Drives.h"

class TfmCeremony::MoviePaintBox : public QWidget {
 public:
  explicit MoviePaintBox(TfmCeremony* owner, QWidget* parent) : QWidget(parent), owner_(owner) {
    setObjectName(QStringLiteral("pbMovie"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    // The logo shows whenever no movie covers the panel.
    if ((!owner_->movieAvailable_ || !owner_->playing_) && !owner_->logo_.IsEmpty())
      p.drawImage(0, 0, owner_->logo_.ToRgb32());
  }
  void mouseReleaseEvent(QMouseEvent*) override { owner_->Skip(); }

 private:
  TfmCeremony* owner_;
};

TfmCeremony::TfmCeremony(const QRect& screen, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("fmCeremony"));
  setWindowTitle(QStringLiteral("Ceremony"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);

  // The movie needs the video player; until one is attached the movie counts as unplayable,
  // which is the path of a disc whose movie cannot be opened.
  movieAvailable_ = false;

  setGeometry(screen);
  paMovie_ = new QWidget(this);
  paMovie_->setObjectName(QStringLiteral("paMovie"));
  paMovie_->setAutoFillBackground(true);
  paMovie_->setPalette(pal);
  paMovie_->setGeometry(RoundHalfEven((screen.width() - kMovieWidth) * 0.5),
                        RoundHalfEven((screen.height() - kMovieHeight) * 0.5), kMovieWidth,
                        kMovieHeight);
  pbMovie_ = new MoviePaintBox(this, paMovie_);
  pbMovie_->setGeometry(0, 0, kMovieWidth, kMovieHeight);

  if (!movieAvailable_) {
    LoadLogo();
    MovieEnded();
  }
}

QString TfmCeremony::LogoPath(const QString& shareDir, int colourDepth) {
  return shareDir + IntroLogoName(colourDepth);
}

QRect TfmCeremony::MoviePanel() const {
  return paMovie_->geometry();
}

void TfmCeremony::LoadLogo() {
  // A missing or unreadable logo leaves the backdrop black.
  const Environment& env = Env();
  const auto host = platform::Drives().ToHost(LogoPath(env.ShareDir, env.ColourDepth));
  if (!host) return;
  QFile file(*host);
  if (!file.open(QIODevice::ReadOnly)) return;
  if (auto bitmap = platform::Bitmap::FromBmp(file.readAll(), env.ColourDepth))
    logo_ = std::move(*bitmap);
}

void TfmCeremony::MovieEnded() {
  if (logo_.IsEmpty()) LoadLogo();
  playing_ = false;
  pbMovie_->update();
  close();
  finished_ = true;
}

void TfmCeremony::Skip() {
  // Only a playing movie can be cut short; afterwards clicks and keys do nothing.
  if (playing_ && movieAvailable_) MovieEnded();
}

void TfmCeremony::PaintLogo() {
  pbMovie_->repaint();
}

void TfmCeremony::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
}

void TfmCeremony::keyReleaseEvent(QKeyEvent* event) {
  Skip();
  event->accept();
}
