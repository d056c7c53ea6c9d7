// The scripted dialog service stands in for every modal window in tests, so its answers and
// records must be exactly what a test scripted.

#include <gtest/gtest.h>

#include <QDialog>

#include "platform/Dialogs.h"

using namespace platform;

namespace {

MessageBoxRequest Ask(MsgResult defaultButton) {
  MessageBoxRequest r;
  r.title = "t";
  r.text = "a\n\rb";
  r.icon = MsgIcon::Question;
  r.buttons = MsgButtons::YesNo;
  r.defaultButton = defaultButton;
  return r;
}

TEST(ScriptedDialogs, AnswersFromTheScriptThenWithTheDefault) {
  ScopedScriptedDialogs dialogs;
  dialogs->QueueMessageAnswer(MsgResult::No);
  EXPECT_EQ(Dialogs().ShowMessage(Ask(MsgResult::Yes)), MsgResult::No);
  EXPECT_EQ(Dialogs().ShowMessage(Ask(MsgResult::Yes)), MsgResult::Yes);
  EXPECT_EQ(Dialogs().ShowMessage(Ask(MsgResult::No)), MsgResult::No);
  MessageBoxRequest ok;
  ok.code = 6;
  EXPECT_EQ(Dialogs().ShowMessage(ok), MsgResult::Ok);
  ASSERT_EQ(dialogs->Messages().size(), 4u);
  EXPECT_EQ(dialogs->Messages()[0].text, "a\n\rb");
  EXPECT_EQ(dialogs->Messages()[3].code, 6);

  dialogs->QueueFileAnswer(QString("/tmp/x.bmp"));
  dialogs->QueueFileAnswer(std::nullopt);
  FileDialogRequest save;
  save.title = "Salvar";
  EXPECT_EQ(Dialogs().SaveFile(save), QString("/tmp/x.bmp"));
  EXPECT_FALSE(Dialogs().OpenFile({}));
  EXPECT_FALSE(Dialogs().ChooseFolder({}));  // script used up: cancelled

  QDialog form;
  form.setObjectName("fmInst");
  dialogs->QueueFormAnswer([](QDialog& d) { return d.objectName() == "fmInst" ? 7 : -1; });
  EXPECT_EQ(Dialogs().RunForm(form), 7);
  EXPECT_EQ(Dialogs().RunForm(form), 0);  // unscripted forms are rejected

  const auto& records = dialogs->Records();
  ASSERT_EQ(records.size(), 9u);
  EXPECT_EQ(records[4].kind, ScriptedDialogService::Record::Save);
  EXPECT_EQ(records[4].file.title, "Salvar");
  EXPECT_EQ(records[6].kind, ScriptedDialogService::Record::Folder);
  EXPECT_EQ(records[7].formName, "fmInst");
}

TEST(ScriptedDialogs, RestoresTheQtServiceWhenDone) {
  DialogService* during = nullptr;
  {
    ScopedScriptedDialogs dialogs;
    during = &Dialogs();
    EXPECT_EQ(during, &*dialogs);
  }
  EXPECT_NE(&Dialogs(), during);
  EXPECT_NE(dynamic_cast<QtDialogService*>(&Dialogs()), nullptr);
}

}  // namespace
