// Running or installing the described demo: the choice, the command split, the disc found on
// another drive, and what the window is asked to do around the start.

#include <QPushButton>
#include <QTest>

#include "DemoActionsFixture.h"
#include "navigator/LaunchHelpers.h"
#include "navigator/uInst.h"

using platform::MsgResult;

namespace {

// Presses one of TfmInst's buttons (or runs any action on it) as the user would.
std::function<int(QDialog&)> Press(const char* button) {
  return [button](QDialog& form) {
    form.findChild<QPushButton*>(button)->click();
    return form.result();
  };
}

TEST_F(DemoActionsTest, AListModeOpensThePageFirstAndOtherModesDoNothing) {
  AddEntry(0, 1).MainCommand = "RUN.EXE";
  window_.Mode = 2;
  actions_.gtbInstClick();
  EXPECT_EQ(window_.Events, (QStringList{"effect 5/6", "open"}));
  window_.Events.clear();
  for (int mode : {10, 11, -1}) {
    window_.Mode = mode;
    actions_.RunSelectedDemo();
  }
  EXPECT_TRUE(window_.Events.isEmpty());
  EXPECT_TRUE(dialogs_->Records().empty());
}

TEST_F(DemoActionsTest, TheChoiceFollowsRunsFromCdAndTheLowerCaseMarker) {
  Program("DEMOS/INST.EXE");
  Program("DEMOS/RUN.EXE");
  DemoEntry& e = AddEntry(0, 1);
  e.MainCommand = "INST.EXE";
  e.DirectCommand = "RUN.EXE";
  // Must be installed: never the choice window, whatever the direct command says.
  e.RunsFromCD = 0;
  dialogs_->QueueMessageAnswer(MsgResult::No);
  actions_.RunSelectedDemo();
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  actions_.RunSelectedDemo();
  EXPECT_EQ(MessageCodes(), (std::vector<int>{31, 31}));
  EXPECT_EQ(Forms(), 0);
  ASSERT_TRUE(tools_.WaitForCalls(1));
  EXPECT_EQ(tools_.Calls().at(0).at(0), disc_ + "/DEMOS/INST.EXE");

  e.RunsFromCD = 1;
  e.DirectCommand = "none";
  dialogs_->Clear();
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  actions_.RunSelectedDemo();
  EXPECT_EQ(MessageCodes(), (std::vector<int>{30}));
  ASSERT_TRUE(tools_.WaitForCalls(2));
  EXPECT_EQ(tools_.Calls().at(1).at(0), disc_ + "/DEMOS/INST.EXE");

  for (const char* notMarker : {"None", "NONE"}) {
    e.DirectCommand = notMarker;
    dialogs_->Clear();
    dialogs_->QueueFormAnswer(Press("btForgetIt"));
    actions_.RunSelectedDemo();
    EXPECT_EQ(Forms(), 1) << notMarker;
    EXPECT_TRUE(MessageCodes().empty());
  }
}

TEST_F(DemoActionsTest, TheChoiceWindowsButtonsKeysAndCloseBox) {
  Program("DEMOS/INST.EXE");
  Program("DEMOS/RUN.EXE");
  DemoEntry& e = AddEntry(1, 3);
  e.MainCommand = "INST.EXE";
  e.DirectCommand = "RUN.EXE";
  window_.Mode = 6;
  window_.Described = 3;

  dialogs_->QueueFormAnswer(Press("btInstNow"));
  actions_.RunSelectedDemo();
  dialogs_->QueueFormAnswer([](QDialog& form) {
    form.show();
    QTest::keyClick(&form, Qt::Key_Return);  // the default button: direct
    return form.result();
  });
  actions_.RunSelectedDemo();
  ASSERT_TRUE(tools_.WaitForCalls(2));
  QStringList started;
  for (const auto& call : tools_.Calls()) started << QFileInfo(call.at(0)).fileName();
  started.sort();
  EXPECT_EQ(started, (QStringList{"INST.EXE", "RUN.EXE"}));

  // Cancel, Escape and the close box start nothing.
  dialogs_->QueueFormAnswer(Press("btForgetIt"));
  dialogs_->QueueFormAnswer([](QDialog& form) {
    form.show();
    QTest::keyClick(&form, Qt::Key_Escape);
    return form.result();
  });
  dialogs_->QueueFormAnswer([](QDialog& form) {
    form.show();
    form.close();
    return form.result();
  });
  window_.Events.clear();
  for (int i = 0; i < 3; ++i) actions_.RunSelectedDemo();
  EXPECT_TRUE(window_.Events.isEmpty());
  EXPECT_EQ(tools_.Calls().size(), 2);
}

TEST_F(DemoActionsTest, CommandsSplitAtTheSlashAndTakeTheDiscsLetter) {
  Program("DEMOS/SETUP.EXE");
  DemoEntry& e = AddEntry(0, 1);
  e.RunsFromCD = 0;
  e.MainCommand = "SETUP.EXE /:\\DEMOS\\X";
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  actions_.RunSelectedDemo();
  ASSERT_TRUE(tools_.WaitForCalls(1));
  // D:\Demos\SETUP.EXE with D:\DEMOS\X, which a native program receives as its host path.
  EXPECT_EQ(tools_.Calls().at(0),
            (QStringList{disc_ + "/DEMOS/SETUP.EXE", disc_ + "/DEMOS/X", "@" + disc_ + "/DEMOS"}));
  EXPECT_EQ(window_.Events, (QStringList{"minimise"}));

  // Root-relative, parameters without ":\".
  Program("MECHA/MECHA.EXE");
  e.RootRelative = 1;
  e.MainCommand = "MECHA\\MECHA.EXE /fast 2";
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  actions_.RunSelectedDemo();
  ASSERT_TRUE(tools_.WaitForCalls(2));
  EXPECT_EQ(tools_.Calls().at(1),
            (QStringList{disc_ + "/MECHA/MECHA.EXE", "fast", "2", "@" + disc_ + "/MECHA"}));
}

TEST_F(DemoActionsTest, ASlashWithoutASpaceNamesOnlyTheBaseFolder) {
  DemoEntry& e = AddEntry(0, 1);
  e.RunsFromCD = 0;
  e.MainCommand = "SETUP.EXE/:\\DEMOS\\X";
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  actions_.RunSelectedDemo();
  EXPECT_EQ(MessageCodes(), (std::vector<int>{31, 19}));
  EXPECT_EQ(dialogs_->Messages().at(1).argument, "D:\\Demos\\");
  EXPECT_TRUE(window_.Events.isEmpty());
}

TEST_F(DemoActionsTest, TheDiscFoundOnAnotherDriveMovesTheRootButNotTheBuiltParameters) {
  const QString other = QFileInfo(tmp_.filePath("other")).absoluteFilePath();
  ASSERT_TRUE(QDir().mkpath(other));
  platform::Drives().Map('D', other, platform::DriveType::CdRom);  // an empty drive now
  platform::Drives().Map('E', disc_, platform::DriveType::CdRom);
  const QString setup = Program("DEMOS/SETUP.EXE");
  DemoEntry& e = AddEntry(0, 1);
  e.RunsFromCD = 0;
  e.MainCommand = "SETUP.EXE /:\\DEMOS\\X";
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  dialogs_->QueueFileAnswer(setup);
  actions_.RunSelectedDemo();
  EXPECT_EQ(window_.Root, "E:\\");
  const auto& open = dialogs_->Records().at(2);
  EXPECT_EQ(open.file.title, "Cadê: D:\\Demos\\SETUP.EXE?");
  EXPECT_EQ(open.file.filters,
            (QStringList{"Todos os arquivos (*.*)", "Executáveis (*.exe)", "Lote (*.bat)"}));
  ASSERT_TRUE(tools_.WaitForCalls(1));
  EXPECT_EQ(tools_.Calls().at(0).mid(0, 2), (QStringList{setup, other + "/DEMOS/X"}));
}

TEST_F(DemoActionsTest, AFailedStartLeavesTheNavigatorRestoredAndOpen) {
  Program("DEMOS/PLAIN.EXE", false);
  Program("DEMOS/OK.EXE");
  DemoEntry& e = AddEntry(0, 1);
  e.RunsFromCD = 0;
  e.MustClose = 1;
  e.MainCommand = "PLAIN.EXE";
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  actions_.RunSelectedDemo();
  EXPECT_EQ(window_.Events, (QStringList{"minimise", "restore"}));
  EXPECT_EQ(MessageCodes(), (std::vector<int>{31, 24, 39}));
  EXPECT_EQ(dialogs_->Messages().back().argument, "D:\\Demos\\PLAIN.EXE");

  // No to closing starts nothing; a start that works closes the navigator.
  window_.Events.clear();
  e.MainCommand = "OK.EXE";
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  dialogs_->QueueMessageAnswer(MsgResult::No);
  actions_.RunSelectedDemo();
  EXPECT_TRUE(window_.Events.isEmpty());
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  actions_.RunSelectedDemo();
  EXPECT_EQ(window_.Events, (QStringList{"minimise", "terminate"}));
}

TEST_F(DemoActionsTest, BadCommandsGiveTheirMessageAndStartNothing) {
  ASSERT_TRUE(testsupport::WriteFile(tmp_.filePath("outside.exe"), kRecordingProgram));
  DemoEntry& e = AddEntry(0, 1);
  e.RunsFromCD = 0;
  for (const char* command : {"MISSING.EXE", "X", "..\\..\\outside.exe"}) {
    e.MainCommand = command;
    dialogs_->Clear();
    dialogs_->QueueMessageAnswer(MsgResult::Yes);
    actions_.RunSelectedDemo();
    EXPECT_EQ(MessageCodes(), (std::vector<int>{31, 19})) << command;
  }
  EXPECT_TRUE(window_.Events.isEmpty());
  EXPECT_TRUE(tools_.Calls().isEmpty());
}

TEST(LaunchErrorCodes, ShellResultsMapToTheirMessages) {
  const std::pair<int, int> cases[] = {{0, 18}, {8, 18}, {2, 19}, {3, 19}, {11, 20}, {26, 21},
                                       {1, 39}, {5, 39}, {31, 39}, {32, 39}, {-2, 39},
                                       {33, -1}, {42, -1}, {-1, -1}};
  for (const auto& [result, code] : cases) EXPECT_EQ(LaunchErrorCode(result), code) << result;
}

TEST(RegisteredCommands, AreCutBeforeTheirPlaceholder) {
  EXPECT_EQ(CleanRegisteredCommand("C:\\ACROREAD\\ACRORD32.EXE \"%1\""), "C:\\ACROREAD\\ACRORD32.EXE");
  EXPECT_EQ(CleanRegisteredCommand("  evince %U"), "evince");
  EXPECT_EQ(CleanRegisteredCommand("reader \"%1\" %*"), "reader");
  EXPECT_EQ(CleanRegisteredCommand("reader"), "reader");
  EXPECT_EQ(CleanRegisteredCommand("%1"), "%1");
}

}  // namespace
