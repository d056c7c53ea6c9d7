#pragma once

// Writes BMR bitmap containers: version, reserved header, the names, the directory of
// (offset, size) pairs and the stored bitmap files. By default the names are sorted in the
// case-insensitive order the readers search by; tests can keep any order, repeat names or
// write any directory.

#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

namespace discwriter {

class BmrWriter {
 public:
  struct Item {
    QString Name;
    QByteArray Bmp;  // a complete Windows bitmap file, stored unchanged
  };

  int32_t Version = 100;
  QByteArray ReservedHeader;
  bool SortNames = true;  // false keeps the order of Add
  // Written instead of the number of names.
  std::optional<int32_t> CountOverride;
  // Written instead of the real directory when not empty (one pair per entry given).
  QVector<QPair<int32_t, int32_t>> DirectoryOverride;

  void Add(const QString& name, const QByteArray& bmp) { items_.append({name, bmp}); }
  const QVector<Item>& Items() const { return items_; }

  QByteArray Build() const;

 private:
  QVector<Item> items_;
};

}  // namespace discwriter
