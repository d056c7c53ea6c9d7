// The child controls of the main window other than pbMain, and their skin pictures.

#include <QResizeEvent>

#include "controls/PosBar.h"
#include "navigator/uMain.h"

QWidget* TfmMain::CreateChild(const QString& name, SkinnedControl::Kind kind) {
  switch (kind) {
    case SkinnedControl::Kind::PosBar: {
      auto* bar = new TPosBar(this);
      bar->SetVisible(false);  // placed and shown when a mode needs it
      return bar;
    }
    default: break;
  }
  return nullptr;
}

void TfmMain::PrepareSkin(const SkinnedControl& control) {
  if (auto* bar = qobject_cast<TPosBar*>(control.Widget)) bar->SetBackground(&BackgroundBitmap);
}

void TfmMain::AssignSkinPicture(const SkinnedControl& control, const char* property,
                                platform::Bitmap bitmap) {
  if (auto* bar = qobject_cast<TPosBar*>(control.Widget)) {
    const QLatin1String p(property);
    if (p == QLatin1String("PicUpUP")) bar->SetPicUpUP(bitmap);
    else if (p == QLatin1String("PicUpDO")) bar->SetPicUpDO(bitmap);
    else if (p == QLatin1String("PicDownUP")) bar->SetPicDownUP(bitmap);
    else if (p == QLatin1String("PicDownDO")) bar->SetPicDownDO(bitmap);
    else if (p == QLatin1String("PicSlider")) bar->SetPicSlider(bitmap);
    return;
  }
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
