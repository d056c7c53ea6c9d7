// The video player on hostile files: open, then play the whole file by a clock of its own so
// every packet reaches the decoders and the sound converter.

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzQuiet.h"
#include "platform/AudioSystem.h"
#include "platform/VideoPlayer.h"
#include "platform/VirtualAudioOutput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (QuietQtMessages(), true);
  (void)quiet;
  static int argc = 1;
  static char name[] = "fuzz_avi";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
  (void)app;
  static platform::VirtualAudioSystem card;
  static const bool installed = (platform::SetAudioSystem(&card), true);
  (void)installed;
  static QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("input.avi"));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
  }
  platform::VideoPlayer player(nullptr, &card.Clock());
  if (!player.Open(path) || !player.Play()) return 0;
  // At most ten seconds of movie; a damaged file may claim hours.
  for (int step = 0; step < 100 && player.Playing(); ++step) {
    player.WaitDecodedUntil(player.PositionMs() + 200, 2000);
    card.AdvanceMs(100);
    player.Tick();
  }
  player.Close();
  return 0;
}
