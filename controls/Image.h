#pragma once

// TImage: a control that shows one picture at its top-left corner, as the toolkit's image
// control does (no stretching, no centring). Skinned windows use it for pictures from their
// skin container, and the explorer's buttons take their background from one (BGPic).

#include <QWidget>

#include "platform/Bitmap.h"

class TImage : public QWidget {
  Q_OBJECT
 public:
  explicit TImage(QWidget* parent = nullptr);

  int Tag = 0;

  const platform::Bitmap& Picture() const { return picture_; }
  // Takes a copy of picture and repaints.
  void SetPicture(const platform::Bitmap& picture);

 signals:
  // The picture was replaced.
  void PictureChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  platform::Bitmap picture_;
};
