#include "navigator/Ceremony.h"

#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QPainter>

#include "common/Environment.h"
#include "navigator/Rounding.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/RegularFile.h"

namespace {
void ErrorDialog(const QString& text) {
  platform::MessageBoxRequest box;
  box.title = QStringLiteral("Error");
  box.text = text;
  box.icon = platform::MsgIcon::Stop;
  platform::Dialogs().ShowMessage(box);
}

QString MovieHostPath() {
  const QString winPath = Env().ShareDir + QString::fromLatin1(TfmCeremony::kMovieName);
  return platform::Drives().ToHost(winPath).value_or(winPath);
}
}  // namespace

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

TfmCeremony::TfmCeremony(const QRect& screen, QWidget* parent, bool withMovie,
                         platform::Clock* clock)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("fmCeremony"));
  setWindowTitle(QStringLiteral("Ceremony"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);

  mpAVI_ = new platform::VideoPlayer(this, clock);
  mpAVI_->setObjectName(QStringLiteral("mpAVI"));
  movieAvailable_ = false;
  if (withMovie) CheckMovie();

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

  if (movieAvailable_) {
    StartMovie();
  } else {
    LoadLogo();
    MovieEnded();
  }
}

TfmCeremony::~TfmCeremony() {
  mpAVI_->OnNotify = nullptr;
  mpAVI_->Close();
}

void TfmCeremony::CheckMovie() {
  // Open once to learn whether the movie can be played at all, then close again.
  if (mpAVI_->Open(MovieHostPath()) && mpAVI_->CanPlay()) movieAvailable_ = true;
  const int code = mpAVI_->ErrorCode();
  const QString text = mpAVI_->ErrorText();
  mpAVI_->Close();
  if (!movieAvailable_) {
    ErrorDialog(QStringLiteral("Problemas com o reprodutor de AVI. ErrorCode: ") +
                QString::number(code) + QStringLiteral("\r\n") + text);
  }
}

void TfmCeremony::StartMovie() {
  mpAVI_->SetDisplay(paMovie_);
  mpAVI_->OnNotify = [this](platform::VideoNotify) { MovieEnded(); };
  if (!mpAVI_->Open(MovieHostPath()) || !mpAVI_->Play()) {
    // The window then waits until a click or key ends it.
    ErrorDialog(QStringLiteral("Ocorreu algum erro com o reprodutor de AVI."));
  }
}

void TfmCeremony::RunModal() {
  if (finished_) return;
  QEventLoop loop;
  modal_ = &loop;
  show();
  loop.exec();
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
  const std::unique_ptr<QFile> file = platform::OpenRegularFile(*host);
  if (!file) return;
  if (auto bitmap = platform::Bitmap::FromBmp(file->readAll(), env.ColourDepth))
    logo_ = std::move(*bitmap);
}

void TfmCeremony::MovieEnded() {
  if (finished_) return;
  if (modal_) modal_->quit();
  if (logo_.IsEmpty()) LoadLogo();
  playing_ = false;
  pbMovie_->update();
  close();
  finished_ = true;
}

void TfmCeremony::Skip() {
  // Only a playing movie can be cut short; closing the player reports its end.
  if (!playing_ || !movieAvailable_) return;
  mpAVI_->Close();
  if (!finished_) MovieEnded();  // a player that failed to start has nothing to report
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
