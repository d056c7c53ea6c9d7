#pragma once

// The numbered message boxes of the navigator (codes 0..42) and the explorer's reduced set.

#include <QString>

#include "platform/Dialogs.h"

// The box for a code of the navigator's catalogue; a code above 42 gives an empty box with OK.
platform::MessageBoxRequest AppMessage(int code, const QString& argument);
// The explorer's catalogue (0, 4, 22, 29).
platform::MessageBoxRequest ExplorerMessage(int code, const QString& argument);

// Shows the box through the dialog service; returns the button pressed.
platform::MsgResult ShowAppMessage(int code, const QString& argument = {});
platform::MsgResult ShowExplorerMessage(int code, const QString& argument = {});
