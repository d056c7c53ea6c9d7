#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>
#include <memory>

#include "TransbutMouse.h"
#include "controls/KeyPreview.h"
#include "controls/Transbut.h"

using platform::Bitmap;

namespace {

using transbutpictures::kKey;
using transbutpictures::Shape;

QRgb Centre(QWidget* widget) {
  return widget->grab().toImage().pixel(widget->width() / 2, widget->height() / 2) | 0xFF000000u;
}

// A list-like control that sees its keys before the window when it wants to.
class FirstControl : public QWidget, public TKeyFirstControl {
 public:
  FirstControl(QWidget* parent, QStringList* log) : QWidget(parent), log_(log) {
    setFocusPolicy(Qt::StrongFocus);
  }
  bool Wants = true;
  bool ConsumeFirst = false;
  bool AcceptOwn = true;
  int LastOwnKey = 0;

  bool WantsKeysFirst() const override { return Wants; }
  void KeyDownFirst(int& key, Qt::KeyboardModifiers) override {
    *log_ << QStringLiteral("first");
    if (ConsumeFirst) key = 0;
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    *log_ << (TKeyPreview::Delivering() ? QStringLiteral("own") : QStringLiteral("own-alone"));
    LastOwnKey = event->key();
    event->setAccepted(AcceptOwn);
  }

 private:
  QStringList* log_;
};

class Form : public QWidget {
 public:
  explicit Form(QStringList* log) : log_(log) {}

 protected:
  void keyPressEvent(QKeyEvent*) override { *log_ << QStringLiteral("form-own"); }

 private:
  QStringList* log_;
};

class KeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<Form>(&log_);
    form_->resize(160, 100);
    preview_ = new TKeyPreview(form_.get());
    preview_->OnKeyDown = [this](QObject* sender, int& key, Qt::KeyboardModifiers) {
      EXPECT_EQ(sender, form_.get());
      log_ << QStringLiteral("preview");
      if (key == formConsumes_) key = 0;
      if (key == Qt::Key_F2) key = Qt::Key_F3;
    };
    preview_->OnKeyUp = [this](QObject*, int&, Qt::KeyboardModifiers) {
      log_ << QStringLiteral("preview-up");
    };
    list_ = new FirstControl(form_.get(), &log_);
    list_->setGeometry(0, 0, 80, 80);
  }

  QStringList log_;
  std::unique_ptr<Form> form_;
  TKeyPreview* preview_ = nullptr;
  FirstControl* list_ = nullptr;
  int formConsumes_ = -1;
};

}  // namespace

// A key the control consumes first reaches neither the window's preview nor anything else;
// otherwise the preview comes before the control's own handling, once.
TEST_F(KeysTest, ControlFirstThenWindowPreviewThenControl) {
  list_->ConsumeFirst = true;
  QTest::keyPress(list_, Qt::Key_Down);
  EXPECT_EQ(log_, QStringList{"first"});

  log_.clear();
  list_->ConsumeFirst = false;
  QTest::keyPress(list_, Qt::Key_Down);
  EXPECT_EQ(log_, (QStringList{"first", "preview", "own"}));

  log_.clear();
  formConsumes_ = Qt::Key_Down;
  QTest::keyPress(list_, Qt::Key_Down);
  EXPECT_EQ(log_, (QStringList{"first", "preview"}));

  // Not wanting keys first: the ordinary route alone.
  log_.clear();
  list_->Wants = false;
  QTest::keyPress(list_, Qt::Key_Up);
  EXPECT_EQ(log_, (QStringList{"preview", "own"}));
}

TEST_F(KeysTest, IgnoredKeysPropagateOnceAndChangedKeysArrive) {
  list_->AcceptOwn = false;
  QTest::keyPress(list_, Qt::Key_A);
  EXPECT_EQ(log_, (QStringList{"first", "preview", "own", "form-own"}));

  log_.clear();
  list_->AcceptOwn = true;
  QTest::keyPress(list_, Qt::Key_F2);
  EXPECT_EQ(list_->LastOwnKey, Qt::Key_F3);

  log_.clear();
  QTest::keyRelease(list_, Qt::Key_A);
  EXPECT_EQ(log_, QStringList{"preview-up"});

  // A widget of another window is no business of this preview.
  log_.clear();
  FirstControl stranger(nullptr, &log_);
  stranger.Wants = false;
  QTest::keyPress(&stranger, Qt::Key_A);
  EXPECT_EQ(log_, QStringList{"own-alone"});
}

// Enter pressed presses, released clicks; Escape cancels a keyboard press; a handler that
// consumes the key stops it.
TEST(TransButtonTest, KeyboardPressAndClick) {
  QWidget window;
  auto* button = new TTransButton(&window);
  button->SetPicUp(Shape(20, 16, 0xFFFF0000));
  button->SetPicDown(Shape(20, 16, 0xFF0000FF));
  int clicks = 0;
  button->OnClick = [&](QObject*) { ++clicks; };
  EXPECT_TRUE(button->TabStop());

  QTest::keyPress(button, Qt::Key_Return);
  EXPECT_EQ(button->State(), 1);
  EXPECT_EQ(Centre(button), 0xFF0000FFu);
  QTest::keyRelease(button, Qt::Key_Return);
  EXPECT_EQ(button->State(), 0);
  EXPECT_EQ(clicks, 1);

  QTest::keyPress(button, Qt::Key_Space);
  QTest::keyClick(button, Qt::Key_Escape);
  EXPECT_EQ(button->State(), 0);
  QTest::keyRelease(button, Qt::Key_Space);
  EXPECT_EQ(clicks, 1);

  button->OnKeyDown = [](QObject*, int& key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Return) key = 0;
  };
  QTest::keyClick(button, Qt::Key_Return);
  EXPECT_EQ(button->State(), 0);
  EXPECT_EQ(clicks, 1);
}

TEST(TransButtonTest, FocusPictureAndItsFrames) {
  QWidget window;
  window.resize(100, 60);
  auto* button = new TEscatBtn(&window);
  auto* other = new TTransButton(&window);
  other->move(50, 0);
  button->SetPicUp(Shape(20, 16, 0xFFFF0000));
  QImage strip(60, 16, QImage::Format_RGB32);
  strip.fill(kKey);
  for (int frame = 0; frame < 3; ++frame)
    for (int y = 2; y < 14; ++y)
      for (int x = 2; x < 18; ++x) strip.setPixel(frame * 20 + x, y, qRgb(10 * (frame + 1), 0, 0));
  button->SetFocusFrames(3);
  button->SetPicFocused(Bitmap(strip));
  EXPECT_EQ(button->size(), QSize(20, 16)) << "grows to one frame only";
  int entered = 0, exited = 0;
  button->OnEnter = [&](QObject*) { ++entered; };
  button->OnExit = [&](QObject*) { ++exited; };
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

  button->setFocus();
  ASSERT_TRUE(button->hasFocus());
  EXPECT_EQ(Centre(button), qRgb(10, 0, 0));
  button->NextFocusFrame();
  EXPECT_EQ(Centre(button), qRgb(20, 0, 0));
  button->NextFocusFrame();
  button->NextFocusFrame();
  EXPECT_EQ(button->FocusFrame(), 0);
  other->setFocus();
  EXPECT_EQ(Centre(button), 0xFFFF0000u);
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(exited, 1);
}

// OnEscat may keep a keyboard press going; OnInnerClick fires only for mouse clicks on the
// picture itself.
TEST(TransButtonTest, EscatAndInnerClick) {
  QWidget window;
  window.resize(100, 60);
  auto* button = new TEscatBtn(&window);
  button->SetPicUp(Shape(20, 16, 0xFFFF0000));
  button->SetFullAreaSense(true);
  int clicks = 0, inner = 0;
  button->OnClick = [&](QObject*) { ++clicks; };
  button->OnInnerClick = [&](QObject*) { ++inner; };
  button->OnEscat = [](QObject*, bool& cancel) { cancel = false; };
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  QTest::keyPress(button, Qt::Key_Return);
  QTest::keyClick(button, Qt::Key_Escape);
  EXPECT_EQ(button->State(), 1);
  QTest::keyRelease(button, Qt::Key_Return);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(inner, 0);

  transbutmouse::Click(button, QPoint(1, 14));  // transparent corner
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(inner, 0);
  transbutmouse::Click(button, QPoint(10, 8));
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(inner, 1);
}
