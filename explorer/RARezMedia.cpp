// The explorer window's media: loading pictures and videos, fitting them and drawing them.

#include <QFile>
#include <QPainter>

#include "common/Environment.h"
#include "controls/TotalPaintBox.h"
#include "controls/Transbut.h"
#include "explorer/uRARez.h"
#include "platform/Canvas.h"
#include "platform/Drives.h"
#include "platform/Jpeg.h"
#include "platform/RegularFile.h"

namespace {

// Largest picture file read whole; anything bigger is no picture a disc of the time held.
constexpr qint64 kMaxPictureFile = qint64(256) << 20;

std::optional<QByteArray> ReadMediaFile(const QString& path) {
  // The tree reports Windows paths over the drive map; a host path is taken as it is.
  QString host = path;
  if (auto mapped = platform::Drives().ToHost(path)) host = *mapped;
  // Not a plain QFile: a pipe named like a picture would block the open until a writer came.
  const std::unique_ptr<QFile> file = platform::OpenRegularFile(host);
  if (!file || file->size() > kMaxPictureFile) return std::nullopt;
  return file->readAll();
}

}  // namespace

bool TfmRARez::LoadPicture(MediaKindOf kind, const QString& path) {
  const auto bytes = ReadMediaFile(path);
  if (!bytes) return false;
  const int depth = Env().ColourDepth;
  switch (kind) {
    case MediaKindOf::Metafile: {
      auto metafile = platform::Metafile::FromBytes(*bytes);
      if (!metafile) return false;
      PictureMetafile = std::move(*metafile);
      metafileCache_ = QImage();
      PictureRect = FitPicture(pbMain->size(), PictureMetafile->Size());
      return true;
    }
    case MediaKindOf::Bitmap: {
      auto bitmap = platform::Bitmap::FromBmp(*bytes, depth);
      if (!bitmap || bitmap->IsEmpty()) return false;
      PictureBitmap = std::move(*bitmap);
      PictureSize = QSize(PictureBitmap->Width(), PictureBitmap->Height());
      jpegSource_.clear();
      break;
    }
    case MediaKindOf::Jpeg: {
      const auto size = platform::JpegSize(*bytes);
      if (!size) return false;
      auto picture = platform::DecodeJpeg(*bytes, depth, nullptr, LargestShownSize(*size));
      if (!picture || picture->IsEmpty()) return false;
      PictureBitmap = std::move(*picture);
      PictureSize = *size;
      jpegSource_ = *bytes;
      break;
    }
    default: return false;
  }
  PictureRect = FitPicture(pbMain->size(), PictureSize);
  return true;
}

bool TfmRARez::LoadVideo(const QString& path) {
  if (MediaPlayer->Playing()) MediaPlayer->Stop();
  if (MediaPlayer->IsOpen()) MediaPlayer->Close();
  QString host = path;
  if (auto mapped = platform::Drives().ToHost(path)) host = *mapped;
  if (!MediaPlayer->Open(host) || !MediaPlayer->CanPlay()) {
    MediaPlayer->Close();
    return false;
  }
  VideoRect = MediaPlayer->DisplayRect();
  PictureRect = FitPicture(pbMain->size(), VideoRect.size());
  PlaceVideoPanel();
  return true;
}

void TfmRARez::PlaceVideoPanel() {
  paMCI->setGeometry(PictureRect.translated(pbMain->pos()));
}

void TfmRARez::FitPictureRect() {
  if (MediaKind == MediaKindOf::Metafile && PictureMetafile) {
    PictureRect = FitPicture(pbMain->size(), PictureMetafile->Size());
  } else if ((MediaKind == MediaKindOf::Bitmap || MediaKind == MediaKindOf::Jpeg) &&
             PictureBitmap) {
    PictureRect = FitPicture(pbMain->size(), PictureSize);
    // A window grown past the size the picture was reduced to gets the picture again.
    const bool reduced = PictureBitmap->Width() < PictureSize.width();
    if (MediaKind == MediaKindOf::Jpeg && reduced && !jpegSource_.isEmpty() &&
        (PictureBitmap->Width() < PictureRect.width() ||
         PictureBitmap->Height() < PictureRect.height())) {
      auto picture = platform::DecodeJpeg(jpegSource_, Env().ColourDepth, nullptr,
                                          LargestShownSize(PictureSize));
      if (picture && !picture->IsEmpty()) PictureBitmap = std::move(*picture);
    }
  }
}

QSize TfmRARez::LargestShownSize(QSize size) const {
  if (width() <= 0 || height() <= 0) return {};
  // Full view fits the picture into the whole window, which holds the picture area too.
  return FitPicture(this->size(), size).size();
}

void TfmRARez::StopPlayback() {
  if (btStop->Enabled()) btStopClick(btStop);
}

const QImage& TfmRARez::MetafileImage() {
  // Played once per size: repaints of an unchanged picture cost a copy only.
  if (metafileCache_.size() != PictureRect.size()) {
    metafileCache_ = QImage(PictureRect.size(), QImage::Format_RGB32);
    metafileCache_.fill(pbMain->Color());
    QPainter painter(&metafileCache_);
    PictureMetafile->Play(painter, metafileCache_.rect());
  }
  return metafileCache_;
}

void TfmRARez::Redraw() {
  platform::Canvas& canvas = pbMain->Canvas();
  canvas.Fill(QRect(0, 0, pbMain->width(), pbMain->height()), pbMain->Color());
  switch (MediaKind) {
    case MediaKindOf::Bitmap:
    case MediaKindOf::Jpeg:
      if (PictureBitmap && !PictureRect.isEmpty())
        canvas.CopyRect(PictureRect, *PictureBitmap,
                        QRect(0, 0, PictureBitmap->Width(), PictureBitmap->Height()));
      break;
    case MediaKindOf::Metafile:
      if (PictureMetafile && !PictureRect.isEmpty())
        canvas.Draw(PictureRect.x(), PictureRect.y(), MetafileImage());
      break;
    case MediaKindOf::Video:
      paMCI->show();
      paMCI->raise();
      break;
    default: break;
  }
  pbMain->update();
}

void TfmRARez::pbMainPaint(QObject*) {
  platform::Canvas& canvas = pbMain->Canvas();
  switch (MediaKind) {
    case MediaKindOf::Metafile:
      if (PictureMetafile && !PictureRect.isEmpty())
        canvas.Draw(PictureRect.x(), PictureRect.y(), MetafileImage());
      break;
    case MediaKindOf::Wave:
    case MediaKindOf::Video: break;
    case MediaKindOf::None:
      canvas.Fill(QRect(0, 0, pbMain->width(), pbMain->height()), pbMain->Color());
      break;
    case MediaKindOf::Bitmap:
    case MediaKindOf::Jpeg:
      if (PictureBitmap && !PictureRect.isEmpty())
        canvas.CopyRect(PictureRect, *PictureBitmap,
                        QRect(0, 0, PictureBitmap->Width(), PictureBitmap->Height()));
      break;
  }
}

void TfmRARez::VideoNotified(platform::VideoNotify) {
  // The window asks for no notification; the last frame stays in the panel.
}
