// The metafile player: header checks, then every record played onto a small picture.

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzQuiet.h"
#include "platform/Metafile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (QuietQtMessages(), true);
  (void)quiet;
  // Text needs the font database, which needs a GUI application (offscreen).
  static int argc = 1;
  static char name[] = "fuzz_metafile";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app =
      QCoreApplication::instance() ? nullptr
                                   : (qputenv("QT_QPA_PLATFORM", "offscreen"), new QGuiApplication(argc, argv));
  (void)app;
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
  const auto metafile = platform::Metafile::FromBytes(bytes);
  if (!metafile) return 0;
  QImage image(96, 72, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  metafile->Play(painter, image.rect());
  return 0;
}
