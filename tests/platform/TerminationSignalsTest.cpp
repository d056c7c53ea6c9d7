#include <gtest/gtest.h>
#include <unistd.h>

#include <QTimer>
#include <csignal>
#include <cstdlib>

#include "platform/Dialogs.h"
#include "platform/TerminationSignals.h"

namespace {

// The handlers stay for the life of a process, so the scenario runs in a child of its own.
// Before the program's event loop runs, quitting does nothing: a box of the start-up must still
// give way to the signal, and the boxes after it must not appear.
TEST(TerminationSignalsDeathTest, SignalWhileABoxIsOpenBeforeTheLoopRunsClosesIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ::alarm(20);  // a box that stayed open would otherwise hold the test for ever
        platform::QuitOnTerminationSignals();
        QTimer::singleShot(0, [] { ::raise(SIGTERM); });  // runs inside the box's own loop
        platform::QtDialogService dialogs;
        platform::MessageBoxRequest greeting;
        greeting.title = "Quarx CD-ROM 9";
        greeting.text = "Bem-vindo";
        dialogs.ShowMessage(greeting);
        platform::MessageBoxRequest question = greeting;
        question.buttons = platform::MsgButtons::YesNo;
        question.defaultButton = platform::MsgResult::Yes;
        const bool declined = dialogs.ShowMessage(question) == platform::MsgResult::No;
        std::_Exit(platform::TerminationRequested() && declined ? 0 : 3);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
