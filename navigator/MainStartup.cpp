// The start-up order of the main window.

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <exception>
#include <optional>

#include "audio/SoundModule.h"
#include "audio/WaveMix.h"
#include "common/AudioEnvironment.h"
#include "controls/Accessibility.h"
#include "common/Messages.h"
#include "formats/BMR.h"
#include "formats/BPK.h"
#include "formats/DemoFile.h"
#include "navigator/AdvPanel.h"
#include "navigator/BackgroundDecode.h"
#include "navigator/Ceremony.h"
#include "navigator/DemoActions.h"
#include "navigator/MainActionWindow.h"
#include "navigator/ModeAnimation.h"
#include "navigator/NavigatorViews.h"
#include "navigator/uMain.h"
#include "navigator/uStatus.h"
#include "platform/Drives.h"
#include "platform/Fonts.h"
#include "platform/Timer.h"

TfmMain::TfmMain(NavigatorOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window), options_(std::move(options)) {
  setObjectName(QStringLiteral("fmMain"));
  setWindowTitle(QStringLiteral("Quarx CD-ROM 9"));
  Catalogue = std::make_unique<DemoCatalogue>();
  backgroundPrefetch_ = std::make_unique<BackgroundPrefetch>();
  skinPrefetch_ = std::make_unique<SkinPrefetch>();
  cataloguePrefetch_ = std::make_unique<CataloguePrefetch>();
  TurnWave = std::make_unique<platform::Timer>(2000, options_.Clock);
  TurnWave->OnTimer = [this] { TurnWaveTimer(); };
  frames_ =
      std::make_unique<FrameLoop>([this](uint32_t e) { return RunFrame(e); },
                                  options_.Clock ? *options_.Clock : platform::DefaultClock());
  // The display is measured before anything else so that the work needing nothing but it
  // (adding the font, decoding the skin and the background) runs on worker threads while the
  // window builds its controls, reads its settings and shows its intro.
  MeasureEnvironment(options_.Environment);
  StartFontTask();
  InstallControlAccessibility();
  CreateControls();
  CreateModes();
  StartPrefetch();
  // Read once here; a reload after a display change reads the disc on the spot.
  if (EnvironmentAcceptable(Env().ColourDepth, Env().ScreenWidth, Env().ScreenHeight))
    cataloguePrefetch_->Start(Env().ShareDir, Env().ColourDepth);
  FormCreate();
}

void TfmMain::StartFontTask() {
  // A font file off every drive adds nothing; the system's fonts are read all the same.
  const QString host = platform::Drives().ToHost(FontFile()).value_or(QString());
  fontTask_ = std::async(std::launch::async, [host] {
    const int faces = host.isEmpty() ? 0 : platform::AddFontFile(host);
    platform::PrepareFontDatabase();
    return faces;
  });
}

void TfmMain::JoinFontTask() {
  if (!fontTask_.valid()) return;
  // Only one face means the file really is the program's font.
  FontAdded = fontTask_.get() == 1;
}

QString TfmMain::FontFile() const {
  return Env().ProgramDir + QStringLiteral("Resour\\vkScn___.ttf");
}

void TfmMain::Step(const QString& text, int percent) {
  if (status_) status_->Step(text, percent);
  if (options_.OnProgress) options_.OnProgress(text, percent);
}

bool TfmMain::PassesEnvironmentGate() {
  const Environment& env = Env();
  if (EnvironmentAcceptable(env.ColourDepth, env.ScreenWidth, env.ScreenHeight)) return true;
  // The refusal shows over a black window, before any intro or progress window exists.
  JoinFontTask();
  PlaceWindow();
  if (!isVisible()) show();
  ShowAppMessage(0);
  terminated_ = true;
  return false;
}

void TfmMain::FormCreate() {
  // The wake-up of a second start reaches RestoreFromWake through the program entry's
  // single-instance guard; the hand cursors are Qt's own shapes.
  // The environment is measured and the workers run already (see the constructor).
  MeasureAudioEnvironment(Env());
  ReadSettings(Settings, Env().ProgramDir, Env().ScreenWidth, options_.Keys);
  if (Settings.DemosRoot.isEmpty()) Settings.DemosRoot = DriveRootOf(Env().ProgramDir);

  // The installer lies beside "SHAREDIR\"; without it the menu does not offer it.
  QString shareParent = Env().ShareDir;
  shareParent.chop(1);
  shareParent = platform::ExtractFilePath(shareParent);
  if (!shareParent.endsWith(QLatin1Char('\\'))) shareParent += QLatin1Char('\\');
  miSelfInst->setVisible(platform::FileExists(shareParent + QStringLiteral("instalar.exe")));

  if (QWidget* music = Control(QStringLiteral("gtbMusic")))
    music->setToolTip(Settings.MusicWanted ? QStringLiteral("Desligar Música")
                                           : QStringLiteral("Ligar Música"));
  SetAlternatePicture(QStringLiteral("gtbMusic"), !Settings.MusicWanted);
  SetAlternatePicture(QStringLiteral("gtbAlign"), Settings.AlignAlternate);

  // The font file is being added on its worker; its result is taken before any text shows.

  BackgroundBitmap = platform::Bitmap();
  if (!PassesEnvironmentGate()) return;

  auto intro = std::make_unique<TfmCeremony>(ScreenArea(), nullptr, options_.IntroMovie);
  intro_ = intro.get();
  if (options_.OnIntroCreated) options_.OnIntroCreated(intro_);
  // With a movie the intro runs modally until the movie ends or is skipped.
  if (intro->MovieAvailable() && !intro->Finished()) intro->RunModal();
  intro->show();
  QApplication::processEvents();
  intro->PaintLogo();
  // From here on the intro and progress windows must never outlive a failure.
  std::unique_ptr<TfmStatus> status;
  std::exception_ptr failure;
  try {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (Settings.BeamEffect) BeamRestart = true;
    JoinFontTask();
    CreateListBox();
    status = std::make_unique<TfmStatus>(ScreenArea(), Env().ScreenScale);
    status_ = status.get();
    status->show();
    RunLoadingSteps();
  } catch (...) {
    failure = std::current_exception();
  }
  status.reset();
  update();
  QApplication::restoreOverrideCursor();
  if (!isVisible()) show();
  if (intro->isVisible()) intro->hide();
  // Hidden, it is freed once the event loop runs, after the window's first frame.
  retiredIntro_ = std::move(intro);
  QTimer::singleShot(0, this, [this] { retiredIntro_.reset(); });
  if (failure) ReportFailure(failure);
}

void TfmMain::LoadDemoCatalogue() {
  ++catalogueLoads_;
  cataloguePrefetch_->LoadInto(*Catalogue, Env().ShareDir, Env().ColourDepth);
}

void TfmMain::RunLoadingSteps() {
  const Environment& env = Env();
  Step(QStringLiteral("Procurando por músicas"), 1);
  MusicList.clear();
  for (const platform::FindEntry& e :
       platform::FindFiles(env.ProgramDir + QStringLiteral("Resour\\waves\\Theme*.wav"), 0))
    MusicList << env.ProgramDir + QStringLiteral("Resour\\waves\\") + e.name;

  Step(QStringLiteral("Armazenando posições"), 3);
  Step(QStringLiteral("Inicializando mixer"), 5);
  WireSoundButtons();
  InitSound();

  PlaceWindow();
  LeftMode = -1;

  Step(QStringLiteral("Procurando por dados na mídia"), 10);
  LoadDemoCatalogue();

  Step(QStringLiteral("Carregando imagens"), 20);
  OpenSkinContainer();
  BmrArchive& bmr = NavigatorBmr();
  try {
    LoadSkin();
    Step(QStringLiteral("Posicionando controles"), 80);
    LayoutControls();
  } catch (...) {
    bmr.CloseContainer();
    throw;
  }
  bmr.CloseContainer();

  Step(QStringLiteral("Construindo menus"), 90);
  CreateViews();
  CreateActions();
  CreateAdvPanel();
  SetAdvSkin();
  WireMenu();
  if (QWidget* back = Control(QStringLiteral("gtbBack"))) back->setEnabled(false);
  ScreenshotBitmap = platform::Bitmap::Blank(1, 1);
  ShowListModeControls();

  Step(QStringLiteral("Engatilhando eventos"), 99);
  StartSoundEvents();
  WireButtons();
  WireKeys();
  WireEmblem();

  frames_->ResetTime();
  InstallHooks();
}
