#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>

#include "FormatsTestSupport.h"
#include "formats/DemoFile.h"
#include "support/TestSupport.h"
#include "tools/discwriter/DemWriter.h"

using discwriter::DemPicture;
using discwriter::DemWriter;
using formatstest::SolidBmp;

namespace {

std::optional<DemoFileData> Read(const QByteArray& bytes, int depth) {
  QByteArray copy = bytes;
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  return ReadDemoFile(buffer, depth);
}

DemWriter Sample() {
  DemWriter w;
  w.Category = dcInternet;
  w.Title = QString::fromUtf8("Navegação Rápida");
  w.Subtitle = QStringLiteral("v2.0");
  w.Description = QStringLiteral("First.\r\nSecond.");
  w.Reserved1 = QByteArray(7, 'x');
  w.Trailing = QByteArray(5, 't');
  w.Reserved2 = QByteArray(3, 'r');
  w.RunsFromCD = 0;
  w.MainCommand = QStringLiteral("//95 SETUP.EXE //31 INSTALL.EXE");
  w.Folder = QStringLiteral("Net\\Fast");
  w.RootRelative = 1;
  w.DirectCommand = QStringLiteral("\t FAST.EXE \r\n");
  w.MustClose = 1;
  w.HowTo = QStringLiteral("//mi Fast\\Go");
  return w;
}

// Pictures of distinct colours so that a test can tell which one it decoded.
QVector<DemPicture> Pictures(int count, bool indexed) {
  QVector<DemPicture> set;
  for (int i = 0; i < count; ++i)
    set.append({SolidBmp(4 + i, 3, qRgb(10 * i, 100, 200), indexed), {}, {}});
  return set;
}

// A catalogue folder on the host with the given files.
struct DemoFolder {
  QTemporaryDir dir;
  QString ShareDir() const { return formatstest::DiscPath(dir.path() + "/"); }
  void Add(const QString& name, const QByteArray& bytes) {
    ASSERT_TRUE(testsupport::WriteFile(dir.path() + "/DemoData/" + name, bytes));
  }
};

}  // namespace

TEST(DemoFile, ReadsEveryFieldAndReducesTheCommands) {
  const auto data = Read(Sample().Build(), 8);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->Category, dcInternet);
  const DemoEntry& e = data->Entry;
  EXPECT_EQ(e.Title, QString::fromUtf8("Navegação Rápida"));
  EXPECT_EQ(e.Subtitle, "v2.0");
  EXPECT_EQ(e.Description, "First.\r\nSecond.");
  EXPECT_EQ(e.RunsFromCD, 0);
  EXPECT_EQ(e.MainCommand, "SETUP.EXE");
  EXPECT_EQ(e.Folder, "Net\\Fast");
  EXPECT_EQ(e.RootRelative, 1);
  EXPECT_EQ(e.DirectCommand, "FAST.EXE");
  EXPECT_EQ(e.MustClose, 1);
  EXPECT_EQ(e.HowTo, "//mi Fast\\Go");
  EXPECT_EQ(e.ImageCount, 0);
  EXPECT_EQ(e.Logo, ImageRef{});
}

TEST(DemoFile, MainCommandSelection) {
  EXPECT_EQ(SelectMainCommand("//95 A.EXE"), "A.EXE");
  EXPECT_EQ(SelectMainCommand("//95 SETUP.EXE //31 INSTALL.EXE"), "SETUP.EXE");
  // A "//31" before the "//95" does not end the command.
  EXPECT_EQ(SelectMainCommand("//31 OLD.EXE //95 NEW.EXE"), "NEW.EXE");
  EXPECT_EQ(SelectMainCommand("  PLAIN.EXE\r\n"), "PLAIN.EXE");
  EXPECT_EQ(SelectMainCommand("//95//31X"), "");
  EXPECT_EQ(TrimControls(QString("\x01 a b \x1f")), "a b");
  EXPECT_EQ(TrimControls(QString::fromUtf8("\u00a0a")), QString::fromUtf8("\u00a0a"));
}

TEST(DemoFile, HowToMarkerAloneIsEmpty) {
  DemWriter w = Sample();
  w.HowTo = "//dk";
  EXPECT_EQ(Read(w.Build(), 8)->Entry.HowTo, "");
  w.HowTo = "//dkC:";
  EXPECT_EQ(Read(w.Build(), 8)->Entry.HowTo, "//dkC:");
}

TEST(DemoFile, PictureSetFollowsTheColourDepth) {
  DemWriter w = Sample();
  w.HasLogo = 1;
  w.PaletteSet = Pictures(3, true);
  w.TrueColourSet = Pictures(14, false);
  discwriter::DemLayout layout;
  const QByteArray bytes = w.Build(&layout);

  // Palette display: the first pair is the logo, two screenshots remain.
  const auto palette = Read(bytes, 8);
  ASSERT_TRUE(palette);
  EXPECT_EQ(palette->Entry.Logo.Offset, layout.PaletteRefs[0].Offset);
  EXPECT_EQ(palette->Entry.Logo.Size, layout.PaletteRefs[0].Size);
  EXPECT_EQ(palette->Entry.ImageCount, 2);
  ASSERT_EQ(palette->Images.size(), 2u);
  EXPECT_EQ(palette->Images[1].Offset, layout.PaletteRefs[2].Offset);

  // True colour: 14 pictures, one logo, only ten screenshots are read.
  const auto deep = Read(bytes, 24);
  ASSERT_TRUE(deep);
  EXPECT_EQ(deep->Entry.Logo.Offset, layout.TrueColourRefs[0].Offset);
  EXPECT_EQ(deep->Entry.ImageCount, 10);
  EXPECT_EQ(deep->Images[9].Offset, layout.TrueColourRefs[10].Offset);

  // Only bit 0 of the flag counts, and a flag with an empty set gives no logo.
  w.HasLogo = 2;
  EXPECT_EQ(Read(w.Build(), 8)->Entry.ImageCount, 3);
  w.HasLogo = 1;
  w.PaletteSet.clear();
  const auto none = Read(w.Build(), 8);
  EXPECT_EQ(none->Entry.Logo, ImageRef{});
  EXPECT_EQ(none->Entry.ImageCount, 0);
}

TEST(DemoFile, C24OfFourteenWithoutLogoGivesTen) {
  DemWriter w = Sample();
  w.TrueColourSet = Pictures(14, false);
  const auto data = Read(w.Build(), 32);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->Entry.ImageCount, 10);
}

TEST(DemoFile, DamagedFilesAreRefusedAtEveryLength) {
  DemWriter w = Sample();
  w.HasLogo = 1;
  w.PaletteSet = Pictures(2, true);
  w.TrueColourSet = Pictures(2, false);
  discwriter::DemLayout layout;
  const QByteArray whole = w.Build(&layout);
  // Every cut inside the fields a depth reads makes the file unusable; the palette reader
  // stops before the true-colour table.
  for (qsizetype n = 0; n < layout.PictureDataOffset; ++n) {
    EXPECT_EQ(bool(Read(whole.left(n), 8)), n >= layout.TrueColourCountOffset) << n;
    EXPECT_FALSE(Read(whole.left(n), 24)) << n;
  }
  EXPECT_TRUE(Read(whole.left(layout.PictureDataOffset), 24));

  QByteArray badSignature = whole;
  badSignature[0] = char(208);
  EXPECT_FALSE(Read(badSignature, 8));

  // Lengths that run past the end, or are negative, refuse the file without allocating them.
  for (int32_t length : {0x7FFFFFFF, -1, int32_t(0x80000000)}) {
    QByteArray huge = whole;
    for (int i = 0; i < 4; ++i)
      huge[layout.TitleOffset + i] = char((uint32_t(length) >> (8 * i)) & 0xFF);
    EXPECT_FALSE(Read(huge, 8)) << length;
  }
}

TEST(DemoCatalogue, SortsNamesSkipsBadFilesAndKeepsCounts) {
  DemoFolder folder;
  DemWriter w = Sample();
  w.Category = dcGames;
  w.Title = "Bee";
  folder.Add("B.dem", w.Build());
  w.Title = "Ant";
  folder.Add("a.dem", w.Build());
  w.Category = 7;  // outside the catalogue
  folder.Add("c.dem", w.Build());
  w.Category = dcUtilities;
  w.Signature = 1;
  folder.Add("d.dem", w.Build());
  folder.Add("e.dem", QByteArray("\xcf\x00\x00\x00", 4));  // signature only
  folder.Add("notes.txt", Sample().Build());

  DemoCatalogue catalogue;
  catalogue.Counts[dcApplications] = 1;  // counts are the caller's to clear
  EXPECT_EQ(LoadCatalogue(catalogue, folder.ShareDir(), 8), 2);
  EXPECT_EQ(catalogue.Counts[dcGames], 2);
  EXPECT_EQ(catalogue.Counts[dcApplications], 1);
  EXPECT_EQ(catalogue.Counts[dcUtilities], 0);
  EXPECT_EQ(catalogue.Entry(dcGames, 1).DemFile, "a.dem");
  EXPECT_EQ(catalogue.Entry(dcGames, 1).Title, "Ant");
  EXPECT_EQ(catalogue.Entry(dcGames, 2).DemFile, "B.dem");
}

TEST(DemoCatalogue, TwentiethDemoIsSkippedAndEmptyFolderChangesNothing) {
  DemoFolder folder;
  DemWriter w = Sample();
  w.Category = dcScreenSavers;
  w.PaletteSet = Pictures(2, true);
  for (int i = 0; i < 20; ++i) folder.Add(QString("s%1.dem").arg(i, 2, 10, QChar('0')), w.Build());
  DemoCatalogue catalogue;
  EXPECT_EQ(LoadCatalogue(catalogue, folder.ShareDir(), 8), 19);
  EXPECT_EQ(catalogue.Counts[dcScreenSavers], 19);
  EXPECT_EQ(catalogue.Entry(dcScreenSavers, 19).DemFile, "s18.dem");
  EXPECT_EQ(catalogue.Image(dcScreenSavers, 19, 2).Size, w.PaletteSet[1].Bmp.size());

  QTemporaryDir empty;
  DemoCatalogue untouched;
  untouched.Counts[0] = 3;
  EXPECT_EQ(LoadCatalogue(untouched, formatstest::DiscPath(empty.path() + "/"), 8), 0);
  EXPECT_EQ(untouched.Counts[0], 3);
}

TEST(DemoPicture, DecodesEitherSetAndFailsCleanly) {
  DemoFolder folder;
  DemWriter w = Sample();
  w.PaletteSet = Pictures(1, true);
  w.TrueColourSet = Pictures(1, false);
  w.TrueColourSet.append({SolidBmp(2, 2, qRgb(1, 2, 3)), {}, 999999});  // wrong size
  w.TrueColourSet.append({SolidBmp(2, 2, qRgb(1, 2, 3)), 12, {}});      // not a stream
  w.TrueColourSet.append({QByteArray("not a bitmap at all"), {}, {}});
  discwriter::DemLayout layout;
  folder.Add("p.dem", w.Build(&layout));
  const QString share = folder.ShareDir();
  auto ref = [](const discwriter::DemLayout::Ref& r) { return ImageRef{r.Offset, r.Size}; };

  const auto indexed = DecodeDemoPicture(share, "p.dem", ref(layout.PaletteRefs[0]), 8);
  ASSERT_TRUE(indexed);
  EXPECT_TRUE(indexed->HasPalette());
  EXPECT_EQ(indexed->Width(), 4);
  EXPECT_EQ(indexed->Pixel(0, 0), qRgb(0, 100, 200));

  const auto deep = DecodeDemoPicture(share, "p.dem", ref(layout.PaletteRefs[0]), 16);
  ASSERT_TRUE(deep);
  EXPECT_FALSE(deep->HasPalette());
  EXPECT_EQ(deep->Pixel(3, 2), qRgb(0, 100, 200));

  EXPECT_FALSE(DecodeDemoPicture(share, "p.dem", ImageRef{0, 100}, 24));
  for (int i = 1; i <= 3; ++i)
    EXPECT_FALSE(DecodeDemoPicture(share, "p.dem", ref(layout.TrueColourRefs[i]), 24)) << i;
  EXPECT_FALSE(DecodeDemoPicture(share, "p.dem", ImageRef{1 << 30, 100}, 24));
  EXPECT_FALSE(
      DecodeDemoPicture(share, "p.dem", ImageRef{layout.TrueColourRefs[0].Offset, 0x7FFFFFFF}, 24));
  EXPECT_FALSE(DecodeDemoPicture(share, "missing.dem", ref(layout.PaletteRefs[0]), 8));
}

TEST(HowTo, LinesByMarker) {
  const HowToText ex = HowToLines("//exC:\\Jogos\\Demo\\");
  EXPECT_EQ(ex.Lines, QStringList({QString::fromUtf8("Após a instalação..."), " ",
                                   "Abra o Explorer e utilize o caminho:", "C:",
                                   QString::fromUtf8("·Jogos"), QString::fromUtf8("·Demo")}));
  EXPECT_EQ(ex.FirstPathLine, 3);

  const HowToText mi = HowToLines("//MIQuarx\\Demo");
  EXPECT_EQ(mi.Lines.size(), 6);
  EXPECT_EQ(mi.Lines[2], QString::fromUtf8("·Clique no botão Iniciar,"));
  EXPECT_EQ(mi.Lines[4], QString::fromUtf8("·Quarx"));

  const HowToText dk = HowToLines("//dkDemo");
  EXPECT_EQ(dk.Lines[1], QString::fromUtf8("Clique no atalho da área de trabalho:"));
  EXPECT_EQ(dk.Lines.last(), QString::fromUtf8("·Demo"));

  const HowToText other = HowToLines("//xxC:\\Demo");
  EXPECT_EQ(other.Lines, QStringList({QString::fromUtf8("Não há contexto")}));
}
