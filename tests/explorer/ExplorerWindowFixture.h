#pragma once

// The explorer window on the sample disc, offscreen, with scripted dialogs and a virtual sound
// card, sized and laid out as on a 1024 x 768 true-colour screen.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <memory>

#include "common/Environment.h"
#include "explorer/uRARez.h"
#include "platform/AudioSystem.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/VirtualAudioOutput.h"
#include "support/TestSupport.h"

class ExplorerWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    disc_ = testsupport::SampleDisc();
    if (!QFileInfo(disc_ + "/QUARX/Resour/RARez.bmr").isFile()) GTEST_SKIP() << "no sample disc";
    platform::SetAudioSystem(&card_);
    platform::Drives() = platform::DriveMap::Default(disc_);
    EnvironmentOptions options;
    options.programDirHost = disc_ + "/QUARX";
    options.screenWidth = 1024;
    options.screenHeight = 768;
    options.colourDepth = 24;
    ASSERT_TRUE(MeasureExplorerEnvironment(options));
    Env().SoundAvailable = true;
    window_ = std::make_unique<TfmRARez>();
    window_->resize(640, 480);
    window_->RunLayout();
  }
  void TearDown() override {
    window_.reset();
    platform::SetAudioSystem(nullptr);
  }

  QString disc_;
  platform::VirtualAudioSystem card_;
  platform::ScopedScriptedDialogs dialogs_;
  std::unique_ptr<TfmRARez> window_;
};
