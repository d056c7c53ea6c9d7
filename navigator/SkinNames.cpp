#include "navigator/SkinNames.h"

#include "navigator/uMain.h"

std::vector<SkinPicture> SkinPictures(SkinClass kind, const QString& name, int tag) {
  std::vector<SkinPicture> out;
  auto add = [&](const char* property, const char* suffix) {
    out.push_back({property, name + QLatin1String(suffix)});
  };
  switch (kind) {
    case SkinClass::GraphicButton:
      add("PicUp", "u");
      add("PicDown", "d");
      if (!(tag & kTagNoHover)) {
        add("PicMove", "m");
        add("PicDisabled", "e");
      }
      if (tag & kTagSecondUp) add("PicUp2", "u2");
      break;
    case SkinClass::TransButton:
      add("PicUp", "u");
      add("PicDown", "d");
      add("PicFocused", "f");
      add("PicMove", "m");
      add("PicDisabled", "e");
      break;
    case SkinClass::PosBar:
    case SkinClass::HorzSliderBar:
      add("PicUpUP", "UpUp");
      if (kind == SkinClass::PosBar) add("PicUpDO", "UpDo");
      add("PicDownUP", "DoUp");
      add("PicDownDO", "DoDo");
      add("PicSlider", "Sl");
      break;
    case SkinClass::SpeedButton:
      add("Glyph", "");
      break;
    case SkinClass::Picture:
      add("Picture", "");
      break;
  }
  return out;
}
