#pragma once

// The skin naming rule: which bitmaps of the skin container a control takes, named after the
// control plus a suffix, as its Tag bits say.

#include <QString>
#include <vector>

enum class SkinClass { GraphicButton, TransButton, PosBar, HorzSliderBar, SpeedButton, Picture };

struct SkinPicture {
  const char* Property;  // the control's picture it fills ("PicUp" ...)
  QString BitmapName;    // the name in the container
};

std::vector<SkinPicture> SkinPictures(SkinClass kind, const QString& name, int tag);
