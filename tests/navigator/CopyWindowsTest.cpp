// The copy window and the overwrite question, driven as the user drives them.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "controls/DirTree.h"
#include "navigator/FolderCopy.h"
#include "navigator/uCopyAll.h"
#include "navigator/uToAll.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "support/TestSupport.h"

using namespace platform;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

class CopyWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Drives();
    ASSERT_TRUE(tmp_.isValid());
    ASSERT_TRUE(WriteFile(tmp_.filePath("disc/DEMOS/JOGO/jogo.exe"), "novo"));
    ASSERT_TRUE(WriteFile(tmp_.filePath("disc/DEMOS/JOGO/SOM/a.wav"), "som"));
    ASSERT_TRUE(WriteFile(tmp_.filePath("c/destino/jogo.exe"), "velho"));
    Drives().Clear();
    Drives().Map('D', tmp_.filePath("disc"), DriveType::CdRom, "QUARX9");
    Drives().Map('C', tmp_.filePath("c"), DriveType::Fixed);
  }
  void TearDown() override {
    Drives() = saved_;
    QDir::setCurrent(cwd_);
  }

  QString cwd_ = QDir::currentPath();
  DriveMap saved_;
  QTemporaryDir tmp_;
  ScopedScriptedDialogs dialogs_;
};

TEST_F(CopyWindowsTest, TheQuestionShowsBothFilesAndStoresTheChosenAnswer) {
  const QString longName = "C:\\destino\\" + QString(120, 'x') + ".exe";
  ASSERT_TRUE(WriteFile(tmp_.filePath("c/destino/") + QString(120, 'x') + ".exe", "x"));
  int choice = ocNoFolder;
  TfmToAll form(longName, "D:\\DEMOS\\JOGO\\jogo.exe", &choice, 1.0);
  EXPECT_EQ(form.windowTitle(), "Sobrescrever?");
  const int designWidth = form.width();
  form.show();
  EXPECT_EQ(form.cbOption()->currentIndex(), ocNoFolder);
  EXPECT_EQ(form.cbOption()->count(), 7);
  EXPECT_EQ(form.cbOption()->itemText(4), "Sim até o fim");
  const QDateTime when = FileInfo(longName)->modified;
  EXPECT_EQ(form.OldText(), when.toString("dd/MM/yy - hh:mm:ss") + "  " + longName);
  EXPECT_TRUE(form.NewText().endsWith("  D:\\DEMOS\\JOGO\\jogo.exe"));
  EXPECT_GT(form.width(), designWidth);  // the long path widens the window
  form.cbOption()->setCurrentIndex(ocYesToEnd);
  QTest::keyClick(form.cbOption(), Qt::Key_Return);
  EXPECT_EQ(choice, ocYesToEnd);
  EXPECT_EQ(form.result(), QDialog::Accepted);

  // Closed without the button (Esc, the system close): "Não".
  EXPECT_EQ(AskOverwrite(nullptr, "C:\\destino\\jogo.exe", "D:\\DEMOS\\JOGO\\jogo.exe", 1.0),
            int(ocNo));
  dialogs_->QueueFormAnswer([](QDialog& f) {
    f.show();
    QTest::keyClick(&f, Qt::Key_Escape);
    return f.result();
  });
  EXPECT_EQ(AskOverwrite(nullptr, "C:\\destino\\jogo.exe", "D:\\DEMOS\\JOGO\\jogo.exe", 1.0),
            int(ocNo));
  dialogs_->QueueFormAnswer([](QDialog& f) {
    f.show();
    auto& q = static_cast<TfmToAll&>(f);
    EXPECT_EQ(q.cbOption()->currentIndex(), ocYes);  // a new question starts at "Sim"
    q.cbOption()->setCurrentIndex(ocCancelCopy);
    QTest::mouseClick(q.Button1(), Qt::LeftButton);
    return f.result();
  });
  EXPECT_EQ(AskOverwrite(nullptr, "C:\\destino\\jogo.exe", "D:\\DEMOS\\JOGO\\jogo.exe", 1.0),
            int(ocCancelCopy));
}

TEST_F(CopyWindowsTest, TheWindowIsLockedWhileItCopiesAndShowsTheOutcome) {
  QDir::setCurrent(tmp_.filePath("c"));
  TfmCopyAll window("Jogo Bom", "D:\\DEMOS\\JOGO\\", 1.0);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Copiar uma pasta completa");
  EXPECT_EQ(window.lbDemoName()->text(), "Quero copiar \" Jogo Bom\" ");
  EXPECT_EQ(window.edSel()->text(), "C:\\JOGO");
  EXPECT_FALSE(window.btStopCopy()->isEnabled());
  EXPECT_TRUE(window.FullTree()->SelOnlyFolders);

  // A folder chosen in the tree becomes the destination.
  window.FullTree()->SelectPath("C:\\destino\\");
  QTest::mouseClick(window.FullTree()->viewport(), Qt::LeftButton, {},
                    window.FullTree()->visualItemRect(window.FullTree()->currentItem()).center());
  EXPECT_EQ(window.edSel()->text(), "c:\\destino\\");

  bool checked = false;
  dialogs_->QueueMessageAnswer(MsgResult::Yes);  // 5: the folder exists
  dialogs_->QueueFormAnswer([&](QDialog& f) {
    // Asked in the middle of the copy: nothing else can start or close.
    EXPECT_TRUE(window.Copying());
    EXPECT_FALSE(window.btCopy()->isEnabled());
    EXPECT_FALSE(window.btForgetIt()->isEnabled());
    EXPECT_FALSE(window.FullTree()->isEnabled());
    EXPECT_TRUE(window.btStopCopy()->isEnabled());
    window.close();
    window.reject();
    EXPECT_TRUE(window.isVisible());
    window.btCopyClick();  // a second copy does not start inside the first
    checked = true;
    auto& q = static_cast<TfmToAll&>(f);
    q.cbOption()->setCurrentIndex(ocYes);
    q.Button1()->click();
    return f.result();
  });
  QTest::mouseClick(window.btCopy(), Qt::LeftButton);
  EXPECT_TRUE(checked);
  EXPECT_FALSE(window.Copying());
  const auto messages = dialogs_->Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].code, 5);
  EXPECT_EQ(messages[1].code, 6);
  EXPECT_EQ(ReadFile(tmp_.filePath("c/destino/jogo.exe")), "novo");
  EXPECT_EQ(ReadFile(tmp_.filePath("c/destino/SOM/a.wav")), "som");
  EXPECT_TRUE(window.btCopy()->isEnabled());
  EXPECT_TRUE(window.FullTree()->isEnabled());
  EXPECT_FALSE(window.btStopCopy()->isEnabled());
  EXPECT_EQ(window.pbCopy()->value(), window.pbCopy()->maximum());
  // The tree was read again and opened at the destination.
  EXPECT_EQ(window.FullTree()->SelectedPath(), "c:\\destino\\");

  // A relative name becomes a full path and nothing is copied.
  dialogs_->Clear();
  window.edSel()->setText("outro\\");
  QTest::mouseClick(window.btCopy(), Qt::LeftButton);
  EXPECT_EQ(window.edSel()->text(), "C:\\outro");
  EXPECT_TRUE(dialogs_->Messages().empty());
  EXPECT_FALSE(QFileInfo::exists(tmp_.filePath("c/outro")));

  QTest::mouseClick(window.btForgetIt(), Qt::LeftButton);
  EXPECT_EQ(window.result(), QDialog::Rejected);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(CopyWindowsTest, TheStopButtonEndsTheCopyWithTheSuspensionMessage) {
  ASSERT_TRUE(WriteFile(tmp_.filePath("disc/DEMOS/JOGO/grande.bin"), QByteArray(100000, 'g')));
  ASSERT_TRUE(WriteFile(tmp_.filePath("c/destino/grande.bin"), "anterior"));
  TfmCopyAll window("Jogo", "D:\\DEMOS\\JOGO", 1.0);
  window.show();
  window.edSel()->setText("C:\\destino");
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  dialogs_->QueueFormAnswer([&](QDialog& f) {
    // grande.bin is asked about first: yes to all, then the stop button while it copies.
    auto& q = static_cast<TfmToAll&>(f);
    q.cbOption()->setCurrentIndex(ocYesToEnd);
    q.Button1()->click();
    QTest::mouseClick(window.btStopCopy(), Qt::LeftButton);
    return f.result();
  });
  window.btCopyClick();
  const auto messages = dialogs_->Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].code, 33);
  EXPECT_EQ(ReadFile(tmp_.filePath("c/destino/grande.bin")), "anterior");
  EXPECT_EQ(ReadFile(tmp_.filePath("c/destino/jogo.exe")), "velho");
  DemoEntry entry;
  entry.Folder = "JOGO";
  EXPECT_EQ(DemoSourceFolder("D:\\", entry), "D:\\Demos\\JOGO");
  entry.RootRelative = 1;
  EXPECT_EQ(DemoSourceFolder("D:\\", entry), "D:\\JOGO");
}

}  // namespace
