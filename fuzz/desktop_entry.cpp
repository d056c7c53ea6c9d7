// The desktop's association data: a hostile desktop entry, its Exec words, a command-line
// tail split for a Windows program, and a MIME lookup of an arbitrary extension.

#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzQuiet.h"
#include "platform/DesktopApps.h"
#include "platform/Launch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (QuietQtMessages(), true);
  (void)quiet;
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  if (const auto entry = platform::ParseDesktopEntry(bytes)) (void)platform::SplitExec(entry->Exec);
  const QString text = QString::fromUtf8(bytes);
  (void)platform::SplitExec(text);
  (void)platform::SplitWindowsArguments(text);
  (void)platform::MimeTypeForExtension(text.left(64));
  return 0;
}
