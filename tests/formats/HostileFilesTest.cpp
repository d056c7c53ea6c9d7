// Disc files that are not what their names say: pipes and devices, pictures claiming more than
// they can hold, names in orders other writers chose.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

#include "FormatsTestSupport.h"
#include "formats/BMR.h"
#include "formats/BPK.h"
#include "formats/DemoFile.h"
#include "formats/DiscFiles.h"
#include "formats/PictureBound.h"
#include "platform/Dialogs.h"
#include "support/TestSupport.h"
#include "tools/discwriter/BmrWriter.h"
#include "tools/discwriter/BpkWriter.h"
#include "tools/discwriter/DemWriter.h"

using formatstest::DiscPath;
using formatstest::SolidBmp;

namespace {

// Runs work on a thread; true when it ends without a writer ever opening the pipe. A reader
// blocked on the pipe is released (the test fails) rather than left hanging.
template <class Work>
bool EndsWithoutWriter(const QString& fifo, Work work) {
  std::future<void> done = std::async(std::launch::async, work);
  if (done.wait_for(std::chrono::seconds(30)) == std::future_status::ready) return true;
  const QByteArray path = QFile::encodeName(fifo);
  while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
    const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  }
  return false;
}

int OpenDescriptors() {
  return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System |
                                                             QDir::Files | QDir::AllEntries)
                 .size());
}

QByteArray Dem(const QString& title, int category = dcGames) {
  discwriter::DemWriter w;
  w.Category = category;
  w.Title = title;
  w.MainCommand = QStringLiteral("//95 A.EXE");
  return w.Build();
}

// A bitmap followed by zeros that compress to almost nothing.
QByteArray Padded(qint64 zeros) {
  return SolidBmp(4, 3, qRgb(1, 2, 3)) + QByteArray(qsizetype(zeros), '\0');
}

}  // namespace

TEST(HostileFiles, PipesAndDevicesNamedLikeDiscFilesAreSkippedWithoutBlocking) {
  platform::ScopedScriptedDialogs dialogs;
  QTemporaryDir dir;
  ASSERT_TRUE(testsupport::WriteFile(dir.path() + "/DemoData/b.dem", Dem("Real")));
  const QString fifoDem = dir.path() + "/DemoData/a.dem";
  const QString fifoBmr = dir.path() + "/controls.bmr";
  const QString fifoBpk = dir.path() + "/logo.bpk";
  for (const QString& f : {fifoDem, fifoBmr, fifoBpk})
    ASSERT_EQ(::mkfifo(QFile::encodeName(f).constData(), 0600), 0);
  const QString zero = dir.path() + "/zero.bmr";
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));

  int added = -1;
  EXPECT_TRUE(EndsWithoutWriter(fifoDem, [&] {
    DemoCatalogue catalogue;
    added = LoadCatalogue(catalogue, DiscPath(dir.path() + "/"), 24);
  }));
  EXPECT_EQ(added, 1);

  bool opened = true;
  EXPECT_TRUE(EndsWithoutWriter(fifoBmr, [&] {
    BmrArchive bmr;
    opened = bmr.OpenContainer(DiscPath(fifoBmr));
  }));
  EXPECT_FALSE(opened);
  BmrArchive bmr;
  EXPECT_FALSE(bmr.OpenContainer(DiscPath(zero)));
  EXPECT_EQ(OpenDiscFile(DiscPath(zero)), nullptr);

  for (bool direct : {true, false}) {
    bool refused = false;
    EXPECT_TRUE(EndsWithoutWriter(fifoBpk, [&] {
      TBPKMovie movie(direct);
      try {
        movie.Open(DiscPath(fifoBpk));
      } catch (const EFOpenError&) {
        refused = true;
      }
    }));
    EXPECT_TRUE(refused) << direct;
  }
}

TEST(HostileFiles, RefusedAnimationIsNotKeptOpen) {
  discwriter::BpkWriter w;
  w.AddFrame(SolidBmp(2, 2, 0), 10);
  w.Version = 111;
  QTemporaryDir dir;
  ASSERT_TRUE(testsupport::WriteFile(dir.path() + "/old.bpk", w.Build()));
  for (bool direct : {true, false}) {
    TBPKMovie movie(direct);
    const int before = OpenDescriptors();
    EXPECT_FALSE(movie.Open(DiscPath(dir.path() + "/old.bpk")));
    EXPECT_EQ(OpenDescriptors(), before) << direct;
  }
}

TEST(HostileFiles, PicturesMayNotClaimMoreThanTheirHeaderNeeds) {
  // Description file pictures: the right size decodes, a size swollen by zeros does not.
  discwriter::DemWriter w;
  w.Category = dcGames;
  w.MainCommand = QStringLiteral("//95 A.EXE");
  w.TrueColourSet = {{SolidBmp(4, 3, qRgb(1, 2, 3)), {}, {}}, {Padded(8 << 20), {}, {}}};
  discwriter::DemLayout layout;
  QByteArray file = w.Build(&layout);
  EXPECT_LT(file.size(), 64 << 10);
  QBuffer buffer(&file);
  buffer.open(QIODevice::ReadOnly);
  const auto ref = [](const discwriter::DemLayout::Ref& r) { return ImageRef{r.Offset, r.Size}; };
  EXPECT_TRUE(InflatePicture(buffer, ref(layout.TrueColourRefs[0])));
  EXPECT_FALSE(InflatePicture(buffer, ref(layout.TrueColourRefs[1])));

  // Animation frames: the swollen frame fails without being held, the next one comes.
  discwriter::BpkWriter movie;
  movie.AddFrame(SolidBmp(3, 2, qRgb(7, 0, 0)), 10);
  movie.AddFrame(Padded(8 << 20), 10);
  movie.AddFrame(SolidBmp(5, 2, qRgb(9, 0, 0)), 10);
  TBPKMovie bpk(false);
  ASSERT_TRUE(bpk.OpenBytes(movie.Build()));
  QByteArray bytes;
  EXPECT_TRUE(bpk.ReadFrameBytes(bytes));
  EXPECT_FALSE(bpk.ReadFrameBytes(bytes));
  EXPECT_EQ(bpk.CurrentFrame, 2);
  platform::Bitmap third;
  EXPECT_TRUE(bpk.ReadFrame(third, 24));
  EXPECT_EQ(third.Width(), 5);
}

TEST(HostileFiles, PictureBoundFollowsTheHeader) {
  const QByteArray bmp = SolidBmp(4, 3, qRgb(1, 2, 3));  // 32-bit rows of 16 bytes
  const QByteArray head = bmp.left(kBitmapHeadBytes);
  EXPECT_TRUE(PlausiblePictureSize(head, bmp.size()));
  EXPECT_GE(BitmapFileBound(head), bmp.size());
  EXPECT_FALSE(PlausiblePictureSize(head, bmp.size() + (1 << 20)));
  EXPECT_FALSE(PlausiblePictureSize(QByteArray(54, 'x'), 100));  // not a bitmap
  EXPECT_TRUE(PlausiblePictureSize(QByteArray(20, 'x'), 20));    // too small to matter

  // Enormous dimensions are refused past the ceiling, however much the header asks for.
  QByteArray huge = head;
  qToLittleEndian<qint32>(20000, huge.data() + 18);
  qToLittleEndian<qint32>(-20000, huge.data() + 22);  // top-down
  EXPECT_GT(BitmapFileBound(huge), kMaxPictureFileBytes);
  EXPECT_TRUE(PlausiblePictureSize(huge, kMaxPictureFileBytes));
  EXPECT_FALSE(PlausiblePictureSize(huge, kMaxPictureFileBytes + 1));
  qToLittleEndian<qint32>(0, huge.data() + 18);
  EXPECT_EQ(BitmapFileBound(huge), -1);
}

TEST(CatalogueOrder, AccentedNamesFollowCollationAndCaseTiesFollowBytes) {
  const QStringList stored = {QString::fromUtf8("faca.dem"), QString::fromUtf8("Égua.dem"),
                              "bola.dem",  QString::fromUtf8("Ábaco.dem"),
                              "demo.dem",  "Demo.dem",
                              "DEMO.dem"};
  QStringList opened;
  DemoCatalogue catalogue;
  LoadCatalogueFrom(
      catalogue, stored,
      [&](const QString& name) -> std::unique_ptr<QIODevice> {
        opened << name;
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(Dem(name));
        buffer->open(QIODevice::ReadOnly);
        return buffer;
      },
      24);
  const QStringList expected = {QString::fromUtf8("Ábaco.dem"), "bola.dem", "DEMO.dem",
                                "Demo.dem", "demo.dem", QString::fromUtf8("Égua.dem"),
                                "faca.dem"};
  EXPECT_EQ(opened, expected);
  ASSERT_EQ(catalogue.Counts[dcGames], 7);
  EXPECT_EQ(catalogue.Entry(dcGames, 1).DemFile, QString::fromUtf8("Ábaco.dem"));
  EXPECT_EQ(catalogue.Entry(dcGames, 7).DemFile, "faca.dem");
}

TEST(CatalogueOrder, ContainerInAnotherOrderIsReadButRepeatsAreNot) {
  platform::ScopedScriptedDialogs dialogs;
  QTemporaryDir dir;
  discwriter::BmrWriter w;
  w.SortNames = false;  // stored as added: neither code point nor collation order
  w.Add("zeta", SolidBmp(3, 3, qRgb(3, 0, 0)));
  w.Add(QString::fromUtf8("Égua"), SolidBmp(4, 3, qRgb(4, 0, 0)));
  w.Add("alpha", SolidBmp(5, 3, qRgb(5, 0, 0)));
  w.Add("Beta", SolidBmp(6, 3, qRgb(6, 0, 0)));
  ASSERT_TRUE(testsupport::WriteFile(dir.path() + "/any.bmr", w.Build()));
  BmrArchive bmr;
  ASSERT_TRUE(bmr.OpenContainer(DiscPath(dir.path() + "/any.bmr")));
  int width = 3;
  for (const QString& name : {QString("ZETA"), QString::fromUtf8("égua"), QString("Alpha"),
                              QString("beta")}) {
    platform::Bitmap b;
    EXPECT_TRUE(bmr.LoadBitmap(b, name, {}, true, 24)) << name.toStdString();
    EXPECT_EQ(b.Width(), width++);
  }
  EXPECT_TRUE(dialogs->Messages().empty());

  w.Add("ALPHA", SolidBmp(1, 1, 0));
  ASSERT_TRUE(testsupport::WriteFile(dir.path() + "/twice.bmr", w.Build()));
  EXPECT_FALSE(bmr.OpenContainer(DiscPath(dir.path() + "/twice.bmr")));
}
