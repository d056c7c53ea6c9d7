// The explorer window: creation, skin, layout, full view, display changes and the
// application's activation hooks.

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QTimer>
#include <cmath>

#include "audio/StereoMixer.h"
#include "common/AudioEnvironment.h"
#include "common/Environment.h"
#include "common/Messages.h"
#include "controls/Image.h"
#include "controls/KeyPreview.h"
#include "controls/TotalPaintBox.h"
#include "controls/Transbut.h"
#include "explorer/uRARez.h"
#include "formats/BMR.h"
#include "platform/Canvas.h"
#include "platform/Drives.h"
#include "platform/TitledWindow.h"

const QString TfmRARez::kCaption = QStringLiteral("Explorador MM - Quarx CD-ROM");

namespace {
constexpr int kTagButtonRow = 1;
constexpr int kTagSkinned = 2;
constexpr int kTagKeepInFullView = 8;
constexpr int kStatusHeight = 19;
// Without its skin picture the right-hand column still needs room for the tree.
constexpr int kColumnWidthWithoutSkin = 200;

int TagOf(const QWidget* w) { return w->property("Tag").toInt(); }

// The tree opens Windows paths of the drive map. A path of this machine (as a shell completes
// it) is taken to the drive that holds it; a folder gets its closing backslash, so that the
// folder itself is selected and not looked for among the files.
QString TreePathOf(const QString& path) {
  if (!platform::ExtractFileDrive(path).isEmpty()) return path;
  const QFileInfo info(path);
  const std::optional<QString> windows = platform::Drives().ToWindows(info.absoluteFilePath());
  if (!windows) return path;
  return info.isDir() ? platform::IncludeTrailingBackslash(*windows) : *windows;
}
}  // namespace

TfmRARez::TfmRARez(const QString& startPath, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("fmRARez"));
  setWindowTitle(kCaption);
  CreateComponents();

  // The display must show 256 colours at 640 x 480 at least.
  const Environment& env = Env();
  if (!EnvironmentAcceptable(env.ColourDepth, env.ScreenWidth, env.ScreenHeight)) {
    show();
    ShowExplorerMessage(0);
    usable_ = false;
    Terminate();
    return;
  }

  if (!InitialiseSound()) {
    DeviceRetrying = true;
    TurnWave.SetEnabled(true);
  }

  // The form's font (stored as -11) is divided by the screen's scale.
  platform::FontSpec font;
  font.Face = QStringLiteral("DejaVu Sans");
  font.Height = -static_cast<int>(std::nearbyint(-11.0 / env.ScreenScale));
  setFont(platform::MakeFont(font));

  LoadSkin();

  MediaKind = MediaKindOf::None;
  resize(640, 480);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
  setPalette(pal);
  setAutoFillBackground(true);
  setMinimumSize(320, 240);
  if (env.ScreenWidth > 0) setMaximumSize(env.ScreenWidth + 100, env.ScreenHeight + 100);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
  RunLayout();

  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
    if (s == Qt::ApplicationActive) ApplicationActivate();
    if (s == Qt::ApplicationInactive) ApplicationDeactivate();
  });
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    connect(screen, &QScreen::geometryChanged, this, [this, screen](const QRect& g) {
      DisplayChanged(screen->depth(), g.width(), g.height());
    });
  }

  // The navigator's menu finds this window by its title and brings it forward.
  title_ = std::make_unique<platform::TitledWindow>(this, kCaption);
  title_->OnRestore = [this] { RestoreFromTitle(); };

  if (!startPath.isEmpty()) FullTree->SelectPath(TreePathOf(startPath));
}

TfmRARez::~TfmRARez() {
  // FormDestroy: pictures, then the sound back-ends.
  TurnWave.SetEnabled(false);
  if (MediaPlayer) MediaPlayer->Close();
  PictureBitmap.reset();
  PictureMetafile.reset();
  if (Env().SoundAvailable && Mixer) {
    if (MixWave) Mixer->FreeWave(MixWave);
    MixWave = nullptr;
    Mixer.reset();
  }
  if (SoundPlayer) {
    try {
      SoundPlayer->SetActive(false);
    } catch (const std::exception&) {
    }
    SoundPlayer.reset();
  }
}

void TfmRARez::CreateComponents() {
  pbMain = new TTotalPaintBox(this);
  pbMain->setObjectName(QStringLiteral("pbMain"));
  pbMain->SetColor(Qt::white);
  pbMain->OnClick = [this](QObject* s) { pbMainClick(s); };
  pbMain->OnPaint = [this](QObject* s) { pbMainPaint(s); };

  paMaster = new QWidget(this);
  paMaster->setObjectName(QStringLiteral("paMaster"));
  imMarket = new TImage(paMaster);
  imMarket->setObjectName(QStringLiteral("imMarket"));
  imMarket->Tag = kTagSkinned;
  paTool = new QWidget(paMaster);
  paTool->setObjectName(QStringLiteral("paTool"));
  auto button = [this](const char* name, void (TfmRARez::*click)(QObject*)) {
    auto* b = new TGButton(paTool, TGButton::Variant::Explorer);
    b->setObjectName(QString::fromLatin1(name));
    b->Tag = kTagButtonRow | kTagSkinned;
    b->setProperty("Tag", b->Tag);
    b->SetFullAreaSense(true);
    b->SetShowUp2Pic(false);
    b->resize(24, 24);
    b->OnClick = [this, click](QObject* s) { (this->*click)(s); };
    return b;
  };
  btFull = button("btFull", &TfmRARez::btFullClick);
  btPlay = button("btPlay", &TfmRARez::btPlayClick);
  btStop = button("btStop", &TfmRARez::btStopClick);
  btClose = button("btClose", &TfmRARez::btCloseClick);
  btFull->SetHint(QStringLiteral("Tela cheia"));
  btPlay->SetHint(QStringLiteral("Tocar"));
  btStop->SetHint(QStringLiteral("Parar"));
  btClose->SetHint(QStringLiteral("Fechar"));
  for (TGButton* b : {btFull, btPlay, btStop}) b->SetEnabled(false);

  StatusBar = new QWidget(this);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  StatusPanel = new QLabel(StatusBar);
  StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
  StatusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StatusPanel->setTextFormat(Qt::PlainText);

  paMCI = new QWidget(this);
  paMCI->setObjectName(QStringLiteral("paMCI"));
  paMCI->setProperty("Tag", kTagKeepInFullView);
  QPalette black = paMCI->palette();
  black.setColor(QPalette::Window, Qt::black);
  paMCI->setPalette(black);
  paMCI->setAutoFillBackground(true);
  paMCI->hide();
  MediaPlayer = new platform::VideoPlayer(this);
  MediaPlayer->setObjectName(QStringLiteral("MediaPlayer"));
  MediaPlayer->SetDisplay(paMCI);
  MediaPlayer->OnNotify = [this](platform::VideoNotify how) { VideoNotified(how); };

  FullTree = new TFullTree(paMaster);
  FullTree->setObjectName(QStringLiteral("FullTree"));
  FullTree->SetMask(QStringLiteral("*.bmp;*.jpg;*.wmf;*.wav;*.avi"));
  FullTree->SelOnlyFiles = true;
  FullTree->SelAtaTouch = true;
  FullTree->OnSelectItem = [this](QObject* s, const QString& path) { FullTreeSelectItem(s, path); };

  TurnWave.OnTimer = [this] { TurnWaveTimer(); };

  keyPreview_ = new TKeyPreview(this);
  keyPreview_->OnKeyUp = [this](QObject*, int& key, Qt::KeyboardModifiers) { FormKeyUp(key); };
}

bool TfmRARez::InitialiseSound() {
  if (SoundPlayer) return true;
  bool result = true;
  try {
    auto player = std::make_unique<TDXSound>(this);
    result = player->Active();
    SoundPlayer = std::move(player);
  } catch (const std::exception&) {
    SoundPlayer.reset();
  }
  if (!SoundPlayer && Env().SoundAvailable) {
    result = false;
    try {
      Mixer = OpenStereoMixer(this);
      if (ProbeWaveDevice()) {
        Mixer->SetActivated(true);
        result = true;
      }
    } catch (const std::exception&) {
      result = false;
    }
  }
  return result;
}

void TfmRARez::LoadSkin() {
  BmrReader reader;
  if (!reader.Open(ExplorerSkinFile(Env().ProgramDir))) return;
  const int depth = Env().ColourDepth;
  auto load = [&](const QString& name) -> std::optional<platform::Bitmap> {
    QString error;
    auto picture = reader.Load(name, depth, &error);
    if (!picture) reader.ReportFailure();
    return picture;
  };
  // Any picture missing ends the loading; what was loaded stays.
  if (auto market = load(QStringLiteral("imMarket"))) {
    imMarket->SetPicture(*market);
    imMarket->resize(market->Width(), market->Height());
  } else {
    return;
  }
  for (TGButton* b : {btFull, btPlay, btStop, btClose}) {
    if (!(b->Tag & kTagSkinned)) continue;
    const QString name = b->objectName();
    auto up = load(name + "u");
    if (!up) return;
    b->SetPicUp(*up);
    auto down = load(name + "d");
    if (!down) return;
    b->SetPicDown(*down);
    auto disabled = load(name + "e");
    if (!disabled) return;
    b->SetPicDisabled(*disabled);
    b->RefreshPictures();
  }
}

void TfmRARez::RunLayout() {
  const int W = width(), H = height();
  if (FullView) {
    pbMain->setGeometry(0, 0, W, H);
    if (MediaKind <= MediaKindOf::Metafile) FitPictureRect();
    Redraw();
    return;
  }
  StatusBar->setGeometry(0, H - kStatusHeight, W, kStatusHeight);
  StatusPanel->setGeometry(0, 0, std::max(0, W - 5), kStatusHeight);
  const QSize market = imMarket->Picture().IsEmpty()
                           ? QSize(kColumnWidthWithoutSkin, 0)
                           : QSize(imMarket->Picture().Width(), imMarket->Picture().Height());
  const int clientH = H - kStatusHeight;
  paMaster->setGeometry(W - (market.width() + 10), 0, market.width() + 10, clientH);
  pbMain->setGeometry(0, 0, W - paMaster->width(), clientH);
  imMarket->setGeometry(5, 0, market.width(), market.height());

  const int bw = btFull->width(), bh = btFull->height();
  const int toolW = 4 * bw + 12;
  paTool->setGeometry(imMarket->x() + (market.width() - toolW) / 2, clientH - bh - 4, toolW, bh);
  int x = 0;
  for (TGButton* b : {btFull, btPlay, btStop, btClose}) {
    if (!(b->Tag & kTagButtonRow)) continue;
    b->move(x, 0);
    x += b->width() + 4;
  }
  FullTree->setGeometry(imMarket->x(), imMarket->y() + market.height() + 4, market.width(),
                        std::max(0, clientH - market.height() - bh - 8));

  if (MediaKind <= MediaKindOf::Metafile) {
    FitPictureRect();
  } else if (MediaKind == MediaKindOf::Video) {
    if (MediaPlayer->Playing()) MediaPlayer->Stop();
    PictureRect = FitPicture(pbMain->size(), VideoRect.size());
    PlaceVideoPanel();
  }
  Redraw();
}

void TfmRARez::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  RunLayout();
}

void TfmRARez::SetFullViewControlsVisible(bool visible) {
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child == pbMain || (TagOf(child) & kTagKeepInFullView)) continue;
    child->setVisible(visible);
  }
}

void TfmRARez::FormKeyUp(int& key) {
  if (key == Qt::Key_F5) FullTree->Rebuild();
}

void TfmRARez::Terminate() {
  terminated_ = true;
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void TfmRARez::SetStatusText(const QString& text) {
  StatusPanel->setText(text);
}

QString TfmRARez::StatusText() const {
  return StatusPanel->text();
}

void TfmRARez::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && displayChangePending_)
    ApplyDisplayChange();
}

void TfmRARez::closeEvent(QCloseEvent* event) {
  StopPlayback();
  event->accept();
}

void TfmRARez::RestoreFromTitle() {
  // As the system-menu restore did: un-minimise and take the foreground.
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void TfmRARez::ApplicationActivate() {
  if (displayChangePending_) {
    ApplyDisplayChange();
  } else if (Env().ColourDepth <= 8) {
    update();
  }
  TurnWaveTimer();
}

void TfmRARez::DisplayChanged(int bitsPerPixel, int width, int height) {
  newBitsPerPixel_ = bitsPerPixel;
  newWidth_ = width & 0xFFFF;
  newHeight_ = height & 0xFFFF;
  displayChangePending_ = true;
  if (isActiveWindow()) ApplyDisplayChange();
}

void TfmRARez::ApplyDisplayChange() {
  displayChangePending_ = false;
  Environment& env = Env();
  if (!EnvironmentAcceptable(newBitsPerPixel_, newWidth_, newHeight_)) {
    ShowExplorerMessage(0);
    Terminate();
    return;
  }
  if (newWidth_ == env.ScreenWidth && newHeight_ == env.ScreenHeight) return;
  env.ScreenWidth = newWidth_;
  env.ScreenHeight = newHeight_;
  env.ColourDepth = newBitsPerPixel_;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (env.ScreenWidth < width() || env.ScreenHeight < height())
    setGeometry(0, 0, env.ScreenWidth, env.ScreenHeight);
  setMaximumSize(env.ScreenWidth + 100, env.ScreenHeight + 100);
  RunLayout();
  if (isHidden() && isActiveWindow()) show();
  update();
  QApplication::restoreOverrideCursor();
}
