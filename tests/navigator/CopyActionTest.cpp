// The menu's folder copy: only from a description page, with the demo's folder as found.

#include <QLabel>
#include <QLineEdit>

#include "DemoActionsFixture.h"
#include "navigator/uCopyAll.h"

namespace {

TEST_F(DemoActionsTest, TheFolderCopyOpensForTheDescribedDemoOnly) {
  DemoEntry& e = AddEntry(1, 2);
  e.Title = "Planilha";
  e.Folder = "X";
  window_.Described = 2;
  QString shownSource;
  dialogs_->QueueFormAnswer([&](QDialog& form) {
    auto& copy = static_cast<TfmCopyAll&>(form);
    copy.FormShow();
    shownSource = copy.lbDemoName()->text();
    return 0;
  });
  for (int mode : {1, 10, 11, 6}) {
    window_.Mode = mode;
    actions_.miCopyAllClick();
  }
  ASSERT_EQ(Forms(), 1);
  EXPECT_EQ(dialogs_->Records().back().formName, "fmCopyAll");
  EXPECT_EQ(shownSource, "Quero copiar \" Planilha\" ");

  // A folder that is nowhere: the user is asked where the disc is; cancelled, no window.
  dialogs_->Clear();
  e.Folder = "NADA";
  actions_.miCopyAllClick();
  EXPECT_EQ(Forms(), 0);
}

}  // namespace
