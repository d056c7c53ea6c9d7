// The disc's description files read back with the navigator's own reader: every category as
// intended, every picture decodable, every command pointing at a program on the disc.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "MkdiscSupport.h"
#include "formats/DemoFile.h"

namespace {

QString DemoData() {
  return mkdisctest::Disc() + "/SHAREDIR/DemoData";
}

DemoCatalogue Load(int colourDepth) {
  DemoCatalogue catalogue;
  const QStringList names = QDir(DemoData()).entryList({"*.dem", "*.DEM"}, QDir::Files);
  LoadCatalogueFrom(
      catalogue, names,
      [](const QString& name) -> std::unique_ptr<QIODevice> {
        auto file = std::make_unique<QFile>(DemoData() + "/" + name);
        if (!file->open(QIODevice::ReadOnly)) return nullptr;
        return file;
      },
      colourDepth);
  return catalogue;
}

const DemoEntry* Find(const DemoCatalogue& c, const QString& demFile, int* category = nullptr,
                      int* index = nullptr) {
  for (int cat = 0; cat < kCategoryCount; ++cat)
    for (int i = 1; i <= c.Counts[cat]; ++i)
      if (c.Entry(cat, i).DemFile == demFile) {
        if (category) *category = cat;
        if (index) *index = i;
        return &c.Entry(cat, i);
      }
  return nullptr;
}

TEST(MkdiscCatalogue, CategoriesHoldTheIntendedDemosInCaseInsensitiveOrder) {
  ASSERT_TRUE(QDir(DemoData()).exists()) << "build the sample_disc target first";
  const DemoCatalogue c = Load(24);
  EXPECT_EQ(c.Counts[dcGames], kMaxDemosPerCategory);
  EXPECT_EQ(c.Counts[dcApplications], 4);
  EXPECT_EQ(c.Counts[dcInternet], 3);
  EXPECT_EQ(c.Counts[dcScreenSavers], 0);
  EXPECT_EQ(c.Counts[dcUtilities], 3);
  // Byte order would put the capitals first.
  EXPECT_EQ(c.Entry(dcGames, 1).DemFile, "Asteroid.dem");
  EXPECT_EQ(c.Entry(dcGames, 2).DemFile, "bolha.dem");
  EXPECT_EQ(c.Entry(dcGames, 3).DemFile, "CORRIDA.DEM");
  EXPECT_EQ(c.Entry(dcGames, 19).DemFile, "xadrez.dem");
  for (int i = 2; i <= c.Counts[dcGames]; ++i)
    EXPECT_LT(
        c.Entry(dcGames, i - 1).DemFile.compare(c.Entry(dcGames, i).DemFile, Qt::CaseInsensitive),
        0);
}

TEST(MkdiscCatalogue, EntriesCarryTheirTextsCommandsAndFlags) {
  const DemoCatalogue c = Load(24);
  const DemoEntry* dragao = Find(c, "Dragao.dem");
  ASSERT_NE(dragao, nullptr);
  EXPECT_TRUE(dragao->Title.startsWith(QString::fromUtf8("O Dragão de Cristal")));
  EXPECT_GT(dragao->Title.size(), 60);  // wraps in the title block
  EXPECT_GE(dragao->Description.count("\r\n"), 3);
  EXPECT_EQ(dragao->RunsFromCD, 0);
  EXPECT_EQ(dragao->MainCommand, "Jogos\\Dragao\\SETUP.EXE");
  EXPECT_EQ(dragao->HowTo, "//exC:\\Jogos\\Dragao\\");

  const DemoEntry* asteroid = Find(c, "Asteroid.dem");
  ASSERT_NE(asteroid, nullptr);
  EXPECT_EQ(asteroid->MainCommand, "Jogos\\Asteroid\\SETUP.EXE");  // the "//31" part dropped
  EXPECT_EQ(asteroid->Subtitle, QString::fromUtf8("Ação espacial em 3D"));
  EXPECT_EQ(Find(c, "labirinto.dem")->MainCommand, "Jogos\\Labirin\\SETUP.EXE");
  EXPECT_EQ(Find(c, "bolha.dem")->MainCommand, "Jogos\\Bolha\\BOLHA.EXE");
  EXPECT_EQ(Find(c, "bolha.dem")->DirectCommand, "none");
  EXPECT_TRUE(Find(c, "bolha.dem")->HowTo.isEmpty());  // a marker alone
  EXPECT_EQ(Find(c, "NINJA.DEM")->DirectCommand, "None");

  const DemoEntry* mecha = Find(c, "Mecha.dem");
  ASSERT_NE(mecha, nullptr);
  EXPECT_EQ(mecha->RootRelative, 1);
  EXPECT_EQ(mecha->MustClose, 1);
  EXPECT_EQ(Find(c, "CORRIDA.DEM")->DirectCommand,
            "Jogos\\Corrida\\CORRIDA.EXE /:\\Demos\\Jogos\\Corrida\\DADOS");

  // Every marker occurs, and every demo's folder exists where its base says.
  QSet<QString> markers;
  for (int cat = 0; cat < kCategoryCount; ++cat)
    for (int i = 1; i <= c.Counts[cat]; ++i) {
      const DemoEntry& e = c.Entry(cat, i);
      markers.insert(e.HowTo.left(4).toLower());
      const QString base = e.RootRelative ? "D:\\" : "D:\\Demos\\";
      EXPECT_FALSE(mkdisctest::OnDisc(base + e.Folder).isEmpty()) << e.Folder.toStdString();
    }
  EXPECT_TRUE(markers.contains("//mi") && markers.contains("//ex") && markers.contains("//dk") &&
              markers.contains(""));
}

TEST(MkdiscCatalogue, PictureSetsFollowTheColourDepth) {
  const DemoCatalogue deep = Load(24), palette = Load(8);
  int cat = 0, index = 0;
  // Fourteen true-colour and twelve palette screenshots: both are cut to ten.
  ASSERT_NE(Find(deep, "CORRIDA.DEM", &cat, &index), nullptr);
  EXPECT_EQ(deep.Entry(cat, index).ImageCount, kMaxImagesPerDemo);
  EXPECT_EQ(palette.Entry(cat, index).ImageCount, kMaxImagesPerDemo);
  EXPECT_NE(deep.Entry(cat, index).Logo, palette.Entry(cat, index).Logo);

  EXPECT_EQ(Find(deep, "bolha.dem")->ImageCount, 1);
  EXPECT_EQ(Find(deep, "Futebol98.dem")->ImageCount, 0);
  EXPECT_NE(Find(deep, "Futebol98.dem")->Logo.Size, 0);
  EXPECT_EQ(Find(deep, "esgrima.dem")->Logo.Size, 0);  // no logo flag
  EXPECT_EQ(Find(deep, "esgrima.dem")->ImageCount, 2);
  EXPECT_EQ(Find(deep, "helice.dem")->Logo.Size, 0);  // flag set, no pictures
  EXPECT_EQ(Find(deep, "helice.dem")->ImageCount, 0);
}

TEST(MkdiscCatalogue, EveryPictureDecodesAtBothDepths) {
  for (int depth : {8, 24}) {
    const DemoCatalogue c = Load(depth);
    for (int cat = 0; cat < kCategoryCount; ++cat)
      for (int i = 1; i <= c.Counts[cat]; ++i) {
        const DemoEntry& e = c.Entry(cat, i);
        QFile file(DemoData() + "/" + e.DemFile);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        if (e.Logo.Size != 0) {
          const auto logo = DecodePicture(file, e.Logo, depth);
          ASSERT_TRUE(logo.has_value()) << e.DemFile.toStdString();
          EXPECT_EQ(logo->Width() % 2, 0);
          EXPECT_EQ(logo->HasPalette(), depth == 8);
          // The mask half is black and white only; where it is white the image is black.
          const int half = logo->Width() / 2;
          for (int y = 0; y < logo->Height(); y += 7)
            for (int x = 0; x < half; x += 5) {
              const QRgb m = logo->Pixel(half + x, y) & 0xffffff;
              ASSERT_TRUE(m == 0 || m == 0xffffff);
              if (m == 0xffffff) {
                ASSERT_EQ(logo->Pixel(x, y) & 0xffffff, 0u);
              }
            }
        }
        for (int k = 1; k <= e.ImageCount; ++k) {
          const auto shot = DecodePicture(file, c.Image(cat, i, k), depth);
          ASSERT_TRUE(shot.has_value()) << e.DemFile.toStdString() << " picture " << k;
          EXPECT_EQ(shot->HasPalette(), depth == 8);
        }
      }
  }
}

TEST(MkdiscCatalogue, EveryCommandThatCanRunNamesAProgramOnTheDisc) {
  const DemoCatalogue c = Load(24);
  int checked = 0;
  for (int cat = 0; cat < kCategoryCount; ++cat)
    for (int i = 1; i <= c.Counts[cat]; ++i) {
      const DemoEntry& e = c.Entry(cat, i);
      QStringList commands{e.MainCommand};
      // "None" in capitals is deliberately not the marker, and names no program.
      if (e.RunsFromCD != 0 && e.DirectCommand != "none" && e.DirectCommand != "None")
        commands << e.DirectCommand;
      for (const QString& command : commands) {
        const QString base = e.RootRelative ? "D:\\" : "D:\\Demos\\";
        const bool hasParameters = command.contains('/');
        const QString program = hasParameters ? command.section(' ', 0, 0) : command;
        EXPECT_FALSE(mkdisctest::OnDisc(base + program).isEmpty()) << command.toStdString();
        if (hasParameters && command.contains(":\\")) {
          const QString parameters = "D" + command.mid(command.indexOf('/') + 1);
          EXPECT_FALSE(mkdisctest::OnDisc(parameters).isEmpty()) << parameters.toStdString();
        }
        ++checked;
      }
    }
  EXPECT_GT(checked, 40);
}

}  // namespace
