#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "controls/TotalPaintBox.h"

namespace {

struct PaintBoxFixture : ::testing::Test {
  int paints = 0;
  QRect lastClip;
  QWidget form;  // after what its handlers use: it goes first
  TTotalPaintBox* box = nullptr;

  void SetUp() override {
    form.resize(200, 200);
    box = new TTotalPaintBox(&form);
    box->setGeometry(10, 10, 120, 90);
    box->SetColor(QColor(0, 128, 0));
    box->OnPaint = [this](QObject*) {
      ++paints;
      lastClip = box->Canvas().ClipRect();
      box->Canvas().Fill(lastClip, QColor(0, 0, 200));
    };
    form.show();
    QApplication::processEvents();
  }

  QRgb Pixel(QPoint inBox) { return box->grab().toImage().pixel(inBox); }
};

TEST_F(PaintBoxFixture, OnPaintRunsForWhatTheOwnerInvalidates) {
  EXPECT_GE(paints, 1) << "the first showing paints";
  EXPECT_EQ(Pixel(QPoint(5, 5)), 0xFF0000C8);
  const int before = paints;

  // Drawing outside OnPaint shows without OnPaint painting over it.
  box->Canvas().Fill(QRect(0, 0, 20, 20), Qt::red);
  QApplication::processEvents();
  EXPECT_EQ(paints, before);
  EXPECT_EQ(Pixel(QPoint(5, 5)), 0xFFFF0000);
  box->update();  // an expose only puts the buffer back
  QApplication::processEvents();
  EXPECT_EQ(paints, before);

  box->Invalidate(QRect(0, 0, 30, 10));
  QApplication::processEvents();
  EXPECT_EQ(paints, before + 1);
  EXPECT_EQ(lastClip, QRect(0, 0, 30, 10)) << "OnPaint sees the area as its clip rectangle";
  EXPECT_EQ(Pixel(QPoint(5, 5)), 0xFF0000C8);
  EXPECT_EQ(Pixel(QPoint(5, 15)), 0xFFFF0000) << "outside the area the drawing stays";
}

TEST_F(PaintBoxFixture, AHiddenBoxIgnoresPaintRequests) {
  box->SetVisible(false);
  const int before = paints;
  box->Repaint();
  box->Invalidate();
  QApplication::processEvents();
  EXPECT_EQ(paints, before);

  box->SetVisible(true);
  QApplication::processEvents();
  EXPECT_EQ(paints, before) << "showing repaints nothing: the owner does";

  box->SetTotalCtrlOverDraw(false);
  box->SetVisible(false);
  box->SetVisible(true);
  QApplication::processEvents();
  EXPECT_EQ(paints, before + 1) << "an ordinary box paints when shown";
}

TEST_F(PaintBoxFixture, ClicksNeedPressAndReleaseOnTheBox) {
  int clicks = 0;
  box->OnClick = [&](QObject*) { ++clicks; };
  QTest::mousePress(box, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(box->MouseCapture()) << "a press holds the mouse";
  QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(box->MouseCapture());
  EXPECT_EQ(clicks, 1);
  QTest::mousePress(box, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(150, 5));
  EXPECT_EQ(clicks, 1) << "released outside: no click";

  box->SetMouseCapture(true);
  EXPECT_TRUE(box->MouseCapture());
  box->SetMouseCapture(false);
  EXPECT_FALSE(box->MouseCapture());

  box->SetVisible(false);
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1) << "a hidden box takes no clicks";
}

TEST_F(PaintBoxFixture, APictureOfTheBoxSizeCoversAWholePaintWithoutACopy) {
  QImage plain(box->size(), QImage::Format_RGB32);
  plain.fill(QColor(10, 20, 30));
  const platform::Bitmap picture(plain);
  int covered = 0, declined = 0;
  box->OnPaint = [&](QObject*) {
    if (box->CoverWith(picture)) {
      ++covered;
      return;
    }
    ++declined;
    box->Canvas().Fill(box->Canvas().ClipRect(), QColor(0, 0, 200));
  };
  box->Repaint();
  EXPECT_EQ(covered, 1);
  EXPECT_EQ(Pixel(QPoint(60, 45)), qRgb(10, 20, 30));
  EXPECT_EQ(box->Canvas().Image().constBits(), plain.constBits());

  // Drawing afterwards changes the box, never the picture.
  box->Canvas().Fill(QRect(0, 0, 5, 5), Qt::red);
  EXPECT_EQ(Pixel(QPoint(2, 2)), qRgb(255, 0, 0));
  EXPECT_EQ(picture.Image().pixel(2, 2), qRgb(10, 20, 30));

  // Part of the box, or a picture of another size: the owner draws as usual.
  box->Invalidate(QRect(0, 0, 30, 10));
  QApplication::processEvents();
  EXPECT_EQ(declined, 1);
  EXPECT_EQ(Pixel(QPoint(20, 5)), qRgb(0, 0, 200));
  EXPECT_EQ(Pixel(QPoint(20, 50)), qRgb(10, 20, 30));
  box->resize(130, 90);
  box->Repaint();
  EXPECT_EQ(covered, 1);
  EXPECT_EQ(Pixel(QPoint(125, 5)), qRgb(0, 0, 200));
  // Outside a paint there is nothing to cover.
  EXPECT_FALSE(box->CoverWith(picture));
}

TEST(TotalPaintBox, Defaults) {
  QWidget form;
  TTotalPaintBox box(&form);
  EXPECT_EQ(box.size(), QSize(105, 105));
  EXPECT_TRUE(box.TotalCtrlOverDraw());
  EXPECT_FALSE(box.MouseCapture());
  TTotalSpeed speed(&form);
  EXPECT_TRUE(speed.TotalCtrlOverDraw());

  // Placed on a window not shown yet, the box can be drawn on at its new size at once.
  box.setGeometry(0, 0, 300, 200);
  box.Canvas().Fill(QRect(250, 150, 10, 10), QColor(1, 2, 3));
  EXPECT_EQ(box.Canvas().Pixel(255, 155), qRgb(1, 2, 3));
}

}  // namespace
