#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "TransbutMouse.h"
#include "controls/Transbut.h"
#include "platform/Dialogs.h"

using platform::Bitmap;

namespace {

using transbutpictures::kKey;
using transbutpictures::Shape;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kGrey = 0xFF808080;

// A background whose every pixel tells where it is.
Bitmap Backdrop(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x, y, 77));
  return Bitmap(image);
}

class PaintCountingWindow : public QWidget {
 public:
  int Paints = 0;

 protected:
  void paintEvent(QPaintEvent*) override { ++Paints; }
};

class TransbutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<PaintCountingWindow>();
    window_->resize(200, 120);
    background_ = Backdrop(200, 120);
  }

  // A 20 x 16 button at (50, 30) over the backdrop, shown.
  TGButton* MakeButton(TGButton::Variant variant = TGButton::Variant::Navigator) {
    auto* button = new TGButton(window_.get(), variant);
    button->SetBackground(&background_);
    button->SetPicUp(Shape(20, 16, kRed));
    button->SetPicDown(Shape(20, 16, kBlue));
    button->move(50, 30);
    button->RefreshPictures();
    button->OnClick = [this](QObject*) { ++clicks_; };
    return button;
  }

  void Show() {
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    // Start every test with the pointer on a spot of its own, away from the buttons.
    transbutmouse::Move(window_.get(), QPoint(199, 119));
  }

  static QRgb PixelOf(QWidget* widget, int x, int y) {
    return widget->grab().toImage().pixel(x, y) | 0xFF000000u;
  }

  std::unique_ptr<PaintCountingWindow> window_;
  Bitmap background_;
  int clicks_ = 0;
};

}  // namespace

// A press on PicUp's transparent colour changes nothing and never clicks; with
// FullAreaSense the same press presses and clicks.
TEST_F(TransbutTest, TransparentPixelsDoNotReactUnlessFullAreaSense) {
  TGButton* button = MakeButton();
  int downs = 0;
  button->OnMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    ++downs;
  };
  Show();
  const QPoint corner(1, 14);
  transbutmouse::Press(button, corner);
  EXPECT_EQ(button->State(), 0);
  EXPECT_EQ(button->Current().Image(), button->PicUp().Image());
  transbutmouse::Release(button, corner);
  EXPECT_EQ(clicks_, 0);
  EXPECT_EQ(downs, 0);

  button->SetFullAreaSense(true);
  transbutmouse::Press(button, corner);
  EXPECT_EQ(button->State(), 1);
  EXPECT_EQ(button->Current().Image(), button->PicDown().Image());
  transbutmouse::Release(button, corner);
  EXPECT_EQ(clicks_, 1);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(button->State(), 0);

  // Without PicTransp every pixel reacts too.
  button->SetFullAreaSense(false);
  button->SetPicTransp(false);
  EXPECT_TRUE(button->IsSensitive(corner.x(), corner.y()));
}

TEST_F(TransbutTest, PressMoveOutReleaseOutsideGivesNoClick) {
  TGButton* button = MakeButton();
  Show();
  transbutmouse::Press(button, QPoint(10, 8));
  EXPECT_EQ(button->State(), 1);
  transbutmouse::Move(button, QPoint(40, 8));
  EXPECT_EQ(button->State(), 0);
  EXPECT_EQ(button->Current().Image(), button->PicUp().Image());
  transbutmouse::Release(button, QPoint(40, 8));
  EXPECT_EQ(clicks_, 0);
  EXPECT_EQ(button->State(), 0);

  // Coming back before the release still clicks: the press was accepted.
  transbutmouse::Press(button, QPoint(10, 8));
  transbutmouse::Move(button, QPoint(40, 8));
  transbutmouse::Move(button, QPoint(10, 8));
  transbutmouse::Release(button, QPoint(10, 8));
  EXPECT_EQ(clicks_, 1);
}

// Hover shows PicMove when there is one and keeps the up picture when there is none; row and
// column 0 count as outside; entering and leaving are reported once each.
TEST_F(TransbutTest, HoverPicturesAndEnterLeaveEvents) {
  TGButton* plain = MakeButton();
  TGButton* lit = MakeButton();
  lit->move(100, 30);
  lit->SetPicMove(Shape(20, 16, kGreen));
  int ins = 0, outs = 0;
  lit->OnMouseIn = [&](QObject*) { ++ins; };
  lit->OnMouseOut = [&](QObject*) { ++outs; };
  Show();

  transbutmouse::Move(plain, QPoint(10, 8));
  EXPECT_EQ(plain->State(), 2);
  EXPECT_EQ(plain->Current().Image(), plain->PicUp().Image());

  transbutmouse::Move(lit, QPoint(10, 8));
  EXPECT_EQ(plain->State(), 0);
  EXPECT_EQ(lit->State(), 2);
  EXPECT_EQ(PixelOf(lit, 10, 8), kGreen);
  transbutmouse::Move(lit, QPoint(0, 8));  // column 0: outside
  EXPECT_EQ(lit->State(), 0);
  EXPECT_EQ(PixelOf(lit, 10, 8), kRed);
  transbutmouse::Move(lit, QPoint(1, 1));  // back in, on the transparent colour: no hover
  EXPECT_EQ(lit->State(), 0);
  transbutmouse::Move(lit, QPoint(10, 8));
  transbutmouse::Move(window_.get(), QPoint(5, 5));
  EXPECT_EQ(lit->State(), 0);
  EXPECT_EQ(ins, 1);
  EXPECT_EQ(outs, 1);
}

TEST_F(TransbutTest, DisabledPictureAndShowUp2Pic) {
  TGButton* bare = MakeButton();
  TGButton* full = MakeButton();
  full->move(100, 30);
  full->SetPicDisabled(Shape(20, 16, kGrey));
  full->SetPicUp2(Shape(20, 16, kGreen));
  full->SetPicMove(Shape(20, 16, kBlue));
  Show();

  bare->SetEnabled(false);  // no disabled picture: the picture stays, input is blocked
  EXPECT_EQ(bare->Current().Image(), bare->PicUp().Image());
  transbutmouse::Click(bare, QPoint(10, 8));
  EXPECT_EQ(clicks_, 0);

  full->SetEnabled(false);
  EXPECT_EQ(full->State(), 4);
  EXPECT_EQ(PixelOf(full, 10, 8), kGrey);
  full->SetEnabled(true);
  EXPECT_EQ(full->State(), 0);
  EXPECT_EQ(PixelOf(full, 10, 8), kRed);

  // Toggled while hovered: nothing changes until the button returns to up.
  transbutmouse::Move(full, QPoint(10, 8));
  ASSERT_EQ(full->State(), 2);
  full->SetShowUp2Pic(true);
  EXPECT_EQ(PixelOf(full, 10, 8), kBlue);
  transbutmouse::Move(window_.get(), QPoint(5, 5));
  EXPECT_EQ(PixelOf(full, 10, 8), kGreen);
  // A new up picture does not hide the second one of a toggled button.
  full->SetPicUp(Shape(20, 16, kRed));
  EXPECT_EQ(PixelOf(full, 10, 8), kGreen);
  full->SetShowUp2Pic(false);
  EXPECT_EQ(PixelOf(full, 10, 8), kRed);
}

// A toggle whose skin has no second up picture keeps showing its up picture: toggled, given a
// new up picture, and back to up after a press.
TEST_F(TransbutTest, ToggledButtonWithoutASecondUpPictureShowsItsUpPicture) {
  TGButton* toggle = MakeButton();
  Show();
  toggle->SetShowUp2Pic(true);
  EXPECT_EQ(PixelOf(toggle, 10, 8), kRed);
  toggle->SetPicUp(Shape(20, 16, kGreen));
  EXPECT_FALSE(toggle->Current().IsEmpty());
  EXPECT_EQ(PixelOf(toggle, 10, 8), kGreen);
  transbutmouse::Click(toggle, QPoint(10, 8));
  EXPECT_EQ(clicks_, 1);
  transbutmouse::Move(window_.get(), QPoint(5, 5));
  EXPECT_EQ(toggle->State(), 0);
  EXPECT_EQ(PixelOf(toggle, 10, 8), kGreen);
}

// The button grows to a larger picture, never shrinks, and draws a smaller one centred over
// the window's background, which shows through the transparent corners.
TEST_F(TransbutTest, GrowsToPicturesAndDrawsThemCentredOverTheBackground) {
  TGButton* button = MakeButton();
  Show();
  EXPECT_EQ(button->size(), QSize(20, 16));
  button->SetPicDown(Shape(30, 24, kBlue));
  EXPECT_EQ(button->size(), QSize(30, 24));
  button->SetPicMove(Shape(8, 6, kGreen));
  EXPECT_EQ(button->size(), QSize(30, 24));

  const QImage shown = button->grab().toImage();
  // PicUp (20 x 16) centred: offset (5, 4).
  EXPECT_EQ(shown.pixel(5 + 10, 4 + 8) | 0xFF000000u, kRed);
  for (QPoint p : {QPoint(0, 0), QPoint(29, 0), QPoint(0, 23), QPoint(29, 23), QPoint(6, 5)})
    EXPECT_EQ(shown.pixel(p) | 0xFF000000u, background_.Image().pixel(p + QPoint(50, 30)))
        << p.x() << "," << p.y();

  // A sibling as background origin.
  auto* origin = new QWidget(window_.get());
  origin->setGeometry(40, 20, 10, 10);
  button->SetBGParent(origin);
  EXPECT_EQ(PixelOf(button, 0, 0), background_.Image().pixel(10, 10) | 0xFF000000u);
  delete origin;
  EXPECT_EQ(button->BGParent(), nullptr);
}

TEST_F(TransbutTest, ForeignBGParentRaisesAndKeepsTheOldValue) {
  TGButton* button = MakeButton();
  auto* sibling = new QWidget(window_.get());
  button->SetBGParent(sibling);
  QWidget stranger;
  try {
    button->SetBGParent(&stranger);
    ADD_FAILURE() << "no exception";
  } catch (const ETransButError& error) {
    EXPECT_EQ(error.Message(), QString::fromUtf8("O TGraphicControl especificado não tem o mesmo "
                                                 "parente que o TTransButton."));
  }
  EXPECT_EQ(button->BGParent(), sibling);
}

// With TotalCtrlOverDraw neither hiding nor showing repaints what lies below, and a hidden
// button neither paints nor takes the mouse; without it Qt repaints as usual.
TEST_F(TransbutTest, TotalCtrlOverDrawHidesWithoutRepaintingBelow) {
  TGButton* owned = MakeButton();
  owned->SetTotalCtrlOverDraw(true);
  Show();
  QApplication::processEvents();
  const int before = window_->Paints;
  owned->hide();
  QApplication::processEvents();
  EXPECT_EQ(window_->Paints, before);
  EXPECT_FALSE(owned->Visible());
  transbutmouse::Click(owned, QPoint(10, 8));
  EXPECT_EQ(clicks_, 0);
  owned->show();
  QApplication::processEvents();
  EXPECT_EQ(window_->Paints, before);
  transbutmouse::Click(owned, QPoint(10, 8));
  EXPECT_EQ(clicks_, 1);

  // Hidden before the window is first shown: it stays hidden when the window appears.
  QWidget lateWindow;
  auto* early = new TGButton(&lateWindow);
  early->SetTotalCtrlOverDraw(true);
  early->hide();
  lateWindow.show();
  EXPECT_FALSE(early->Visible());
  EXPECT_FALSE(early->isVisible());
  early->show();
  EXPECT_TRUE(early->isVisible());

  owned->SetTotalCtrlOverDraw(false);
  owned->hide();
  QApplication::processEvents();
  EXPECT_GT(window_->Paints, before);
}

TEST_F(TransbutTest, ExplorerVariantUsesItsImageAndReturnsUpOnCaptureLoss) {
  auto* image = new TImage(window_.get());
  QImage picture(200, 120, QImage::Format_RGB32);
  picture.fill(qRgb(1, 2, 3));
  image->SetPicture(Bitmap(picture));
  TGButton* button = MakeButton(TGButton::Variant::Explorer);
  button->SetBackground(nullptr);
  button->SetBGPic(image);
  int ins = 0;
  button->OnMouseIn = [&](QObject*) { ++ins; };
  Show();
  EXPECT_EQ(PixelOf(button, 0, 0), qRgb(1, 2, 3));

  transbutmouse::Move(button, QPoint(10, 8));
  EXPECT_EQ(button->State(), 2);
  QEvent deactivate(QEvent::ActivationChange);
  QApplication::sendEvent(button, &deactivate);  // the window is not active offscreen here
  if (!button->isActiveWindow()) {
    EXPECT_EQ(button->State(), 0);
  }
  transbutmouse::Move(button, QPoint(10, 8));
  transbutmouse::Move(window_.get(), QPoint(5, 5));
  EXPECT_EQ(button->State(), 0);
  EXPECT_EQ(ins, 0);

  delete image;
  EXPECT_EQ(button->BGPic(), nullptr);
  EXPECT_EQ(button->ExternalBackground(), nullptr);
  EXPECT_EQ(PixelOf(button, 0, 0), window_->palette().color(QPalette::Window).rgb());
}

// The explorer hides its buttons in full view and shows them again: a disabled button must
// come back disabled, and so after the pointer leaves it or the window is deactivated.
TEST_F(TransbutTest, ExplorerButtonsStayDisabledThroughHideLeaveAndDeactivation) {
  TGButton* button = MakeButton(TGButton::Variant::Explorer);
  button->SetPicDisabled(Shape(20, 16, kBlue));
  button->SetEnabled(false);
  Show();
  ASSERT_EQ(button->State(), 4);
  button->hide();
  button->show();
  EXPECT_EQ(button->State(), 4);
  transbutmouse::Move(button, QPoint(10, 8));
  transbutmouse::Move(window_.get(), QPoint(5, 5));
  EXPECT_EQ(button->State(), 4);
  QEvent deactivate(QEvent::ActivationChange);
  QApplication::sendEvent(button, &deactivate);
  EXPECT_EQ(button->State(), 4);
  button->SetEnabled(true);
  EXPECT_EQ(button->State(), 0);
}

// A handler may close the window from its click, and an exception it throws is shown, not
// passed through Qt's event dispatch.
TEST_F(TransbutTest, ClickHandlersMayDestroyTheButtonOrThrow) {
  platform::ScopedScriptedDialogs dialogs;
  TGButton* doomed = MakeButton();
  int ups = 0;
  doomed->OnMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++ups; };
  doomed->OnClick = [&](QObject* sender) { delete sender; };
  TGButton* thrower = MakeButton();
  thrower->move(100, 30);
  thrower->OnClick = [](QObject*) { throw ETransButError(QStringLiteral("falhou")); };
  Show();
  transbutmouse::Click(doomed, QPoint(10, 8));
  EXPECT_EQ(ups, 0);
  transbutmouse::Click(thrower, QPoint(10, 8));
  ASSERT_EQ(dialogs->Messages().size(), 1u);
  EXPECT_EQ(dialogs->Messages()[0].text, QStringLiteral("falhou"));
  EXPECT_EQ(thrower->State(), 0);
}
