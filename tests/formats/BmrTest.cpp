#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "FormatsTestSupport.h"
#include "formats/BMR.h"
#include "platform/Dialogs.h"
#include "support/TestSupport.h"
#include "tools/discwriter/BmrWriter.h"

using discwriter::BmrWriter;
using formatstest::SolidBmp;

namespace {

BmrWriter Skin() {
  BmrWriter w;
  w.ReservedHeader = QByteArray(10, 'h');
  w.Add("gtbCloseu", SolidBmp(4, 4, qRgb(1, 0, 0), true));
  w.Add("gtbClosed", SolidBmp(5, 4, qRgb(2, 0, 0)));
  w.Add("GreenGrad", SolidBmp(6, 4, qRgb(3, 0, 0)));
  w.Add("advMask", SolidBmp(7, 4, qRgb(255, 255, 255), true));
  return w;
}

struct Containers {
  QTemporaryDir dir;
  QString Write(const QString& name, const QByteArray& bytes) {
    EXPECT_TRUE(testsupport::WriteFile(dir.path() + "/" + name, bytes));
    return formatstest::DiscPath(dir.path() + "/" + name);
  }
};

QStringList Texts(platform::ScriptedDialogService& dialogs) {
  QStringList texts;
  for (const auto& m : dialogs.Messages()) texts << m.text;
  return texts;
}

}  // namespace

TEST(BmrArchive, LoadsByNameInAnyCase) {
  platform::ScopedScriptedDialogs dialogs;
  Containers c;
  const QString path = c.Write("controls.bmr", Skin().Build());
  BmrArchive bmr;
  ASSERT_TRUE(bmr.OpenContainer(path));
  platform::Bitmap b;
  ASSERT_TRUE(bmr.LoadBitmap(b, "GTBCLOSED", {}, true, 24));
  EXPECT_EQ(b.Width(), 5);
  ASSERT_TRUE(bmr.LoadBitmap(b, "greengrad", {}, true, 24));
  EXPECT_EQ(b.Pixel(0, 0), qRgb(3, 0, 0));
  // Without the convert flag, or at 256 colours, an 8-bit picture keeps its palette.
  ASSERT_TRUE(bmr.LoadBitmap(b, "advMask", {}, false, 24));
  EXPECT_TRUE(b.HasPalette());
  ASSERT_TRUE(bmr.LoadBitmap(b, "gtbCloseu", {}, true, 8));
  EXPECT_TRUE(b.HasPalette());
  ASSERT_TRUE(bmr.LoadBitmap(b, "gtbCloseu", {}, true, 16));
  EXPECT_FALSE(b.HasPalette());
  EXPECT_TRUE(dialogs->Messages().empty());

  // A name the container does not hold: the message names the container, the target stays.
  EXPECT_FALSE(bmr.LoadBitmap(b, "gtbClosem", {}, true, 24));
  EXPECT_EQ(b.Width(), 4);
  EXPECT_EQ(Texts(*dialogs),
            QStringList{QString::fromUtf8("Arquivo \"%1\" não encontrado.").arg(path)});
}

TEST(BmrArchive, SameNameInOtherCaseReadsNothing) {
  platform::ScopedScriptedDialogs dialogs;
  Containers c;
  const QString path = c.Write("controls.bmr", Skin().Build());
  BmrArchive bmr;
  ASSERT_TRUE(bmr.OpenContainer(path));
  ASSERT_TRUE(QFile::remove(c.dir.path() + "/controls.bmr"));
  EXPECT_TRUE(bmr.OpenContainer(path.toUpper()));
  platform::Bitmap b;
  EXPECT_TRUE(bmr.LoadBitmap(b, "advMask", {}, false, 8));  // served from the memory copy
  EXPECT_TRUE(bmr.CloseContainer());
  EXPECT_FALSE(bmr.OpenContainer(path));
  EXPECT_EQ(dialogs->Messages().size(), 1u);
}

TEST(BmrArchive, ExplicitContainerIsOpenedForOneCall) {
  platform::ScopedScriptedDialogs dialogs;
  Containers c;
  const QString skin = c.Write("controls.bmr", Skin().Build());
  BmrWriter other;
  other.Add("Only", SolidBmp(9, 9, qRgb(0, 0, 9)));
  const QString extra = c.Write("other.bmr", other.Build());
  BmrArchive bmr;
  ASSERT_TRUE(bmr.OpenContainer(skin));
  platform::Bitmap b;
  EXPECT_TRUE(bmr.LoadBitmap(b, "only", extra, true, 24));
  EXPECT_EQ(b.Width(), 9);
  EXPECT_FALSE(bmr.IsOpen());  // the skin container was forgotten, the other closed again
  EXPECT_THROW(bmr.LoadBitmap(b, "x", c.dir.path() + "/none.bmr", true, 24), EBmrError);
  // No container open and none given.
  EXPECT_FALSE(bmr.LoadBitmap(b, "Only", {}, true, 24));
  EXPECT_EQ(b.Width(), 9);
}

TEST(BmrArchive, RefusedContainers) {
  Containers c;
  const QString notFound = QString::fromUtf8("Arquivo \"%1\" não encontrado.");
  auto refusals = [&](const QString& name, const QByteArray& bytes) {
    platform::ScopedScriptedDialogs dialogs;
    const QString path = c.Write(name, bytes);
    BmrArchive bmr;
    EXPECT_FALSE(bmr.OpenContainer(path)) << name.toStdString();
    EXPECT_FALSE(bmr.IsOpen());
    QStringList texts = Texts(*dialogs);
    if (!texts.isEmpty() && texts.last() == notFound.arg(path)) texts.last() = "not found";
    return texts;
  };

  BmrWriter w = Skin();
  w.Version = 101;
  EXPECT_EQ(refusals("v101.bmr", w.Build()),
            QStringList({QString::fromUtf8("A versão do arquivo BMR é incorreta."), "not found"}));

  w = Skin();
  w.Add("GREENGRAD", SolidBmp(1, 1, 0));
  EXPECT_EQ(refusals("twice.bmr", w.Build()), QStringList{"not found"});

  BmrWriter many;
  for (int i = 0; i < 121; ++i)
    many.Add(QString("n%1").arg(i, 3, 10, QChar('0')), QByteArray(4, 'b'));
  EXPECT_EQ(refusals("many.bmr", many.Build()), QStringList{"not found"});

  w = Skin();
  w.DirectoryOverride = {{0, 10}, {0, 10}, {0, 10}, {1 << 30, 10}};
  EXPECT_EQ(refusals("outside.bmr", w.Build()), QStringList{"not found"});

  w = Skin();
  w.CountOverride = 0x7FFFFFFF;
  EXPECT_EQ(refusals("count.bmr", w.Build()), QStringList{"not found"});

  const QByteArray whole = Skin().Build();
  for (qsizetype n : {0, 3, 6, 30, 60})
    EXPECT_EQ(refusals("cut.bmr", whole.left(n)), QStringList{"not found"});
}

TEST(BmrArchive, EmptyContainerFindsNothing) {
  platform::ScopedScriptedDialogs dialogs;
  Containers c;
  const QString path = c.Write("empty.bmr", BmrWriter().Build());
  BmrArchive bmr;
  ASSERT_TRUE(bmr.OpenContainer(path));
  platform::Bitmap b;
  EXPECT_FALSE(bmr.LoadBitmap(b, "anything", {}, true, 24));
  EXPECT_EQ(dialogs->Messages().size(), 1u);
}

TEST(BmrReader, ExplorerReadsFortyEntriesInStoredOrder) {
  platform::ScopedScriptedDialogs dialogs;
  Containers c;
  const QString path = c.Write("RARez.bmr", Skin().Build());
  BmrReader reader;
  ASSERT_TRUE(reader.Open(path));
  EXPECT_EQ(reader.Directory().Names,
            QStringList({"advMask", "GreenGrad", "gtbClosed", "gtbCloseu"}));
  QString error;
  const auto b = reader.Load("GREENGRAD", 24, &error);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->Width(), 6);
  EXPECT_FALSE(reader.Load("imMarket", 24, &error));
  EXPECT_EQ(error, QString::fromUtf8("Não há bitmap com esse nome: \"imMarket\""));
  reader.ReportFailure();
  EXPECT_EQ(Texts(*dialogs),
            QStringList{QString::fromUtf8("Arquivo \"%1\" não encontrado.").arg(path)});

  BmrWriter many;
  for (int i = 0; i < 41; ++i)
    many.Add(QString("n%1").arg(i, 2, 10, QChar('0')), QByteArray(4, 'b'));
  EXPECT_FALSE(reader.Open(c.Write("many.bmr", many.Build())));
}

TEST(BmrArchive, DecodingAheadMatchesLoadingAndIsSilent) {
  platform::ScopedScriptedDialogs dialogs;
  Containers c;
  const QString path = c.Write("controls.bmr", Skin().Build());
  BmrDecoded ahead =
      DecodeBmrPictures(path, {"gtbCloseU", "GreenGrad", "gtbClosem", "advMask"}, true, 24);
  // What the container holds, under the name asked for; the rest is simply absent.
  const auto& pictures = ahead.Pictures;
  EXPECT_EQ(pictures.size(), 3u);
  EXPECT_FALSE(pictures.count("gtbClosem"));
  // The archive comes back open on the container, as OpenContainer would leave it.
  ASSERT_TRUE(ahead.Archive.IsOpen());
  EXPECT_EQ(ahead.Archive.OpenName(), path);
  BmrArchive bmr;
  ASSERT_TRUE(bmr.OpenContainer(path));
  for (const char* name : {"gtbCloseU", "GreenGrad", "advMask"}) {
    platform::Bitmap loaded, fromAhead;
    ASSERT_TRUE(bmr.LoadBitmap(loaded, name, {}, true, 24));
    ASSERT_TRUE(ahead.Archive.LoadBitmap(fromAhead, name, {}, true, 24));
    ASSERT_TRUE(pictures.count(name)) << name;
    EXPECT_EQ(pictures.at(name).ToRgb32(), loaded.ToRgb32()) << name;
    EXPECT_EQ(fromAhead.ToRgb32(), loaded.ToRgb32()) << name;
    EXPECT_EQ(pictures.at(name).HasPalette(), loaded.HasPalette()) << name;
  }
  // Pictures asked for as stored are decoded without conversion, apart from the others.
  const BmrDecoded masks = DecodeBmrPictures(path, {"GreenGrad"}, true, 24, {"advMask"});
  ASSERT_TRUE(masks.Stored.count("advMask"));
  EXPECT_FALSE(masks.Pictures.count("advMask"));
  platform::Bitmap stored;
  ASSERT_TRUE(bmr.LoadBitmap(stored, "advMask", {}, false, 24));
  EXPECT_EQ(masks.Stored.at("advMask").HasPalette(), stored.HasPalette());
  EXPECT_EQ(masks.Stored.at("advMask").ToRgb32(), stored.ToRgb32());

  // At 256 colours the palette stays, as loading keeps it.
  EXPECT_TRUE(
      DecodeBmrPictures(path, {"gtbCloseu"}, true, 8).Pictures.at("gtbCloseu").HasPalette());

  // Missing, damaged or cut containers give nothing, and nobody is told.
  for (const QString& bad : {path + "x", c.Write("junk.bmr", QByteArray(64, '\x07')),
                             c.Write("cut.bmr", Skin().Build().chopped(10))}) {
    const BmrDecoded none = DecodeBmrPictures(bad, {"GreenGrad"}, true, 24);
    EXPECT_TRUE(none.Pictures.empty()) << bad.toStdString();
    EXPECT_FALSE(none.Archive.IsOpen()) << bad.toStdString();
  }
  EXPECT_TRUE(dialogs->Messages().empty());
}
