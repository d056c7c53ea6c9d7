// The magazine with the desktop's PDF reader, and the fixed tools of the disc.

#include <QLineEdit>
#include <QTest>
#include <future>

#include "DemoActionsFixture.h"
#include "common/CommandLine.h"
#include "navigator/uNewQuery.h"
#include "platform/Launch.h"
#include "platform/TitledWindow.h"
#include <QWidget>

using platform::MsgResult;

namespace {

// Answers TfmQuery with text, confirming it with Enter in the edit field.
std::function<int(QDialog&)> Type(const QString& text) {
  return [text](QDialog& form) {
    auto* edit = form.findChild<QLineEdit*>("edName");
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
    return form.result();
  };
}

class ToolActionsTest : public DemoActionsTest {
 protected:
  void SetUp() override {
    DemoActionsTest::SetUp();
    ASSERT_TRUE(testsupport::WriteFile(disc_ + "/REVISTA/KVR.pdf", "%PDF-1.4\n"));
  }
  // A reader the desktop has registered for PDF files.
  QString RegisterReader(const QString& exec) {
    tools_.AddXdgMime("application/pdf", "reader.desktop");
    tools_.AddDesktopEntry("reader.desktop", exec);
    return exec;
  }
};

TEST_F(ToolActionsTest, TheRegisteredReaderOpensTheMagazine) {
  tools_.Add("myreader");
  RegisterReader("myreader %U");
  actions_.gtbMagaClick();
  EXPECT_EQ(actions_.PdfReaderPath, tools_.Bin() + "/myreader");
  EXPECT_TRUE(MessageCodes().empty());  // a desktop reader counts as current
  EXPECT_EQ(window_.Events, (QStringList{"minimise"}));
  ASSERT_TRUE(tools_.WaitForCalls(2));
  const auto opened = tools_.CallsOf("myreader");
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0].at(1), disc_ + "/REVISTA/KVR.pdf");
}

TEST_F(ToolActionsTest, NoReaderAndATypedPathStartsOver) {
  const QString reader = Program("tools/reader");
  dialogs_->QueueMessageAnswer(MsgResult::No);
  dialogs_->QueueFormAnswer(Type(reader));
  actions_.gtbMagaClick();
  EXPECT_EQ(MessageCodes(), (std::vector<int>{41}));
  EXPECT_EQ(actions_.PdfReaderPath, reader);
  ASSERT_TRUE(tools_.WaitForCalls(1));
  EXPECT_EQ(tools_.Calls().at(0).mid(0, 2), (QStringList{reader, disc_ + "/REVISTA/KVR.pdf"}));

  // A typed file without version information is an old reader: message 40, then 42.
  const QString text = tmp_.filePath("notes.txt");
  ASSERT_TRUE(testsupport::WriteFile(text, "hello"));
  actions_.PdfReaderPath.clear();
  dialogs_->Clear();
  dialogs_->QueueMessageAnswer(MsgResult::No);
  dialogs_->QueueFormAnswer(Type(text));
  dialogs_->QueueMessageAnswer(MsgResult::No);
  dialogs_->QueueMessageAnswer(MsgResult::No);
  actions_.gtbMagaClick();
  EXPECT_EQ(MessageCodes(), (std::vector<int>{41, 40, 42}));
  EXPECT_EQ(actions_.PdfReaderPath, "");

  // Cancelling the question forgets the path.
  actions_.PdfReaderPath.clear();
  dialogs_->Clear();
  dialogs_->QueueMessageAnswer(MsgResult::No);
  dialogs_->QueueFormAnswer([](QDialog& form) {
    form.findChild<QLineEdit*>("edName")->setText("typed");
    QTest::keyClick(form.findChild<QLineEdit*>("edName"), Qt::Key_Escape);
    return form.result();
  });
  actions_.gtbMagaClick();
  EXPECT_EQ(actions_.PdfReaderPath, "");
}

TEST_F(ToolActionsTest, OldWindowsReadersAskFirst) {
  tools_.AddWine();
  ASSERT_TRUE(testsupport::WriteFile(disc_ + "/OLD.EXE", testsupport::MakePeImage(0x00020001)));
  ASSERT_TRUE(testsupport::WriteFile(disc_ + "/NEW.EXE", testsupport::MakePeImage(0x00030000)));
  actions_.PdfReaderPath = "D:\\OLD.EXE";
  dialogs_->QueueMessageAnswer(MsgResult::No);
  dialogs_->QueueMessageAnswer(MsgResult::No);
  actions_.gtbMagaClick();
  EXPECT_EQ(MessageCodes(), (std::vector<int>{40, 42}));
  EXPECT_EQ(actions_.PdfReaderPath, "");

  dialogs_->Clear();
  actions_.PdfReaderPath = "D:\\NEW.EXE";
  actions_.gtbMagaClick();
  EXPECT_TRUE(MessageCodes().empty());
  ASSERT_TRUE(tools_.WaitForCalls(3));  // wineboot, the drive type, the reader
  EXPECT_EQ(tools_.CallsOf("wine").last().mid(1, 2),
            (QStringList{disc_ + "/NEW.EXE", "D:\\Revista\\KVR.pdf"}));
}

TEST_F(ToolActionsTest, AReaderThatFailsIsForgottenAndLookedUpAgain) {
  const QString broken = Program("tools/broken", false);
  RegisterReader(broken + " %f");
  dialogs_->QueueMessageAnswer(MsgResult::Yes);  // use it anyway
  actions_.gtbMagaClick();
  EXPECT_EQ(MessageCodes(), (std::vector<int>{40, 39}));
  EXPECT_EQ(dialogs_->Messages().back().argument, broken);
  EXPECT_EQ(actions_.PdfReaderPath, "");
  const auto queries = tools_.CallsOf("xdg-mime").size();
  dialogs_->QueueMessageAnswer(MsgResult::No);
  dialogs_->QueueMessageAnswer(MsgResult::No);
  actions_.gtbMagaClick();
  EXPECT_GT(tools_.CallsOf("xdg-mime").size(), queries);
  EXPECT_TRUE(window_.Events.isEmpty());
}

TEST_F(ToolActionsTest, InstallingTheReaderFromTheDisc) {
  Program("DEMOS/UTILITAR/ACRO3_32/SETUP.EXE");
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  actions_.gtbMagaClick();
  EXPECT_EQ(window_.Events, (QStringList{"minimise"}));
  ASSERT_TRUE(tools_.WaitForCalls(1));
  EXPECT_EQ(tools_.Calls().at(0).at(0), disc_ + "/DEMOS/UTILITAR/ACRO3_32/SETUP.EXE");
}

TEST_F(ToolActionsTest, DirectXClosesTheNavigatorOnlyAfterItStarted) {
  dialogs_->QueueMessageAnswer(MsgResult::No);
  actions_.gtbdxClick();
  EXPECT_EQ(window_.Events, (QStringList{"effect 0/1"}));
  // Missing and the dialog cancelled: nothing, the navigator stays.
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  actions_.gtbdxClick();
  EXPECT_EQ(MessageCodes(), (std::vector<int>{24, 24, 19}));
  EXPECT_FALSE(window_.Events.contains("terminate"));
  Program("DEMOS/UTILITAR/DIRECTX/DX6SU111.EXE");
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  actions_.gtbdxClick();
  EXPECT_EQ(window_.Events.last(), "terminate");
  ASSERT_TRUE(tools_.WaitForCalls(1));
}

TEST_F(ToolActionsTest, ToolsStartWithTheirParametersAndNoQuestion) {
  Program("DEMOS/UTILITAR/DIRECTX/dxdiag.exe");
  Program("dllinst/copier32.exe");
  Program("instalar.exe");
  actions_.miDXInfoClick();
  actions_.miDLLlibClick();
  EXPECT_TRUE(window_.Events.isEmpty());  // neither minimised nor closed
  actions_.miSelfInstClick();
  EXPECT_EQ(window_.Events, (QStringList{"terminate"}));
  ASSERT_TRUE(tools_.WaitForCalls(3));
  QStringList seen;
  for (const auto& call : tools_.Calls()) seen << call.mid(0, call.size() - 1).join(' ');
  seen.sort();
  EXPECT_EQ(seen, (QStringList{disc_ + "/DEMOS/UTILITAR/DIRECTX/dxdiag.exe",
                               disc_ + "/dllinst/copier32.exe velOrbint",
                               disc_ + "/instalar.exe"}));
  EXPECT_TRUE(dialogs_->Records().empty());
}

TEST_F(ToolActionsTest, AMissingToolIsReportedWithoutTheLocateDialog) {
  actions_.miDLLlibClick();
  EXPECT_EQ(MessageCodes(), (std::vector<int>{19}));
  EXPECT_EQ(dialogs_->Messages().at(0).argument, "D:\\dllinst\\copier32.exe");
  actions_.miSelfInstClick();
  EXPECT_TRUE(window_.Events.isEmpty());
  EXPECT_EQ(dialogs_->Records().size(), 2u);
}

TEST_F(ToolActionsTest, TheRunningExplorerIsBroughtForwardInsteadOfStartedTwice) {
  Program("QUARX/Lumex.exe");
  EXPECT_EQ(DemoActions::ExplorerProgram(), "D:\\QUARX\\Lumex.exe");
  QWidget window;
  platform::TitledWindow explorer(&window, kExplorerWindowTitle);
  ASSERT_TRUE(explorer.Registered());
  int restored = 0;
  explorer.OnRestore = [&] { ++restored; };
  // The explorer answers from this thread's event loop, as the other program would.
  auto clicked = std::async(std::launch::async, [&] { actions_.miAcionarRARezClick(); });
  while (clicked.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(restored, 1);
  EXPECT_TRUE(tools_.Calls().isEmpty());
}

TEST_F(ToolActionsTest, TheExplorerStartsWhenNoneRuns) {
  Program("QUARX/Lumex.exe");
  actions_.miAcionarRARezClick();
  ASSERT_TRUE(tools_.WaitForCalls(1));
  EXPECT_EQ(tools_.Calls().at(0).at(0), disc_ + "/QUARX/Lumex.exe");
}

TEST(ExplorerParameters, TheBuiltExplorerFindsTheNavigatorsDisc) {
  EXPECT_EQ(DemoActions::ExplorerParameters({"quarx32", "--window"}), "");
  EXPECT_EQ(DemoActions::ExplorerParameters(
                {"quarx32", "--disc", "/media/my disc.iso", "--screen", "800x600", "--drive",
                 "E=/mnt/e,cdrom", "--wine-prefix", "/p"}),
            "--disc \"/media/my disc.iso\" --drive \"E=/mnt/e,cdrom\" --wine-prefix \"/p\"");
  const QString relative = DemoActions::ExplorerParameters({"quarx32", "--program-dir", "d/QUARX"});
  EXPECT_EQ(relative, "--program-dir \"" + QDir::current().absoluteFilePath("d/QUARX") + "\"");
  // The parameters come apart again as the explorer's own command line.
  const QStringList split = platform::SplitWindowsArguments(
      DemoActions::ExplorerParameters({"quarx32", "--disc", "/media/my disc.iso"}));
  EXPECT_EQ(ParseCommandLine(QStringList{"lumex"} + split, ProgramKind::Explorer).disc,
            "/media/my disc.iso");
}

TEST(QueryWindow, QuestionLinesAndKeys) {
  EXPECT_EQ(TfmQuery::QuestionLines("a\n\rb"), (QStringList{"a", "b"}));
  EXPECT_EQ(TfmQuery::QuestionLines("a\r\nb\n\r"), (QStringList{"a", "b"}));
  EXPECT_EQ(TfmQuery::QuestionLines("a\n\r\rc"), (QStringList{"a", "\rc"}));
  EXPECT_EQ(TfmQuery::QuestionLines("one"), QStringList{"one"});

  platform::ScopedScriptedDialogs dialogs;
  QString value = "start";
  dialogs->QueueFormAnswer([](QDialog& form) {
    EXPECT_EQ(form.windowTitle(), "Onde?");
    EXPECT_EQ(form.findChild<QLineEdit*>("edName")->text(), "start");
    return int(QDialog::Rejected);
  });
  EXPECT_FALSE(AskText("Onde?", "q", value));
  EXPECT_EQ(value, "start");
  dialogs->QueueFormAnswer(Type("/usr/bin/reader"));
  EXPECT_TRUE(AskText("Onde?", "q", value));
  EXPECT_EQ(value, "/usr/bin/reader");
}

}  // namespace
