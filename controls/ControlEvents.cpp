#include "controls/ControlEvents.h"

#include <QCoreApplication>

#include "common/Exceptions.h"
#include "platform/Dialogs.h"

void ShowHandlerException(const std::exception& error) {
  platform::MessageBoxRequest box;
  box.title = QCoreApplication::applicationName();
  const auto* own = dynamic_cast<const Exception*>(&error);
  box.text = own ? own->Message() : QString::fromUtf8(error.what());
  box.icon = platform::MsgIcon::Stop;
  box.buttons = platform::MsgButtons::Ok;
  platform::Dialogs().ShowMessage(box);
}
