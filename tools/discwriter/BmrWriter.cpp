#include "tools/discwriter/BmrWriter.h"

#include <algorithm>

#include "tools/discwriter/ByteWriter.h"

namespace discwriter {

QByteArray BmrWriter::Build() const {
  QVector<Item> items = items_;
  if (SortNames)
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
      return QString::compare(a.Name, b.Name, Qt::CaseInsensitive) < 0;
    });

  ByteWriter w;
  w.Int32(Version);
  w.Int32(int32_t(ReservedHeader.size()));
  w.Bytes(ReservedHeader);
  w.Int32(CountOverride.value_or(int32_t(items.size())));
  for (const Item& item : items) w.Text(item.Name);
  const qsizetype directory = w.Size();
  if (!DirectoryOverride.isEmpty()) {
    for (const auto& pair : DirectoryOverride) {
      w.Int32(pair.first);
      w.Int32(pair.second);
    }
    for (const Item& item : items) w.Bytes(item.Bmp);
    return w.Take();
  }
  for (int i = 0; i < items.size(); ++i) {
    w.Int32(0);
    w.Int32(0);
  }
  for (int i = 0; i < items.size(); ++i) {
    w.PatchInt32(directory + 8 * i, int32_t(w.Size()));
    w.PatchInt32(directory + 8 * i + 4, int32_t(items[i].Bmp.size()));
    w.Bytes(items[i].Bmp);
  }
  return w.Take();
}

}  // namespace discwriter
