#pragma once

// A disc in a temporary folder mapped as D:, stand-in desktop tools, scripted dialogs, and a
// main window stand-in that records what the actions asked of it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <map>

#include "common/Environment.h"
#include "formats/DemoFile.h"
#include "navigator/DemoActions.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "support/StandIns.h"
#include "support/TestSupport.h"

class FakeActionWindow : public DemoActionWindow {
 public:
  int Mode = 5;
  int Return = 0;
  int Described = 1;
  int Image = 1;
  std::map<std::pair<int, int>, DemoEntry> Entries;
  QString Root = "D:\\";
  QStringList Events;  // "effect E/C", "open", "minimise", "restore", "terminate"
  std::optional<platform::Bitmap> Shot;

  int CurrentMode() const override { return Mode; }
  int ReturnMode() const override { return Return; }
  int DescribedEntry() const override { return Described; }
  int ImageNumber() const override { return Image; }
  const DemoEntry* Entry(int category, int index) const override {
    const auto it = Entries.find({category, index});
    return it == Entries.end() ? nullptr : &it->second;
  }
  QString& DemosRoot() override { return Root; }
  void OpenSelectedForRun() override { Events << "open"; }
  void PlayEffect(int effect, int channel) override {
    Events << QString("effect %1/%2").arg(effect).arg(channel);
  }
  void MinimiseApplication() override { Events << "minimise"; }
  void RestoreApplication() override { Events << "restore"; }
  void TerminateApplication() override { Events << "terminate"; }
  std::optional<platform::Bitmap> Screenshot() const override { return Shot; }
  QWidget* DialogOwner() const override { return nullptr; }
};

// The sample disc's kind of stand-in: records its full path, arguments and working folder.
inline const QByteArray kRecordingProgram =
    "#!/bin/sh\n{ printf '%s' \"$0\"; for a in \"$@\"; do printf '\\t%s' \"$a\"; done;"
    " printf '\\t@%s\\n' \"$(pwd -P)\"; } >> \"$QUARX_STUB_LOG\"\n";

class DemoActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    disc_ = QFileInfo(tmp_.filePath("disc")).absoluteFilePath();
    savedDrives_ = platform::Drives();
    savedEnv_ = Env();
    platform::Drives().Clear();
    platform::Drives().Map('D', disc_, platform::DriveType::CdRom);
    Env().ProgramDir = "D:\\QUARX\\";
    Env().ShareDir = "D:\\SHAREDIR\\";
    ASSERT_TRUE(QDir().mkpath(disc_ + "/SHAREDIR"));
    ASSERT_TRUE(QDir().mkpath(disc_ + "/DEMOS/X"));
  }
  void TearDown() override {
    platform::Drives() = savedDrives_;
    Env() = savedEnv_;
  }

  // A recording program at a path below the disc.
  QString Program(const QString& relative, bool executable = true) {
    const QString path = disc_ + "/" + relative;
    EXPECT_TRUE(testsupport::WriteFile(path, kRecordingProgram));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner |
                                    (executable ? QFile::ExeOwner : QFile::Permissions()));
    return path;
  }
  DemoEntry& AddEntry(int category, int index) {
    DemoEntry& e = window_.Entries[{category, index}];
    e.DemFile = "Asteroid.dem";
    e.RunsFromCD = 1;
    return e;
  }
  std::vector<int> MessageCodes() {
    std::vector<int> codes;
    for (const auto& m : dialogs_->Messages()) codes.push_back(m.code);
    return codes;
  }
  int Forms() {
    int n = 0;
    for (const auto& r : dialogs_->Records()) n += r.kind == platform::ScriptedDialogService::Record::Form;
    return n;
  }

  QTemporaryDir tmp_;
  QString disc_;
  platform::DriveMap savedDrives_;
  Environment savedEnv_;
  testsupport::StandIns tools_;
  platform::ScopedScriptedDialogs dialogs_;
  FakeActionWindow window_;
  DemoActions actions_{window_};
};
