#pragma once

// The views alone: their controls on a plain window, a catalogue and skin made here, and the
// window's side of the hooks recorded.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <memory>

#include "common/Environment.h"
#include "controls/DrawListBox.h"
#include "controls/PosBar.h"
#include "controls/TotalPaintBox.h"
#include "formats/DemoFile.h"
#include "navigator/NavigatorViews.h"
#include "navigator/RowPainter.h"
#include "navigator/TextBreaker.h"
#include "platform/Clock.h"

class ViewsTest : public ::testing::Test {
 protected:
  static platform::Bitmap Solid(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return platform::Bitmap(image);
  }

  void SetUp() override {
    savedEnv_ = Env();
    Env().ScreenScale = 1.0;
    Env().ColourDepth = 32;
    Env().ShareDir = QStringLiteral("Q:\\nowhere\\");
    window_.resize(800, 600);
    main_ = new TTotalPaintBox(&window_);
    main_->setGeometry(0, 0, 800, 600);
    tela_ = new TTotalPaintBox(&window_);
    tela_->SetVisible(false);
    list_ = new TDrawBox(&window_);
    list_->SetVisible(false);
    bar_ = new TPosBar(&window_);
    bar_->resize(16, 100);
    bar_->SetVisible(false);
    emblem_ = new QWidget(&window_);

    background_ = Solid(800, 600, qRgb(0, 0, 90));
    gradient_ = Solid(400, 60, qRgb(0, 200, 0));
    QImage ind(20, 10, QImage::Format_RGB32);
    ind.fill(Qt::black);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) ind.setPixel(x, y, qRgb(250, 0, 0));
    indicator_ = platform::Bitmap(ind);
    mask_ = Solid(348, 261, qRgb(255, 255, 255));

    LayoutInput in;
    in.RowTextHeight = 20;   // rows of 26 pixels: 10 rows
    in.LineTextHeight = 16;  // lines of 16 pixels: 11 lines
    in.PosBarWidth = 16;
    layout_ = ComputeLayout(in);

    for (int i = 1; i <= 19; ++i) AddDemo(0, QStringLiteral("Demo %1").arg(i), 1);
    catalogue_.Entry(0, 2).ImageCount = 3;

    ViewContext ctx;
    ctx.Controls = {list_, bar_, main_, tela_, emblem_};
    ctx.Skin = {&background_, &gradient_, &indicator_, &mask_, &layout_};
    ctx.Catalogue = &catalogue_;
    ctx.Screenshot = &screenshot_;
    ctx.Clock = &clock_;
    ctx.Sleep = [this](int ms) {
      sleptMs_ += ms;
      clock_.Advance(uint32_t(ms));
    };
    ctx.Hooks.ChangeMode = [this](int mode) { modeRequests_.push_back(mode); };
    ctx.Hooks.PlayEffect = [this](int effect, int channel) {
      effects_.emplace_back(effect, channel);
    };
    ctx.Hooks.EnableInstall = [this](bool on) { install_ = on; };
    ctx.Hooks.InstallEnabled = [this] { return install_; };
    ctx.Hooks.Ragged = [this] { return ragged_; };
    ctx.Hooks.LogoScheduled = [this] { ++logoWakes_; };
    views_ = std::make_unique<NavigatorViews>(std::move(ctx));
    views_->Attach();
    window_.show();
    // Boxes paint only in a window that is on screen.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }

  void TearDown() override {
    views_->Detach();
    Env() = savedEnv_;
  }

  void AddDemo(int category, const QString& title, int images) {
    const int index = ++catalogue_.Counts[category];
    DemoEntry& e = catalogue_.Entry(category, index);
    e.DemFile = title + ".dem";
    e.Title = title;
    e.Subtitle = QStringLiteral("Sub ") + title;
    e.ImageCount = images;
    e.Description = QStringLiteral("Um texto curto.");
  }

  void MoveOverRow(int row) {
    const QPoint p(20, row * list_->ItemHeight() + list_->ItemHeight() / 2);
    QMouseEvent move(QEvent::MouseMove, p, list_->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(list_, &move);
  }

  QRgb ListPixel(int x, int y) { return list_->Canvas().Pixel(x, y); }

  ViewState& State() { return views_->State(); }

  Environment savedEnv_;
  QWidget window_;
  TTotalPaintBox* main_ = nullptr;
  TTotalPaintBox* tela_ = nullptr;
  TDrawBox* list_ = nullptr;
  TPosBar* bar_ = nullptr;
  QWidget* emblem_ = nullptr;
  platform::Bitmap background_, gradient_, indicator_, mask_, screenshot_;
  Layout layout_;
  DemoCatalogue catalogue_;
  platform::ManualClock clock_{1000};
  int sleptMs_ = 0;
  std::vector<int> modeRequests_;
  std::vector<std::pair<int, int>> effects_;
  bool install_ = false;
  bool ragged_ = false;
  int logoWakes_ = 0;
  std::unique_ptr<NavigatorViews> views_;
};
