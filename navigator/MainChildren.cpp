// The child controls of the main window other than pbMain, and their skin pictures.

#include <QResizeEvent>

#include "navigator/uMain.h"

QWidget* TfmMain::CreateChild(const QString& name, SkinnedControl::Kind kind) {
  return nullptr;
}

void TfmMain::AssignSkinPicture(const SkinnedControl& control, const char* property,
                                platform::Bitmap bitmap) {
  skinPictures_[control.Name + QLatin1Char('.') + QLatin1String(property)] = std::move(bitmap);
}

const platform::Bitmap* TfmMain::LoadedSkinPicture(const QString& key) const {
  const auto it = skinPictures_.find(key);
  return it == skinPictures_.end() ? nullptr : &it->second;
}

void TfmMain::SetAlternatePicture(const QString& name, bool alternate) {}

void TfmMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // pbMain follows the client: covering it at the design width, centred otherwise.
  if (!BackgroundBitmap.IsEmpty()) PlaceControls();
}
