#pragma once

// The navigator's main window on the sample disc, offscreen, with a settings store, dialogs and
// a clock of its own.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "navigator/Ceremony.h"
#include "navigator/uMain.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "support/TestSupport.h"

using Steps = std::vector<std::pair<QString, int>>;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disc_ = testsupport::SampleDisc();
    if (!QFileInfo(disc_ + "/QUARX/Resour").isDir()) GTEST_SKIP() << "no sample disc";
    QStandardPaths::setTestModeEnabled(true);
    ASSERT_TRUE(store_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store_.path());
  }

  std::unique_ptr<TfmMain> Start(const QString& screen, const QString& discRoot = {},
                                 const std::function<void(NavigatorOptions&)>& more = {}) {
    const QString root = discRoot.isEmpty() ? disc_ : discRoot;
    platform::Drives() = platform::DriveMap::Default(root);
    NavigatorOptions options;
    options.Environment.programDirHost = root + "/QUARX";
    EXPECT_TRUE(ParseScreenSpec(screen, options.Environment));
    options.Windowed = true;
    options.Clock = &clock_;
    options.Sleep = [this](int ms) { clock_.Advance(uint32_t(ms)); };
    options.OnProgress = [this](const QString& text, int percent) {
      steps_.emplace_back(text, percent);
    };
    options.OnIntroCreated = [this](TfmCeremony* intro) {
      ++intros_;
      intro_ = intro;
    };
    if (more) more(options);
    return std::make_unique<TfmMain>(options);
  }

  // Plays the opening on the test clock until the first list is up.
  void FinishOpening(TfmMain& fm) {
    for (int i = 0; i < 2000 && fm.Modes().Entering(); ++i) {
      clock_.Advance(15);
      fm.Frames().RunOnce();
    }
    ASSERT_FALSE(fm.Modes().Entering());
  }

  // A copy of the sample disc in dir, without the files named in leaveOut (paths below the
  // disc's root, any letter case). A copy, not links: the CD-ROM drive does not follow links,
  // and a linked disc would load nothing.
  QString CopyOfDisc(const QTemporaryDir& dir, const QStringList& leaveOut = {}) {
    const QDir from(disc_);
    QDirIterator it(disc_, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString file = it.next();
      const QString rel = from.relativeFilePath(file);
      if (leaveOut.contains(rel, Qt::CaseInsensitive)) continue;
      const QString to = dir.filePath(rel);
      QDir().mkpath(QFileInfo(to).path());
      EXPECT_TRUE(QFile::copy(file, to)) << rel.toStdString();
    }
    return dir.path();
  }

  // The store knows this edition: no greeting (message 38) among the messages a test counts.
  void SeedEdition() {
    QSettings kvr(QSettings::NativeFormat, QSettings::UserScope, "velOrbint", "KVR");
    kvr.setValue("KVRVer", 9);
  }

  std::vector<int> MessageCodes() {
    std::vector<int> codes;
    for (const auto& m : dialogs_->Messages()) codes.push_back(m.code);
    return codes;
  }

  QString disc_;
  QTemporaryDir store_;
  platform::ScopedScriptedDialogs dialogs_;
  platform::ManualClock clock_{5000};
  Steps steps_;
  int intros_ = 0;
  QPointer<TfmCeremony> intro_;  // the last intro window made
};
