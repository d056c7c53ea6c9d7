#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "support/TestSupport.h"
#include "tools/discwriter/Bmp.h"
#include "tools/discwriter/BmrWriter.h"
#include "tools/discwriter/BpkWriter.h"
#include "tools/discwriter/DemWriter.h"

namespace {

struct ToolRun {
  int exitCode = -1;
  QJsonObject json;
  QString err;
};

ToolRun Tool(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(QX_BINARY_DIR "/tools/quarxtool/quarxtool"), args);
  EXPECT_TRUE(p.waitForFinished(30000));
  ToolRun r;
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.json = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

QByteArray Bmp(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return discwriter::EncodeBmp(image);
}

class QuarxTool : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString Path(const QString& name) const { return dir.path() + "/" + name; }
  QString Write(const QString& name, const QByteArray& bytes) {
    EXPECT_TRUE(testsupport::WriteFile(Path(name), bytes));
    return Path(name);
  }
};

}  // namespace

TEST_F(QuarxTool, CatalogueDemAndPictures) {
  discwriter::DemWriter w;
  w.Category = 1;
  w.Title = QString::fromUtf8("Edição");
  w.MainCommand = "//95 A.EXE";
  w.HasLogo = 1;
  w.PaletteSet = {{Bmp(6, 2, qRgb(1, 1, 1)), {}, {}}};
  w.TrueColourSet = {{Bmp(8, 2, qRgb(2, 2, 2)), {}, {}}, {Bmp(5, 3, qRgb(200, 0, 0)), {}, {}}};
  Write("SHARE/DEMODATA/b.dem", w.Build());
  w.Category = 4;
  const QString dem = Write("SHARE/DEMODATA/A.DEM", w.Build());

  const ToolRun cat = Tool({"catalogue", Path("SHARE")});
  ASSERT_EQ(cat.exitCode, 0) << cat.err.toStdString();
  const QJsonArray categories = cat.json["categories"].toArray();
  ASSERT_EQ(categories.size(), 5);
  EXPECT_EQ(categories[1].toArray().size(), 1);
  const QJsonObject entry = categories[4].toArray()[0].toObject();
  EXPECT_EQ(entry["DemFile"].toString(), "A.DEM");
  EXPECT_EQ(entry["Title"].toString(), QString::fromUtf8("Edição"));
  EXPECT_EQ(entry["MainCommand"].toString(), "A.EXE");
  EXPECT_EQ(entry["ImageCount"].toInt(), 1);
  EXPECT_EQ(entry["Images"].toArray().size(), 1);
  EXPECT_NE(entry["Logo"].toObject()["offset"].toInt(), 0);

  const ToolRun one = Tool({"dem", dem, "--depth", "8"});
  ASSERT_EQ(one.exitCode, 0);
  EXPECT_EQ(one.json["Category"].toInt(), 4);
  EXPECT_EQ(one.json["ImageCount"].toInt(), 0);

  ASSERT_EQ(Tool({"picture", dem, "--image", "1", Path("shot.png")}).exitCode, 0);
  EXPECT_EQ(QImage(Path("shot.png")).pixel(4, 2), qRgb(200, 0, 0));
  ASSERT_EQ(Tool({"picture", dem, "--logo", "--depth", "8", Path("logo.bmp")}).exitCode, 0);
  EXPECT_EQ(QImage(Path("logo.bmp")).width(), 6);

  EXPECT_EQ(Tool({"picture", dem, "--image", "2", Path("x.png")}).exitCode, 1);
  EXPECT_EQ(Tool({"picture", dem, "--logo", "--image", "1", Path("x.png")}).exitCode, 2);
  EXPECT_EQ(Tool({"dem", Write("bad.dem", "nothing")}).exitCode, 1);
  EXPECT_EQ(Tool({"dem"}).exitCode, 2);
  EXPECT_EQ(Tool({"frobnicate"}).exitCode, 2);
}

TEST_F(QuarxTool, BitmapContainers) {
  discwriter::BmrWriter w;
  const QByteArray up = Bmp(3, 3, qRgb(0, 9, 0));
  w.Add("gtbCloseu", up);
  w.Add("Alpha", Bmp(2, 2, qRgb(9, 0, 0)));
  const QString bmr = Write("controls.bmr", w.Build());

  const ToolRun list = Tool({"bmr", "list", bmr});
  ASSERT_EQ(list.exitCode, 0);
  EXPECT_EQ(list.json["version"].toInt(), 100);
  const QJsonArray entries = list.json["entries"].toArray();
  ASSERT_EQ(entries.size(), 2);
  EXPECT_EQ(entries[0].toObject()["name"].toString(), "Alpha");
  EXPECT_EQ(entries[1].toObject()["size"].toInt(), up.size());

  ASSERT_EQ(Tool({"bmr", "extract", bmr, "GTBCLOSEU", Path("up.bmp")}).exitCode, 0);
  EXPECT_EQ(testsupport::ReadFile(Path("up.bmp")), up);
  ASSERT_EQ(Tool({"bmr", "extract", bmr, "alpha", Path("a.png")}).exitCode, 0);
  EXPECT_EQ(QImage(Path("a.png")).pixel(1, 1), qRgb(9, 0, 0));
  EXPECT_EQ(Tool({"bmr", "extract", bmr, "none", Path("n.bmp")}).exitCode, 1);

  w.Version = 101;
  const ToolRun old = Tool({"bmr", "list", Write("old.bmr", w.Build())});
  EXPECT_EQ(old.exitCode, 1);
  EXPECT_TRUE(old.err.contains(QString::fromUtf8("A versão do arquivo BMR é incorreta.")));
}

TEST_F(QuarxTool, Animations) {
  discwriter::BpkWriter w;
  w.AddFrame(Bmp(2, 2, qRgb(1, 0, 0)), 100);
  const QByteArray second = Bmp(4, 2, qRgb(2, 0, 0));
  w.AddFrame(second, 0);
  const QString bpk = Write("anim.bpk", w.Build());

  const ToolRun info = Tool({"bpk", "info", bpk});
  ASSERT_EQ(info.exitCode, 0);
  const QJsonArray frames = info.json["frames"].toArray();
  ASSERT_EQ(frames.size(), 2);
  EXPECT_EQ(frames[0].toObject()["delay"].toInt(), 100);
  EXPECT_EQ(frames[1].toObject()["size"].toInt(), second.size());

  ASSERT_EQ(Tool({"bpk", "frame", bpk, "1", Path("f1.bmp")}).exitCode, 0);
  EXPECT_EQ(testsupport::ReadFile(Path("f1.bmp")), second);
  EXPECT_EQ(Tool({"bpk", "frame", bpk, "2", Path("f2.bmp")}).exitCode, 1);

  const ToolRun all = Tool({"bpk", "extract", bpk, Path("out")});
  ASSERT_EQ(all.exitCode, 0);
  EXPECT_EQ(testsupport::ReadFile(Path("out/frame001.bmp")), second);
  EXPECT_EQ(QJsonDocument::fromJson(testsupport::ReadFile(Path("out/delays.json")))
                .object()["frames"]
                .toArray()
                .size(),
            2);

  w.Version = 7;
  const ToolRun bad = Tool({"bpk", "info", Write("bad.bpk", w.Build())});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_TRUE(bad.err.contains("corrompido"));
}

TEST_F(QuarxTool, BmpOutputIsCheckedLikePng) {
  discwriter::BpkWriter w;
  w.AddFrame(Bmp(2, 2, qRgb(1, 0, 0)), 100);
  w.AddFrame(QByteArray(80, 'x'), 100);  // inflates fine but is no picture
  const QString bpk = Write("anim.bpk", w.Build());
  for (const QString out : {"f.bmp", "f.png"}) {
    EXPECT_EQ(Tool({"bpk", "frame", bpk, "1", Path(out)}).exitCode, 1) << out.toStdString();
    EXPECT_FALSE(QFile::exists(Path(out)));
  }
  const ToolRun all = Tool({"bpk", "extract", bpk, Path("out")});
  EXPECT_EQ(all.exitCode, 1);
  EXPECT_TRUE(all.err.contains("frame 1")) << all.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("out/frame001.bmp")));

  discwriter::BmrWriter bmr;
  bmr.Add("junk", QByteArray(40, 'j'));
  const QString container = Write("junk.bmr", bmr.Build());
  EXPECT_EQ(Tool({"bmr", "extract", container, "junk", Path("j.bmp")}).exitCode, 1);
  EXPECT_FALSE(QFile::exists(Path("j.bmp")));
}
