#pragma once

// Qt's image reader warns about every malformed palette; the warnings would drown the fuzzer's
// output and slow it down.

#include <QtGlobal>

inline void QuietQtMessages() {
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}
