#include "navigator/Wallpaper.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QStandardPaths>

#include "common/Environment.h"
#include "common/Messages.h"
#include "formats/DemoFile.h"
#include "navigator/DemoActions.h"
#include "platform/Dialogs.h"
#include "platform/Wallpaper.h"

namespace {
constexpr int kMaxNameLength = 255;
constexpr int kEffectClick = 0;
constexpr int kClickChannel = 1;
constexpr int kFirstPageMode = 5;
constexpr int kLastPageMode = 9;
constexpr int kViewerMode = 10;

bool IsPageMode(int mode) { return mode >= kFirstPageMode && mode <= kLastPageMode; }

// A file named like name (without regard to case) among folder's "*.bmp" files.
bool BitmapNameTaken(const QString& folder, const QString& name) {
  const QStringList existing =
      QDir(folder).entryList({"*.bmp"}, QDir::Files | QDir::Hidden | QDir::System,
                             QDir::NoSort);
  for (const QString& other : existing)
    if (other.compare(name, Qt::CaseInsensitive) == 0) return true;
  return false;
}
}  // namespace

QString WallpaperDefaultName(const QString& demFile, int imageNumber) {
  return "Dalventora " + demFile.left(std::max<qsizetype>(0, demFile.size() - 5)) +
         QString::number(imageNumber) + ".bmp";
}

QString ForceBmpExtension(const QString& name) {
  if (name.size() >= 4 && name[name.size() - 4] == '.') return name.left(name.size() - 4) + ".bmp";
  return name + ".bmp";
}

QSize WallpaperSize(QSize screenshot, QSize screen) {
  return screenshot.height() < screen.height() ? screenshot : screen;
}

platform::Bitmap MakeWallpaper(const platform::Bitmap& screenshot, QSize size, int colourDepth) {
  if (screenshot.IsEmpty() || size.isEmpty()) return {};
  if (colourDepth == 8 && screenshot.HasPalette())
    return platform::Bitmap(screenshot.Image().scaled(size, Qt::IgnoreAspectRatio,
                                                      Qt::FastTransformation));
  return platform::Bitmap(
      screenshot.ToRgb32().scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

QByteArray WallpaperFileBytes(const platform::Bitmap& wallpaper) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImage image = wallpaper.Image();
  // The display's format: 8 bits with the palette, else 24 bits (no alpha in a wallpaper).
  if (!wallpaper.HasPalette()) image = image.convertToFormat(QImage::Format_RGB888);
  if (!image.save(&buffer, "BMP")) return {};
  return bytes;
}

std::optional<QString> WriteWholeFile(const QString& hostPath, const QByteArray& bytes) {
  QSaveFile file(hostPath);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();
  if (file.write(bytes) != bytes.size()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return reason;
  }
  if (!file.commit()) return file.errorString();
  return std::nullopt;
}

QString DefaultWallpaperFolder() {
  const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) return pictures;
  return QDir::homePath();
}

void DemoActions::gtbPapelClick() {
  const int mode = window_.CurrentMode();
  int category = -1;
  if (IsPageMode(mode)) {
    category = mode - kFirstPageMode;
  } else if (mode == kViewerMode && IsPageMode(window_.ReturnMode())) {
    category = window_.ReturnMode() - kFirstPageMode;
  } else {
    return;
  }
  const DemoEntry* entry = window_.Entry(category, window_.DescribedEntry());
  if (!entry) return;
  platform::FileDialogRequest request;
  request.title = "Altere o nome do papel se desejado";
  request.filters = {"Bitmap (*.bmp)", "Todos os arquivos (*.*)"};
  request.fileName = WallpaperDefaultName(entry->DemFile, window_.ImageNumber());
  request.folder = DefaultWallpaperFolder();
  window_.PlayEffect(kEffectClick, kClickChannel);

  QString target;
  for (;;) {
    const auto chosen = platform::Dialogs().SaveFile(request);
    if (!chosen) return;
    const QFileInfo info(*chosen);
    const QString folder = info.absolutePath();
    const QString name = ForceBmpExtension(info.fileName());
    request.folder = folder;
    request.fileName = name;
    if (name.size() > kMaxNameLength) {
      ShowAppMessage(17);
      continue;
    }
    target = QDir(folder).filePath(name);
    if (BitmapNameTaken(folder, name) &&
        ShowAppMessage(16, target) != platform::MsgResult::Yes)
      continue;
    break;
  }

  const auto shot = window_.Screenshot();
  if (!shot || shot->IsEmpty()) return;
  const Environment& env = Env();
  const QSize size = WallpaperSize(QSize(shot->Width(), shot->Height()),
                                   QSize(env.ScreenWidth, env.ScreenHeight));
  const QByteArray bytes = WallpaperFileBytes(MakeWallpaper(*shot, size, env.ColourDepth));
  const auto failure =
      bytes.isEmpty() ? std::optional<QString>("") : WriteWholeFile(target, bytes);
  if (failure) {
    // Nothing is offered for a file that is not there; the old file, if any, is untouched.
    platform::MessageBoxRequest box;
    box.title = "Papel de Parede";
    box.text = "Não foi possível gravar \"" + target + "\"." +
               (failure->isEmpty() ? QString() : "\n\r" + *failure);
    box.icon = platform::MsgIcon::Stop;
    platform::Dialogs().ShowMessage(box);
    return;
  }
  if (ShowAppMessage(2) != platform::MsgResult::Yes) return;
  if (platform::SetDesktopWallpaper(target).Set) return;
  platform::MessageBoxRequest box;
  box.title = "Papel de Parede";
  box.text = "A área de trabalho não aceitou o papel de parede.\n\rO arquivo está em \"" +
             target + "\"; selecione-o nas configurações da área de trabalho.";
  box.icon = platform::MsgIcon::Warning;
  platform::Dialogs().ShowMessage(box);
}
