// Description files: every field of a hostile file at both picture depths, then each picture
// it names decoded from the same bytes.

#include <QBuffer>
#include <cstddef>
#include <cstdint>

#include "formats/DemoFile.h"
#include "fuzz/FuzzQuiet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (QuietQtMessages(), true);
  (void)quiet;
  QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  for (int depth : {8, 24}) {
    const std::optional<DemoFileData> demo = ReadDemoFile(buffer, depth);
    if (!demo) continue;
    DemoCatalogue catalogue;
    DemoFileData copy = *demo;
    AppendDemo(catalogue, std::move(copy));
    (void)HowToLines(demo->Entry.HowTo);
    (void)DecodePicture(buffer, demo->Entry.Logo, depth);
    for (const ImageRef& ref : demo->Images) (void)DecodePicture(buffer, ref, depth);
  }
  return 0;
}
