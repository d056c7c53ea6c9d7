// The sample disc as a disc image: the navigator started on the .iso shows what it shows on the
// folder, and leaves the demos packed until one is used.

#include <QDir>
#include <QDirIterator>

#include "MainWindowFixture.h"
#include "common/CommandLine.h"
#include "formats/DemoFile.h"
#include "platform/DiscImage.h"
#include "tools/discwriter/IsoWriter.h"

namespace {

QStringList Titles(const DemoCatalogue& catalogue) {
  QStringList titles;
  for (int c = 0; c < kCategoryCount; ++c)
    for (int i = 1; i <= catalogue.Counts[c]; ++i) titles << catalogue.Entry(c, i).Title;
  return titles;
}

int FilesBelow(const QString& folder) {
  int n = 0;
  QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    it.next();
    ++n;
  }
  return n;
}

}  // namespace

TEST_F(MainWindowTest, SampleDiscImageStartsAsTheFolderDoes) {
  QStringList onFolder;
  {
    const std::unique_ptr<TfmMain> fm = Start("800x600");
    ASSERT_TRUE(fm->Catalogue);
    onFolder = Titles(*fm->Catalogue);
  }
  ASSERT_FALSE(onFolder.isEmpty());
  const size_t messagesOnFolder = dialogs_->Messages().size();

  QTemporaryDir dir;
  const QString iso = dir.path() + "/quarx9.iso";
  QString error;
  ASSERT_TRUE(discwriter::WriteIsoImage(disc_, iso, &error)) << error.toStdString();
  const CommandLine line = ParseCommandLine({"quarx32", "--disc", iso}, ProgramKind::Navigator);
  ASSERT_TRUE(ConfigureDrives(line, &error, dir.path() + "/none.ini")) << error.toStdString();
  const QString cache = platform::Drives().Find('D')->hostRoot;
  NavigatorOptions options;
  options.Environment = EnvironmentOptionsOf(line);
  ASSERT_TRUE(ParseScreenSpec("800x600", options.Environment));
  options.Windowed = true;
  options.Clock = &clock_;
  {
    const std::unique_ptr<TfmMain> fm = std::make_unique<TfmMain>(options);
    ASSERT_TRUE(fm->Catalogue);
    EXPECT_EQ(Titles(*fm->Catalogue), onFolder);
    EXPECT_FALSE(fm->BackgroundBitmap.IsEmpty());
    EXPECT_EQ(fm->BackgroundBitmap.Width(), 800);
    // No message the folder did not give (the second start is no first run).
    EXPECT_LE(dialogs_->Messages().size(), messagesOnFolder);
    // The demos stay in the image until one is run, copied or shown.
    EXPECT_TRUE(QDir(cache + "/Demos/JOGOS").exists());
    EXPECT_EQ(FilesBelow(cache + "/Demos"), 0);
    EXPECT_TRUE(platform::Drives().PrepareTree("D:\\DEMOS\\TRAILERS\\"));
    EXPECT_EQ(FilesBelow(cache + "/Demos"), FilesBelow(disc_ + "/Demos/TRAILERS"));
  }
  QDir(cache).removeRecursively();
}
