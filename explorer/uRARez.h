#pragma once

// The explorer's one window: the folder tree filtered to media files on the right, the chosen
// picture fitted into the picture area on the left (or over the whole window in full view),
// sounds and videos played, the path of the current item in the status bar.
//
// The window's work is split by concern: RARezWindow.cpp (creation, skin, layout, display
// changes, hooks), RARezMedia.cpp (loading and drawing pictures and videos), RARezActions.cpp
// (choosing a file, the buttons, sounds and the device retry).

#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <memory>
#include <optional>

#include "audio/SoundModule.h"
#include "audio/WaveMix.h"
#include "explorer/Fit.h"
#include "controls/DirTree.h"
#include "platform/Bitmap.h"
#include "platform/Metafile.h"
#include "platform/Timer.h"
#include "platform/VideoPlayer.h"

class TGButton;
class TImage;
class TKeyPreview;
class TTotalPaintBox;
namespace platform {
class TitledWindow;
}

class TfmRARez : public QWidget {
  Q_OBJECT

 public:
  static const QString kCaption;  // "Explorador MM - Quarx CD-ROM"

  // startPath: the command line's path, opened in the tree when not empty.
  explicit TfmRARez(const QString& startPath = {}, QWidget* parent = nullptr);
  ~TfmRARez() override;

  // False when the display was refused (message 0 shown); the program then ends.
  bool Usable() const { return usable_; }

  // The components, by their names.
  TTotalPaintBox* pbMain = nullptr;
  QWidget* paMaster = nullptr;
  TImage* imMarket = nullptr;
  QWidget* paTool = nullptr;
  TGButton* btFull = nullptr;
  TGButton* btPlay = nullptr;
  TGButton* btStop = nullptr;
  TGButton* btClose = nullptr;
  QWidget* StatusBar = nullptr;
  QLabel* StatusPanel = nullptr;
  QWidget* paMCI = nullptr;
  platform::VideoPlayer* MediaPlayer = nullptr;
  TFullTree* FullTree = nullptr;
  platform::Timer TurnWave{2000};

  // State.
  MediaKindOf MediaKind = MediaKindOf::None;
  bool FullView = false;
  QRect PictureRect;
  QRect VideoRect;
  std::optional<platform::Bitmap> PictureBitmap;
  // The shown picture's own size, which the fit uses: a JPEG picture is decoded no larger than
  // it can be shown (the window's size), so PictureBitmap may be smaller.
  QSize PictureSize;
  std::optional<platform::Metafile> PictureMetafile;
  QString ShownPath;
  QString WavePath;
  TMixWave* MixWave = nullptr;
  std::unique_ptr<TDXSound> SoundPlayer;
  std::unique_ptr<TWaveMix> Mixer;
  bool DeviceRetrying = false;

  // Handlers, public so that tests drive them as the controls would.
  void FullTreeSelectItem(QObject* sender, const QString& fullPath);
  void btPlayClick(QObject* sender);
  void btStopClick(QObject* sender);
  void btFullClick(QObject* sender);
  void btCloseClick(QObject* sender);
  void pbMainClick(QObject* sender);
  void pbMainPaint(QObject* sender);
  void TurnWaveTimer();
  void ApplicationActivate();
  void ApplicationDeactivate();
  // A display change: new depth and size, applied at once when the window is active.
  void DisplayChanged(int bitsPerPixel, int width, int height);
  void ApplyDisplayChange();
  void RunLayout();
  QString StatusText() const;

  // Whether the application is terminating (btClose, a refused display).
  bool Terminated() const { return terminated_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Creation (RARezWindow.cpp).
  void CreateComponents();
  bool InitialiseSound();
  void LoadSkin();
  void FormKeyUp(int& key);
  void Terminate();
  void SetStatusText(const QString& text);
  void SetFullViewControlsVisible(bool visible);
  void RestoreFromTitle();

  // Media (RARezMedia.cpp).
  bool LoadPicture(MediaKindOf kind, const QString& path);
  bool LoadVideo(const QString& path);
  void StopPlayback();
  void Redraw();
  void FitPictureRect();
  void PlaceVideoPanel();
  const QImage& MetafileImage();
  // The size a picture of its own size size is shown at, at most: fitted into the whole window
  // (full view); empty (no reduction) before the window has a size.
  QSize LargestShownSize(QSize size) const;
  void VideoNotified(platform::VideoNotify how);

  // Sounds (RARezActions.cpp).
  bool PlayWave(const QString& path);  // false when the wave could not be loaded
  void DeactivateSound();

  bool usable_ = true;
  bool terminated_ = false;
  bool displayChangePending_ = false;
  int newBitsPerPixel_ = 0, newWidth_ = 0, newHeight_ = 0;
  QImage metafileCache_;  // the metafile drawn at PictureRect's size
  QByteArray jpegSource_;  // the shown JPEG file, decoded again when the window grows
  TKeyPreview* keyPreview_ = nullptr;  // a child of the window
  std::unique_ptr<platform::TitledWindow> title_;
};
