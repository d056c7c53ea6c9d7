#pragma once

// The navigator's main window. It covers the screen (or, with --window, a window of the screen
// size) and paints everything itself from the skin: the background, the list, texts and
// pictures, with the graphic buttons on top. Its creation runs the whole start-up order.
//
// The work is split by concern into files of their own:
//   MainStartup.cpp   the start-up order, the environment gate, the intro and progress windows
//   MainSkin.cpp      LoadSkin, LayoutControls and ApplyDisplayChange
//   MainControls.cpp  the child controls, their names and skin tags, the popup menu
//   MainHooks.cpp     activation, deactivation, the frame loop, the wake-up of a second start
//   MainVolume.cpp    the volume level and the ramp of the volume buttons
//   MainSound.cpp     the sound back-end: start, effects, silence, retry, release
//   MainMusic.cpp     the effects played, the theme music, gtbMaster and gtbMusic
//   MainShutdown.cpp  the shutdown order
//   MainViewSetup.cpp the views wired to the controls (the views themselves: NavigatorViews)
//   MainModes.cpp     the mode machine's window side: control groups, leaving and entering
//   MainButtons.cpp   the buttons' handlers, hints and accessible names
//   MainMenu.cpp      the options menu and the hints switch
//   MainKeys.cpp      the keys of the window and of the list
//   MainEmblem.cpp    the emblem that opens the credits
//   MainViews.cpp     what the list, page, viewer and actions draw and do for the modes
//   MainActions.cpp   the demo actions and the advertisement panel on the window

#include <QMenu>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <array>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <vector>

#include "common/Environment.h"
#include "navigator/FrameLoop.h"
#include "navigator/LoadWaveThread.h"
#include "navigator/Layout.h"
#include "navigator/ModeMachine.h"
#include "navigator/Settings.h"
#include "navigator/Volume.h"
#include "platform/Bitmap.h"

struct DemoCatalogue;
class TBPKMovie;
class BackgroundPrefetch;
class SkinPrefetch;
class CataloguePrefetch;
class TfmStatus;
class NavigatorViews;
class TfmCeremony;
class TTotalPaintBox;
class TMyDxSound;
class TWaveMix;
struct TMixWave;
class QAction;
class ModeAnimation;
class TKeyPreview;
class TGButton;
class AdvPanel;
class DemoActions;
class MainActionWindow;
namespace platform {
class Timer;
}

struct NavigatorOptions {
  EnvironmentOptions Environment;    // what the measurement is told about the machine
  bool Windowed = false;             // a normal window of the screen size instead of full screen
  SettingsKeys Keys;                 // where the settings live
  platform::Clock* Clock = nullptr;  // the frame loop's clock (the default clock when null)
  // How the transitions wait between frames (a thread sleep when empty); with a test's clock,
  // a sleep that advances it.
  std::function<void(int ms)> Sleep;
  bool IntroMovie = false;           // play the intro movie (the program does; tests need not)

  // Observers for tests and tools: each progress step shown, and the intro window's creation.
  std::function<void(const QString& text, int percent)> OnProgress;
  std::function<void(TfmCeremony*)> OnIntroCreated;
  // Every interface effect asked for (effect, channel), before it is played.
  std::function<void(int effect, int channel)> OnEffect;
  // Each frame of a mode animation, once it is on screen.
  std::function<void()> OnAnimationFrame;
};

// A control of the window as the skin loader sees it: its component name and Tag bits.
struct SkinnedControl {
  enum class Kind { Button, PosBar, PaintBox, List, Other };
  QWidget* Widget = nullptr;
  QString Name;
  int Tag = 0;
  Kind ControlKind = Kind::Other;
};

// Tag bits of the skin naming rule.
constexpr int kTagSkinned = 2;    // takes part in skin loading
constexpr int kTagNoHover = 8;    // no hover and no disabled picture
constexpr int kTagSecondUp = 16;  // a second up picture ("u2")

// The sound effects the window keeps loaded (player channels and mixer slots 0..12). Index =
// the player's channel; kEffectMixerChannel gives the mixer channel each one is played on.
constexpr int kEffectCount = 13;
enum SoundEffect : int {
  fxMiniBts,   // a small button: gtbFull, gtbAlign, gtbHowTo, gtbPapel, gtbOpts, gtbdx
  fxDetails,   // a demo of the list opens its description
  fxGetBack,   // gtbBack
  fxNext,      // the screenshot viewer moves on ("fnext")
  fxBack,      // the screenshot viewer moves back ("fback")
  fxCapOpen,   // gtbInst, before the run or install starts
  fxPanelIn,   // first frame of an incoming screen animation
  fxPanelOut,  // first frame of an outgoing screen animation
  fxGen1,      // category buttons, before the category changes: gtbjogos
  fxGen2,      // gtbApps
  fxGen3,      // gtbInter
  fxGen4,      // gtbSavers
  fxGen5,      // gtbUtils
};
constexpr std::array<int, kEffectCount> kEffectMixerChannel = {1, 2, 3, 4, 5, 6, 5,
                                                               5, 0, 0, 0, 0, 0};
// The music's channels and its mixer slot.
constexpr int kMusicMixerChannel = 7;
constexpr int kMusicPlayerChannel = 15;
constexpr size_t kMusicSlot = 15;

class TfmMain : public QWidget, private ModeHost {
  Q_OBJECT

 public:
  // Runs the start-up order. When the display is refused (message 0) the window ends at once:
  // Terminated() is then true and the caller leaves without running the event loop.
  explicit TfmMain(NavigatorOptions options, QWidget* parent = nullptr);
  ~TfmMain() override;

  bool Terminated() const { return terminated_; }

  // --- state the other parts of the window read ---
  NavigatorSettings Settings;
  ::Layout Layout;                    // regions and button places of the current screen
  platform::Bitmap BackgroundBitmap;  // the design background, last frame of "gbttin.bpk"
  platform::Bitmap GradientBitmap;
  platform::Bitmap IndicatorBitmap;
  platform::Bitmap AdvMaskBitmap;
  platform::Bitmap GameMaskBitmap;
  platform::Bitmap ScreenshotBitmap;
  QStringList MusicList;
  std::unique_ptr<DemoCatalogue> Catalogue;
  int LeftMode = -1;
  bool BeamRestart = false;
  bool FontAdded = false;
  bool DeviceRetrying = false;
  bool SavedMasterOff = false;  // the effects switch was off when the device was found blocked
  bool MusicStartPending = false;
  bool MusicOn = false;  // music is meant to be sounding now
  int NextTrack = 0;     // index in MusicList of the track to load or play next

  // --- the views: list, description page, logo, screenshot box, viewer and credits ---
  // (MainViewSetup.cpp). The mode machine calls them; their memory is Views->State().
  std::unique_ptr<NavigatorViews> Views;
  // The demo actions of the buttons and the options menu, and the advertisement panel of the
  // list modes (MainActions.cpp).
  std::unique_ptr<DemoActions> Actions;
  std::unique_ptr<AdvPanel> Adv;

  // --- the controls ---
  TTotalPaintBox* pbMain() const;
  QWidget* Control(const QString& name) const;
  const std::vector<SkinnedControl>& Controls() const { return controls_; }
  QMenu* popMain = nullptr;
  QAction* miSelfInst = nullptr;
  QAction* miDesligarDicas = nullptr;
  QAction* miDesligarLG = nullptr;

  // --- skin and layout (MainSkin.cpp) ---
  void LoadSkin();
  void LayoutControls();
  // The system's display-change notification: stored, and applied at once when the window is
  // active, else at the next activation.
  void DisplayChanged(int bitsPerPixel, int width, int height);
  bool DisplayChangePending() const { return displayChangePending_; }
  void ApplyDisplayChange();
  int SkinLoads() const { return skinLoads_; }
  int CatalogueLoads() const { return catalogueLoads_; }

  // --- application hooks (MainHooks.cpp) ---
  void ApplicationActivated();
  void ApplicationDeactivated();
  // A later start of the program asked this one to come forward.
  void RestoreFromWake();
  FrameLoop& Frames() { return *frames_; }

  // --- volume (MainVolume.cpp) ---
  int VolumeLevel() const { return Settings.VolumeLevel; }
  void SetVolumeLevel(int level);
  void ApplyVolumeLevel();
  void VolumeButtonDown(VolumeRamp::Direction direction);
  void VolumeButtonUp();
  void VolumeButtonLeave();
  const VolumeRamp& Ramp() const { return ramp_; }
  // True when the named button shows its alternate (second up) picture.
  bool ShowsAlternatePicture(const QString& name) const;
  // What the back-end was last told: centibels for the buffer player, 0..65535 for the mixer.
  int AppliedVolume() const { return appliedVolume_; }

  // --- sound output (MainSound.cpp) ---
  std::unique_ptr<TMyDxSound> SoundPlayer;    // the buffer player, or none
  std::unique_ptr<TWaveMix> Mixer;            // exists only when there is no player
  std::array<TMixWave*, 16> WaveSlots{};      // mixer waves: 0..12 effects, 15 the music
  std::unique_ptr<platform::Timer> TurnWave;  // retries a blocked device every 2000 ms
  // The device-retry step; every activation of the program also runs it once.
  void TurnWaveTimer();
  QString EffectFile(int index) const;
  bool UsesDirectSound() const { return SoundPlayer != nullptr; }

  // --- effects, music and the sound switches (MainMusic.cpp) ---
  // Plays an effect (SoundEffect) on the given mixer channel, or on its own channel with the
  // buffer player; silent while gtbMaster is off. Call it before the action it accompanies.
  void PlayEffect(int index, int mixerChannel);
  // The same on the effect's usual mixer channel (kEffectMixerChannel).
  void PlayEffect(int index);
  void StartMusic();
  void SetMusic(bool on);
  void gtbMasterClick();
  void gtbMusicClick();
  // True while gtbMaster shows all sounds off.
  bool SoundsOff() const;
  // The mixer's music loader while it runs (tests wait for it), and its completion.
  TLoadWaveThread* MusicLoader() const { return musicLoader_.get(); }
  void FinishMusicLoad();

  // Reports a failure the way the toolkit reports an exception that reached it: an error box
  // titled with the program's name; the program goes on.
  static void ReportFailure(const std::exception_ptr& failure);

  // The area the navigator treats as its screen, in global coordinates.
  QRect ScreenArea() const;

  // --- modes (MainModes.cpp) ---
  ModeMachine& Modes() { return *modes_; }
  const ModeMachine& Modes() const { return *modes_; }
  ModeAnimation& Animation() { return *animation_; }
  // The only way to change modes; the frame loop plays what the change needs.
  void ChangeMode(int mode);
  TGButton* Button(const QString& name) const;
  // Shows or hides a group of buttons; shown buttons paint at once and join the Tab order.
  enum class Group { Category, Side, Top, Picture };
  void ShowGroup(Group group, bool shown);
  static const QStringList& GroupButtons(Group group);
  // The category button of a list or description mode ("gtbjogos" ...).
  static QString CategoryButton(int mode);
  void DrawVolumeDigits();
  bool HowToShown = false;
  bool HowToPinned = false;
  bool HowToBuilt = false;
  int RememberedKey = 0;
  bool EmblemPressed = false;
  // The moment the credits stay on screen before the window closes; null until closing.
  platform::Timer* CloseTimer() const { return closeTimer_.get(); }

  // --- buttons (MainButtons.cpp) ---
  void gtbMenuClick(QObject* sender);
  void gtbInstClick();
  void gtbBackClick();
  void gtbOptsClick();
  void gtbCloseClick();
  void gtbMinClick();
  void gtbFullClick();
  void gtbAlignClick();
  void gtbMoveClick(QObject* sender);
  void gtbHowToMouseIn();
  void gtbHowToMouseOut();
  void gtbHowToClick();
  void DrawHowToPanel();

  // --- options menu (MainMenu.cpp) ---
  void popMainPopup();
  void miDesligarDicasClick();
  void miDesligarLGClick();
  bool ShowHint() const { return Settings.HintsShown; }
  void SetShowHint(bool shown);

  // --- keys (MainKeys.cpp) ---
  void FormKeyDown(int& key, Qt::KeyboardModifiers shift);
  void FormKeyUp(int& key, Qt::KeyboardModifiers shift);
  void lbDemosKeyDown(int& key);

  // --- emblem (MainEmblem.cpp) ---
  void pbLogoMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void pbLogoMouseMove(int x, int y);
  void pbLogoMouseUp(Qt::MouseButton button, int x, int y);

  // --- the views and actions the modes call (MainViews.cpp) ---
  void RunSelectedDemo() override;
  void StepScreenshot(bool forward);
  void RedrawRows();
  // The demo shown in a description mode (or in the viewer opened from one): screenshots and
  // installation instructions.
  int DescribedImageCount() const;
  QString DescribedHowTo() const;
  void lbDemosClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class TTotalPaintBox;
  friend class MainActionWindow;

  // MainStartup.cpp
  void FormCreate();
  void RunLoadingSteps();
  void FinishStartup();
  void Step(const QString& text, int percent);
  bool PassesEnvironmentGate();
  QString FontFile() const;
  // Hands the font file to the font database on a worker thread, and takes its result.
  void StartFontTask();
  void JoinFontTask();
  void LoadDemoCatalogue();

  // MainControls.cpp
  void CreateControls();
  // The list measures its font when created, so it is made once the font database is ready.
  void CreateListBox();
  void CreateMenu();
  void AddControl(QWidget* widget, const QString& name, int tag, SkinnedControl::Kind kind);
  void PaintMain();
  // Paints the part of the background that lies under a box on pbMain.
  void PaintBackgroundUnder(TTotalPaintBox* box);
  void ShowListModeControls();
  void PlaceWindow();
  // The window's child control of a name and kind (nullptr for a kind not built yet).
  QWidget* CreateChild(const QString& name, SkinnedControl::Kind kind);
  // Shows a button's alternate picture (or its normal one).
  void SetAlternatePicture(const QString& name, bool alternate);

  // MainViewSetup.cpp
  void CreateViews();

  // MainSkin.cpp
  void LoadControlSkin(const SkinnedControl& control);
  // Gives a control what it needs before its pictures arrive (the window's background).
  void PrepareSkin(const SkinnedControl& control);
  // After its pictures: the control redraws itself from them.
  void FinishSkin(const SkinnedControl& control);
  // Hands a loaded skin picture to its control.
  void AssignSkinPicture(const SkinnedControl& control, const char* property,
                         platform::Bitmap bitmap);
  void LoadBackground();
  // Starts decoding the skin and the background for the measured display off the main thread.
  void StartPrefetch();
  // Opens "controls.bmr" of the skin folder: the copy the worker read when there is one.
  void OpenSkinContainer();
  // The container names of every picture the controls take from the skin.
  QStringList SkinPictureNames() const;
  static QStringList MaskPictureNames();  // advMask, gameMask
  // Steps L2 to L9 for the current client size.
  void PlaceControls();

  // MainModes.cpp: ModeHost
  void LeaveModeControls(int oldMode, int newMode) override;
  void SetBackEnabled(bool enabled) override;
  void EnterMode(int mode, int previousMode, int leftMode) override;
  void CloseAfterCredits() override;
  void CreateModes();
  void FormShow();
  void DrawAnimationFrame(const platform::Bitmap& frame);
  void FillAnimationArea();
  void TakeAnimationBackground(platform::Bitmap frame);
  void UpdatePictureButtons();
  void FocusListIfNothingHasFocus();
  // MainButtons.cpp, MainMenu.cpp, MainKeys.cpp, MainEmblem.cpp
  void WireButtons();
  void WireMenu();
  void WireKeys();
  void WireEmblem();
  void SetEmblemCursor(Qt::CursorShape shape);
  bool eventFilter(QObject* watched, QEvent* event) override;
  // MainViews.cpp
  void ViewsEnterList(int mode, int previousMode, bool entering);
  void ViewsEnterDescription(int mode, int previousMode, bool entering);
  void ViewsEnterScreen(int mode);
  void ViewsLeaveScreen();
  void ViewsRestoreListArea();
  void ViewsForgetLogo();
  void ViewsScheduleLogo(int mode);
  void ViewsDrawMode();
  void ViewsAction(const QString& name);
  // MainActions.cpp
  void CreateActions();
  void CreateAdvPanel();
  void SetAdvSkin();
  void ShowAdvPanel();
  void StopAdvPanel();

  // MainHooks.cpp
  int RunFrame(uint32_t elapsedMs);
  void InstallHooks();
  void RemoveHooks();

  // MainShutdown.cpp
  void FormDestroy();

  // MainSound.cpp
  void InitSound();        // start-up: the back-end, then the level it implies
  bool InitialiseSound();  // false when no back-end can play now
  void LoadEffects();
  void FreeMixerWaves();
  void ShowMasterUnavailable();
  int DeviceVolumeLevel(bool rounded) const;
  void SilenceSound();
  void DeviceRegained();
  void FinishDeviceRetry();
  void DeviceBlocked();
  void ReleaseSound();
  void SendVolumeToBackEnd();
  void ResumeMusicAfterRetry();

  // MainMusic.cpp
  void WireSoundButtons();
  void StartSoundEvents();  // the end-of-sound handlers and the first track (start-up)
  void MixerMusicEnded(int channel);
  void PlayerMusicEnded(int channel, int error);
  void MusicTrackFailed(int track);
  int TrackAfter(int track) const;

  NavigatorOptions options_;
  std::unique_ptr<MainActionWindow> actionWindow_;  // what Actions sees of the window
  std::unique_ptr<ModeAnimation> animation_;
  std::unique_ptr<ModeMachine> modes_;
  std::unique_ptr<platform::Timer> closeTimer_;  // the credits' moment before closing
  TKeyPreview* keyPreview_ = nullptr;
  bool telaMouseUpAttached_ = true;
  bool formShown_ = false;
  std::vector<SkinnedControl> controls_;
  QImage backgroundImage_;
  // Skin pictures by container name, for the controls that keep none of their own.
  std::map<QString, platform::Bitmap>
      skinPictures_;  // BackgroundBitmap as drawn (through its palette when indexed)
  std::unique_ptr<FrameLoop> frames_;
  std::unique_ptr<BackgroundPrefetch> backgroundPrefetch_;
  std::unique_ptr<SkinPrefetch> skinPrefetch_;
  std::unique_ptr<CataloguePrefetch> cataloguePrefetch_;
  std::future<int> fontTask_;  // faces the font file added, while the worker adds it
  std::map<QString, platform::Bitmap> prefetchedSkin_;   // while LoadSkin runs
  std::map<QString, platform::Bitmap> prefetchedMasks_;  // the same, as stored
  QPointer<TfmStatus> status_;
  QPointer<TfmCeremony> intro_;
  std::unique_ptr<TfmCeremony> retiredIntro_;  // until the event loop runs again
  VolumeRamp ramp_;
  QMetaObject::Connection stateHook_;
  QMetaObject::Connection screenHook_;
  bool hooksInstalled_ = false;
  bool terminated_ = false;
  bool destroyed_ = false;
  bool displayChangePending_ = false;
  int pendingDepth_ = 0;
  int pendingWidth_ = 0;
  int pendingHeight_ = 0;
  int skinLoads_ = 0;
  int catalogueLoads_ = 0;
  int appliedVolume_ = 0;
  std::unique_ptr<TLoadWaveThread> musicLoader_;
  int mixerTrack_ = -1;    // the track held in WaveSlots[kMusicSlot]
  int playerTrack_ = -1;   // the track last added on the player's music channel
  int musicFailures_ = 0;  // tracks that failed to load one after another
};
