// Searching, inspecting and changing files through the process's drive map, on a real folder
// tree.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/Drives.h"
#include "support/TestSupport.h"

using namespace platform;
using testsupport::WriteFile;

namespace {

QStringList Names(const std::vector<FindEntry>& entries) {
  QStringList names;
  for (const FindEntry& e : entries) names << e.name;
  return names;
}

const FindEntry* Named(const std::vector<FindEntry>& entries, const QString& name) {
  for (const FindEntry& e : entries)
    if (e.name == name) return &e;
  return nullptr;
}

class DriveFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Drives();
    ASSERT_TRUE(tmp_.isValid());
    disc_ = tmp_.filePath("disc");
    work_ = tmp_.filePath("work");
    const QString data = disc_ + "/SHAREDIR/DemoData/";
    ASSERT_TRUE(WriteFile(data + "GAMES.DEM", "12345"));
    ASSERT_TRUE(WriteFile(data + "apps.dem", "1"));
    ASSERT_TRUE(WriteFile(data + "Net.Dem", ""));
    ASSERT_TRUE(WriteFile(data + "readme.txt", "r"));
    ASSERT_TRUE(WriteFile(data + "NOEXT", "n"));
    ASSERT_TRUE(WriteFile(data + ".hidden.dem", "h"));
    ASSERT_TRUE(WriteFile(data + "RO.DEM", "ro"));
    ASSERT_TRUE(QFile::setPermissions(data + "RO.DEM", QFile::ReadOwner | QFile::ReadUser));
    ASSERT_TRUE(QDir().mkpath(data + "Old.dem.d"));
    ASSERT_TRUE(QFile::link(data + "missing", data + "Broken.dem"));
    ASSERT_TRUE(QDir().mkpath(work_));
    Drives().Clear();
    Drives().Map('D', disc_, DriveType::CdRom, "QUARX9");
    Drives().Map('E', work_, DriveType::Fixed);
    Drives().Map('N', tmp_.filePath("not-there"), DriveType::Removable);
  }
  void TearDown() override { Drives() = saved_; }

  DriveMap saved_;
  QTemporaryDir tmp_;
  QString disc_, work_;
};

TEST_F(DriveFilesTest, WildcardsMatchCaseInsensitivelyInNameOrder) {
  EXPECT_EQ(Names(FindFiles("d:\\sharedir\\demodata\\*.dem", 0)),
            (QStringList{"apps.dem", "GAMES.DEM", "Net.Dem", "RO.DEM"}));
  EXPECT_EQ(Names(FindFiles("D:\\SHAREDIR\\DemoData\\???.DEM", 0)), (QStringList{"Net.Dem"}));
  EXPECT_EQ(Names(FindFiles("D:\\SHAREDIR\\DemoData\\*s.*", 0)),
            (QStringList{"apps.dem", "GAMES.DEM"}));
  // "*.*" takes names without a dot too; "*." only those.
  EXPECT_EQ(FindFiles("D:\\SHAREDIR\\DemoData\\*.*", 0).size(), 6u);
  EXPECT_EQ(Names(FindFiles("D:\\SHAREDIR\\DemoData\\*.", 0)), QStringList{"NOEXT"});
  // No wildcard: the one name, whatever its case.
  EXPECT_EQ(Names(FindFiles("D:\\SHAREDIR\\DemoData\\games.dem", 0)), QStringList{"GAMES.DEM"});
  EXPECT_TRUE(FindFiles("D:\\SHAREDIR\\DemoData\\", faAnyFile).empty());
  EXPECT_TRUE(FindFiles("D:\\SHAREDIR\\Nothing\\*.*", faAnyFile).empty());
  EXPECT_TRUE(FindFiles("Q:\\*.*", faAnyFile).empty());
  EXPECT_TRUE(FindFiles("D:\\..\\*.*", faAnyFile).empty());
  EXPECT_TRUE(FindFiles("D:\\SHAREDIR\\DemoData\\a<*", faAnyFile).empty());
}

TEST_F(DriveFilesTest, AnyEntryAgreesWithTheSearch) {
  for (const char* pattern : {"D:\\SHAREDIR\\DemoData\\*.*", "D:\\SHAREDIR\\DemoData\\*.zip",
                              "d:\\sharedir\\demodata\\*.dem", "D:\\SHAREDIR\\*.*",
                              "D:\\SHAREDIR\\Nothing\\*.*", "Q:\\*.*", "E:\\*.*"})
    for (uint32_t attrs : {0u, uint32_t(faDirectory), uint32_t(faHidden), uint32_t(faAnyFile)})
      EXPECT_EQ(AnyEntry(pattern, attrs), !FindFiles(pattern, attrs).empty()) << pattern << attrs;
  // One listing filtered by MatchesPattern finds what a search with the pattern finds.
  const auto all = FindFiles("D:\\SHAREDIR\\DemoData\\*.*", faAnyFile);
  for (const char* pattern : {"*.dem", "???.DEM", "*s.*", "*.", "games.dem", "*.*", "x*"}) {
    QStringList matched;
    for (const FindEntry& e : all)
      if (MatchesPattern(pattern, e.name)) matched << e.name;
    EXPECT_EQ(matched, Names(FindFiles(QString("D:\\SHAREDIR\\DemoData\\") + pattern, faAnyFile)))
        << pattern;
  }
}

TEST_F(DriveFilesTest, AttributeFiltersFollowTheWindowsSearch) {
  const QString all = "D:\\SHAREDIR\\DemoData\\*.*";
  const auto plain = FindFiles(all, 0);
  EXPECT_FALSE(Named(plain, ".hidden.dem"));
  EXPECT_FALSE(Named(plain, "Old.dem.d"));
  EXPECT_FALSE(Named(plain, "Broken.dem"));  // a link to nothing cannot be opened
  ASSERT_TRUE(Named(plain, "RO.DEM"));       // read-only never excludes
  EXPECT_EQ(Named(plain, "RO.DEM")->attributes, uint32_t(faReadOnly | faArchive));
  EXPECT_EQ(Named(plain, "GAMES.DEM")->attributes, uint32_t(faArchive));
  EXPECT_EQ(Named(plain, "GAMES.DEM")->size, 5);
  EXPECT_TRUE(Named(plain, "GAMES.DEM")->modified.isValid());

  const auto hidden = FindFiles(all, faHidden);
  ASSERT_TRUE(Named(hidden, ".hidden.dem"));
  EXPECT_EQ(Named(hidden, ".hidden.dem")->attributes, uint32_t(faHidden | faArchive));
  EXPECT_FALSE(Named(hidden, "Old.dem.d"));

  const auto dirs = FindFiles(all, faDirectory);
  ASSERT_TRUE(Named(dirs, "Old.dem.d"));
  EXPECT_EQ(Named(dirs, "Old.dem.d")->attributes & faDirectory, uint32_t(faDirectory));
  EXPECT_EQ(Named(dirs, "Old.dem.d")->size, 0);
  EXPECT_EQ(FindFiles(all, faAnyFile).size(), plain.size() + 2);

  const auto label = FindFiles("d:\\*.*", faVolumeID);
  ASSERT_EQ(label.size(), 1u);
  EXPECT_EQ(label[0].name, "QUARX9");
  EXPECT_EQ(label[0].attributes, uint32_t(faVolumeID));
}

TEST_F(DriveFilesTest, InspectsFilesThatAreMissingOrUnreadable) {
  EXPECT_TRUE(FileExists("D:\\sharedir\\demodata\\Games.Dem"));
  EXPECT_FALSE(FileExists("D:\\SHAREDIR\\DemoData"));  // a folder is not a file
  EXPECT_TRUE(DirectoryExists("d:\\SHAREDIR\\demodata\\"));
  EXPECT_TRUE(DirectoryExists("D:\\"));
  EXPECT_FALSE(FileExists("D:\\SHAREDIR\\DemoData\\none.dem"));
  EXPECT_FALSE(FileInfo("D:\\SHAREDIR\\DemoData\\none.dem"));
  EXPECT_FALSE(FileExists("D:\\SHAREDIR\\DemoData\\Broken.dem"));
  EXPECT_FALSE(FileInfo("D:\\SHAREDIR\\DemoData\\broken.dem"));
  EXPECT_FALSE(FileExists("Q:\\x"));
  EXPECT_FALSE(DirectoryExists("D:\\..\\work"));

  const auto info = FileInfo("D:\\SHAREDIR\\DEMODATA\\games.dem");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->name, "GAMES.DEM");
  EXPECT_EQ(info->size, 5);
  EXPECT_EQ(FileInfo("D:\\")->attributes & faDirectory, uint32_t(faDirectory));

  // A file the user may not read is still there; only its readers fail.
  const QString secret = work_ + "/secret.bin";
  ASSERT_TRUE(WriteFile(secret, "x"));
  ASSERT_TRUE(QFile::setPermissions(secret, {}));
  EXPECT_TRUE(FileExists("E:\\SECRET.BIN"));
  EXPECT_EQ(FileInfo("E:\\secret.bin")->attributes & faReadOnly, uint32_t(faReadOnly));
  if (geteuid() != 0) {
    QFile f(*Drives().ToHost("E:\\SECRET.BIN"));
    EXPECT_FALSE(f.open(QIODevice::ReadOnly));
  }
}

TEST_F(DriveFilesTest, CreatesAndRemovesFolders) {
  EXPECT_TRUE(CreateDir("E:\\Jogos"));
  EXPECT_TRUE(QFileInfo(work_ + "/Jogos").isDir());
  EXPECT_FALSE(CreateDir("E:\\JOGOS"));  // exists already, in another case
  EXPECT_FALSE(CreateDir("E:\\a\\b"));   // one level only
  EXPECT_TRUE(ForceDirectories("E:\\jogos\\Demo\\Sub"));
  EXPECT_TRUE(QFileInfo(work_ + "/Jogos/Demo/Sub").isDir());  // the existing case is kept
  EXPECT_TRUE(ForceDirectories("E:\\JOGOS\\demo"));
  EXPECT_FALSE(ForceDirectories("E:\\x\\bad|name"));
  EXPECT_FALSE(QFileInfo(work_ + "/x").exists());
  EXPECT_FALSE(CreateDir("E:\\..\\escaped"));
  EXPECT_FALSE(QFileInfo(tmp_.filePath("escaped")).exists());
  EXPECT_FALSE(CreateDir("Q:\\x"));
  EXPECT_FALSE(CreateDir("E:\\"));

  EXPECT_FALSE(RemoveDir("E:\\Jogos\\Demo"));  // not empty
  EXPECT_TRUE(RemoveDir("e:\\jogos\\demo\\sub"));
  EXPECT_FALSE(QFileInfo(work_ + "/Jogos/Demo/Sub").exists());
  EXPECT_FALSE(RemoveDir("E:\\"));
  EXPECT_TRUE(QFileInfo(work_).isDir());
}

TEST_F(DriveFilesTest, DeletesOnlyWhatIsNotReadOnly) {
  ASSERT_TRUE(WriteFile(work_ + "/Keep.TXT", "k"));
  ASSERT_TRUE(QFile::setPermissions(work_ + "/Keep.TXT", QFile::ReadOwner));
  EXPECT_FALSE(DeleteFileW("E:\\keep.txt"));
  EXPECT_TRUE(QFileInfo::exists(work_ + "/Keep.TXT"));
  EXPECT_TRUE(ClearReadOnly("E:\\KEEP.txt"));
  EXPECT_EQ(FileInfo("E:\\keep.txt")->attributes & faReadOnly, 0u);
  EXPECT_TRUE(ClearReadOnly("E:\\keep.txt"));  // nothing left to clear
  EXPECT_TRUE(DeleteFileW("E:\\keep.txt"));
  EXPECT_FALSE(QFileInfo::exists(work_ + "/Keep.TXT"));
  EXPECT_FALSE(DeleteFileW("E:\\keep.txt"));
  EXPECT_FALSE(ClearReadOnly("E:\\keep.txt"));
  ASSERT_TRUE(QDir().mkpath(work_ + "/dir"));
  EXPECT_FALSE(DeleteFileW("E:\\dir"));
  EXPECT_FALSE(DeleteFileW("E:\\..\\work\\dir"));
}

TEST_F(DriveFilesTest, DriveTypesSpaceAndLabels) {
  EXPECT_EQ(GetDriveType('d'), DriveType::CdRom);
  EXPECT_EQ(GetDriveType('E'), DriveType::Fixed);
  EXPECT_EQ(GetDriveType('N'), DriveType::Absent);  // its folder is missing
  EXPECT_EQ(GetDriveType('Q'), DriveType::Absent);
  EXPECT_GT(DiskFree('E'), 0);
  EXPECT_EQ(DiskFree('N'), -1);
  EXPECT_EQ(DiskFree('Q'), -1);
  EXPECT_EQ(VolumeLabel('D'), "QUARX9");
  EXPECT_EQ(VolumeLabel('E'), "work");
  EXPECT_EQ(VolumeLabel('Q'), "");
  EXPECT_TRUE(FindFiles("Q:\\", faVolumeID).empty());
}

TEST(PathText, ExtractHelpersFollowTheWindowsRules) {
  EXPECT_EQ(ExtractFilePath("D:\\DEMOS\\X.EXE"), "D:\\DEMOS\\");
  EXPECT_EQ(ExtractFilePath("D:X.EXE"), "D:");
  EXPECT_EQ(ExtractFilePath("X.EXE"), "");
  EXPECT_EQ(ExtractFileName("D:\\DEMOS\\X.EXE"), "X.EXE");
  EXPECT_EQ(ExtractFileName("D:\\DEMOS\\"), "");
  EXPECT_EQ(ExtractFileDir("D:\\DEMOS\\X.EXE"), "D:\\DEMOS");
  EXPECT_EQ(ExtractFileDir("D:\\X.EXE"), "D:\\");
  EXPECT_EQ(ExtractFileDir("D:\\DEMOS\\"), "D:\\DEMOS");
  EXPECT_EQ(ExtractFileDir("D:"), "D:");
  EXPECT_EQ(ExtractFileDrive("d:\\x"), "d:");
  EXPECT_EQ(ExtractFileDrive("\\x"), "");
  EXPECT_EQ(ExtractFileExt("D:\\A.B\\SETUP.exe"), ".exe");
  EXPECT_EQ(ExtractFileExt("D:\\A.B\\SETUP"), "");
  EXPECT_EQ(ExtractFileExt("D:\\A.B\\SETUP."), ".");
  EXPECT_EQ(IncludeTrailingBackslash("D:"), "D:\\");
  EXPECT_EQ(IncludeTrailingBackslash("D:\\"), "D:\\");
  EXPECT_EQ(ExcludeTrailingBackslash("D:\\X\\"), "D:\\X");
  EXPECT_EQ(ExcludeTrailingBackslash("D:\\X"), "D:\\X");
}

}  // namespace
