#include "tools/discwriter/DemWriter.h"

#include <QHash>

#include "platform/Text.h"
#include "tools/discwriter/ByteWriter.h"

namespace discwriter {

QByteArray DemWriter::Build(DemLayout* layout) const {
  DemLayout local;
  DemLayout& where = layout ? *layout : local;
  where = DemLayout{};

  ByteWriter w;
  w.Int32(Signature);
  w.Int32(int32_t(Reserved1.size()));
  w.Bytes(Reserved1);
  where.CategoryOffset = w.Size();
  w.Int32(Category);
  where.TitleOffset = w.Size();
  w.Text(Title);
  w.Text(Subtitle);
  const QByteArray description = platform::ToWin1252(Description);
  w.Int32(int32_t(description.size()));
  w.Int32(int32_t(Trailing.size()));
  w.Int32(0);
  w.Bytes(description);
  w.Bytes(Trailing);
  w.Byte(RunsFromCD);
  w.Text(MainCommand);
  w.Text(Folder);
  w.Byte(RootRelative);
  w.Text(DirectCommand);
  w.Byte(MustClose);
  w.Text(HowTo);
  w.Byte(Reserved19);
  w.Int32(int32_t(Reserved2.size()));
  w.Bytes(Reserved2);
  w.Byte(HasLogo);

  // Tables first with placeholder refs; the picture data follows them.
  where.PaletteCountOffset = w.Size();
  w.Byte(PaletteCountOverride.value_or(uint8_t(PaletteSet.size())));
  w.Int32(int32_t(8 * PaletteSet.size()));
  const qsizetype paletteTable = w.Size();
  for (int i = 0; i < PaletteSet.size(); ++i) {
    w.Int32(0);
    w.Int32(0);
  }
  where.TrueColourCountOffset = w.Size();
  w.Byte(TrueColourCountOverride.value_or(uint8_t(TrueColourSet.size())));
  w.Int32(int32_t(8 * TrueColourSet.size()));
  const qsizetype trueColourTable = w.Size();
  for (int i = 0; i < TrueColourSet.size(); ++i) {
    w.Int32(0);
    w.Int32(0);
  }
  where.PictureDataOffset = w.Size();

  QHash<QByteArray, int32_t> stored;  // picture bytes -> offset of their stream
  auto place = [&](const QVector<DemPicture>& set, qsizetype table, QVector<DemLayout::Ref>& refs) {
    for (int i = 0; i < set.size(); ++i) {
      const DemPicture& picture = set[i];
      auto it = stored.find(picture.Bmp);
      if (it == stored.end()) {
        it = stored.insert(picture.Bmp, int32_t(w.Size()));
        w.Bytes(ZlibCompress(picture.Bmp, CompressionLevel));
      }
      const DemLayout::Ref ref{picture.OffsetOverride.value_or(it.value()),
                               picture.SizeOverride.value_or(int32_t(picture.Bmp.size()))};
      w.PatchInt32(table + 8 * i, ref.Offset);
      w.PatchInt32(table + 8 * i + 4, ref.Size);
      refs.append(ref);
    }
  };
  place(PaletteSet, paletteTable, where.PaletteRefs);
  place(TrueColourSet, trueColourTable, where.TrueColourRefs);
  return w.Take();
}

}  // namespace discwriter
