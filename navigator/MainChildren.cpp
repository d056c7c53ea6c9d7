// The child controls of the main window and their skin pictures.

#include <QResizeEvent>

#include "controls/DrawListBox.h"
#include "controls/PosBar.h"
#include "controls/TotalPaintBox.h"
#include "controls/Transbut.h"
#include "navigator/uMain.h"

QWidget* TfmMain::CreateChild(const QString& name, SkinnedControl::Kind kind) {
  switch (kind) {
    case SkinnedControl::Kind::PaintBox: {
      auto* box = new TTotalPaintBox(this);
      box->SetColor(Qt::black);
      box->SetVisible(false);  // the layout and the modes show them
      if (name == QLatin1String("pbMain")) {
        box->OnPaint = [this](QObject*) { PaintMain(); };
      } else if (name == QLatin1String("pbLogo") || name == QLatin1String("pbAdv")) {
        // The emblem is part of the background; the box only shows what lies under it (the
        // advertisement panel too, until an advertisement is drawn in it).
        box->OnPaint = [this, box](QObject*) { PaintBackgroundUnder(box); };
      }
      return box;
    }
    case SkinnedControl::Kind::List: {
      auto* list = new TDrawBox(this);
      list->SetVisible(false);
      return list;
    }
    case SkinnedControl::Kind::PosBar: {
      auto* bar = new TPosBar(this);
      bar->SetVisible(false);  // placed and shown when a mode needs it
      return bar;
    }
    case SkinnedControl::Kind::Button: {
      auto* button = new TGButton(this);
      button->SetTotalCtrlOverDraw(true);
      return button;
    }
    case SkinnedControl::Kind::Other:
      break;
  }
  return nullptr;
}

void TfmMain::PrepareSkin(const SkinnedControl& control) {
  if (auto* bar = qobject_cast<TPosBar*>(control.Widget)) {
    bar->SetBackground(&BackgroundBitmap);
    bar->SetBGParent(pbMain());
  } else if (auto* button = qobject_cast<TGButton*>(control.Widget)) {
    button->Tag = control.Tag;
    button->SetBackground(&BackgroundBitmap);
    button->SetBGParent(pbMain());
    button->setGeometry(0, 0, 2, 2);
  }
}

void TfmMain::AssignSkinPicture(const SkinnedControl& control, const char* property,
                                platform::Bitmap bitmap) {
  const QLatin1String p(property);
  if (auto* bar = qobject_cast<TPosBar*>(control.Widget)) {
    if (p == QLatin1String("PicUpUP"))
      bar->SetPicUpUP(bitmap);
    else if (p == QLatin1String("PicUpDO"))
      bar->SetPicUpDO(bitmap);
    else if (p == QLatin1String("PicDownUP"))
      bar->SetPicDownUP(bitmap);
    else if (p == QLatin1String("PicDownDO"))
      bar->SetPicDownDO(bitmap);
    else if (p == QLatin1String("PicSlider"))
      bar->SetPicSlider(bitmap);
  } else if (auto* button = qobject_cast<TGButton*>(control.Widget)) {
    if (p == QLatin1String("PicUp"))
      button->SetPicUp(bitmap);
    else if (p == QLatin1String("PicDown"))
      button->SetPicDown(bitmap);
    else if (p == QLatin1String("PicMove"))
      button->SetPicMove(bitmap);
    else if (p == QLatin1String("PicDisabled"))
      button->SetPicDisabled(bitmap);
    else if (p == QLatin1String("PicUp2"))
      button->SetPicUp2(bitmap);
  }
}

void TfmMain::FinishSkin(const SkinnedControl& control) {
  if (auto* button = qobject_cast<TGButton*>(control.Widget)) button->RefreshPictures();
}

TTotalPaintBox* TfmMain::pbMain() const {
  return qobject_cast<TTotalPaintBox*>(Control(QStringLiteral("pbMain")));
}

void TfmMain::SetAlternatePicture(const QString& name, bool alternate) {
  if (auto* button = qobject_cast<TGButton*>(Control(name))) button->SetShowUp2Pic(alternate);
}

bool TfmMain::ShowsAlternatePicture(const QString& name) const {
  const auto* button = qobject_cast<const TGButton*>(Control(name));
  return button && button->ShowUp2Pic();
}

void TfmMain::ShowListModeControls() {
  // What a list mode shows before the mode machine takes over: the background, the emblem and
  // the category, side and top buttons; the picture buttons wait for a description page.
  static const char* const kPictureButtons[] = {"gtbFull",  "gtbPrevious", "gtbNext",
                                                "gtbPapel", "gtbAlign",    "gtbHowTo"};
  for (const SkinnedControl& c : controls_) {
    auto* button = qobject_cast<TGButton*>(c.Widget);
    if (!button) continue;
    bool picture = false;
    for (const char* n : kPictureButtons) picture |= c.Name == QLatin1String(n);
    button->setVisible(!picture);
  }
}

void TfmMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // pbMain follows the client: covering it at the design width, centred otherwise.
  if (!BackgroundBitmap.IsEmpty()) PlaceControls();
}
