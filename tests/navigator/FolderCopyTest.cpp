// The folder copy on real temporary trees, with faults put in its way: after each run every
// copied file is compared with its source, bytes and modification time.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>

#include "navigator/FolderCopy.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "support/TestSupport.h"

using namespace platform;
using testsupport::ReadFile;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

fs::path P(const QString& host) {
  return fs::path(QFile::encodeName(host).toStdString());
}

QByteArray Pattern(qint64 size, int seed) {
  QByteArray bytes(size, Qt::Uninitialized);
  uint32_t x = uint32_t(seed) * 2654435761u + 7u;
  for (qint64 i = 0; i < size; ++i) {
    x = x * 1664525u + 1013904223u;
    bytes[i] = char(x >> 24);
  }
  return bytes;
}

// A source whose reads fail after a given number of bytes, as a bad sector would.
class FailingDevice : public QIODevice {
 public:
  FailingDevice(const QString& path, qint64 failAfter) : file_(path), failAfter_(failAfter) {}
  bool open(OpenMode mode) override {
    return file_.open(QIODevice::ReadOnly) && QIODevice::open(mode);
  }

 protected:
  qint64 readData(char* data, qint64 max) override {
    if (file_.pos() >= failAfter_) return -1;
    return file_.read(data, std::min(max, failAfter_ - file_.pos()));
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  QFile file_;
  qint64 failAfter_;
};

std::vector<int> Codes(ScriptedDialogService& dialogs) {
  std::vector<int> codes;
  for (const MessageBoxRequest& m : dialogs.Messages()) codes.push_back(m.code);
  return codes;
}

class FolderCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Drives();
    ASSERT_TRUE(tmp_.isValid());
    src_ = tmp_.filePath("disc/DEMOS/JOGO");
    dst_ = tmp_.filePath("c");
    ASSERT_TRUE(QDir().mkpath(dst_));
    Write("a.txt", Pattern(100, 1));
    Write("b_ro.exe", Pattern(9000, 2));
    QFile::setPermissions(src_ + "/b_ro.exe", QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    Write("m_big.bin", Pattern(5 * kCopyBlockBytes + 17, 3));
    Write("z.txt", Pattern(0, 4));
    Write(".oculto", Pattern(10, 5));
    Write("DADOS/c.dat", Pattern(kCopyBlockBytes, 6));
    Write("DADOS/FUNDO/d.dat", Pattern(3, 7));
    Write("EXTRA/e.dat", Pattern(20000, 8));
    Write(".escondida/h.dat", Pattern(10, 9));
    Drives().Clear();
    Drives().Map('D', tmp_.filePath("disc"), DriveType::CdRom, "QUARX9");
    Drives().Map('C', dst_, DriveType::Fixed);
  }
  void TearDown() override {
    Drives() = saved_;
    if (!mounted_.isEmpty()) ::umount2(QFile::encodeName(mounted_).constData(), MNT_DETACH);
  }

  // Source files carry an old, distinct time, so a copy that does not keep it shows.
  void Write(const QString& rel, const QByteArray& bytes) {
    ASSERT_TRUE(WriteFile(src_ + "/" + rel, bytes));
    const auto when = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400) +
                      std::chrono::nanoseconds(123456789 + bytes.size());
    fs::last_write_time(P(src_ + "/" + rel), when);
  }

  // Every visible source file equals its copy in bytes and time, except those named; no copy
  // of a hidden entry and no temporary file is anywhere under the destination.
  void ExpectCopied(const QString& destHost, const QStringList& notCopied = {}) {
    QDirIterator it(src_, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString file = it.next();
      const QString rel = QDir(src_).relativeFilePath(file);
      if (rel.startsWith('.') || rel.contains("/.")) continue;
      const QString copy = destHost + "/" + rel;
      if (notCopied.contains(rel)) continue;
      ASSERT_TRUE(QFileInfo::exists(copy)) << rel.toStdString();
      EXPECT_EQ(ReadFile(copy), ReadFile(file)) << rel.toStdString();
      EXPECT_EQ(fs::last_write_time(P(copy)), fs::last_write_time(P(file))) << rel.toStdString();
    }
    QDirIterator all(destHost, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                     QDirIterator::Subdirectories);
    while (all.hasNext()) {
      const QString entry = QDir(destHost).relativeFilePath(all.next());
      EXPECT_FALSE(entry.startsWith('.') || entry.contains("/.")) << entry.toStdString();
    }
  }

  TFolderCopy::Outcome Run(const QString& destination, TFolderCopy::Hooks hooks = {}) {
    TFolderCopy copy(std::move(hooks));
    copy_ = &copy;
    const auto outcome = copy.Run(destination, "D:\\DEMOS\\JOGO");
    copy_ = nullptr;
    return outcome;
  }

  DriveMap saved_;
  QTemporaryDir tmp_;
  QString src_;
  QString dst_;
  QString mounted_;
  TFolderCopy* copy_ = nullptr;
  ScopedScriptedDialogs dialogs_;
};

TEST(CopyPolicy, TheSevenAnswersAndTheFolderReset) {
  using A = TCopyPolicy::Action;
  TCopyPolicy p;
  EXPECT_EQ(p.Decide(false), A::Copy);
  EXPECT_EQ(p.Decide(true), A::Ask);
  auto answer = p.Apply(ocYes);
  EXPECT_TRUE(answer.copy);
  EXPECT_EQ(p.Decide(true), A::Ask);
  EXPECT_FALSE(p.Apply(ocNo).copy);
  EXPECT_FALSE(p.Apply(-1).copy);  // no answer is no
  EXPECT_FALSE(p.Apply(7).copy);

  // "Não para todos nesta pasta": new files still copied, asked again in the next folder.
  EXPECT_FALSE(p.Apply(ocNoFolder).copy);
  EXPECT_EQ(p.Decide(true), A::Skip);
  EXPECT_EQ(p.Decide(false), A::Copy);
  p.EnterFolder();
  EXPECT_EQ(p.Decide(true), A::Ask);

  EXPECT_TRUE(p.Apply(ocYesFolder).copy);
  EXPECT_EQ(p.Decide(true), A::Copy);
  p.EnterFolder();
  EXPECT_EQ(p.Decide(true), A::Ask);

  // "Até o fim" outlives the folder; the later "sim" wins over an earlier "não".
  EXPECT_FALSE(p.Apply(ocNoToEnd).copy);
  p.EnterFolder();
  EXPECT_EQ(p.Decide(true), A::Skip);
  EXPECT_TRUE(p.Apply(ocYesToEnd).copy);
  p.EnterFolder();
  EXPECT_EQ(p.Decide(true), A::Copy);
  p.StartCopy();
  EXPECT_EQ(p.Decide(true), A::Ask);

  answer = p.Apply(ocCancelCopy);
  EXPECT_FALSE(answer.copy);
  EXPECT_TRUE(answer.stop);
  EXPECT_EQ(OverwriteChoiceTexts().size(), 7);
}

TEST(CopyTexts, ThousandsAndFullPaths) {
  EXPECT_EQ(FormatThousands(0), "0");
  EXPECT_EQ(FormatThousands(999), "999");
  EXPECT_EQ(FormatThousands(1000), "1.000");
  EXPECT_EQ(FormatThousands(1234567), "1.234.567");
  const DriveMap saved = Drives();
  Drives().Clear();
  Drives().Map('C', QDir::currentPath(), DriveType::Fixed);
  EXPECT_EQ(ExpandToFullPath("JOGO"), "C:\\JOGO");
  EXPECT_EQ(ExpandToFullPath("a\\b"), "C:\\a\\b");
  Drives() = saved;
}

TEST_F(FolderCopyTest, ANewFolderReceivesEverythingVisibleWithItsTimes) {
  dialogs_->QueueMessageAnswer(MsgResult::Yes);  // 12: create it
  EXPECT_EQ(Run("C:\\jogos\\novo\\"), TFolderCopy::Outcome::Success);
  EXPECT_EQ(Codes(*dialogs_), std::vector<int>({12}));
  EXPECT_EQ(dialogs_->Messages()[0].argument, "C:\\jogos\\novo");
  ExpectCopied(dst_ + "/jogos/novo");
  // The copy of a read-only file is an ordinary file, as a new file is.
  EXPECT_TRUE(QFileInfo(dst_ + "/jogos/novo/b_ro.exe").isWritable());

  // Into an existing folder: asked first; no means nothing happens.
  dialogs_->Clear();
  dialogs_->QueueMessageAnswer(MsgResult::No);
  EXPECT_EQ(Run("C:\\jogos"), TFolderCopy::Outcome::Ended);
  EXPECT_EQ(Codes(*dialogs_), std::vector<int>({5}));
  EXPECT_FALSE(QFileInfo::exists(dst_ + "/jogos/a.txt"));

  // "Não" to creating it: nothing either.
  dialogs_->Clear();
  dialogs_->QueueMessageAnswer(MsgResult::No);
  EXPECT_EQ(Run("C:\\outro"), TFolderCopy::Outcome::Ended);
  EXPECT_FALSE(QFileInfo::exists(dst_ + "/outro"));
}

TEST_F(FolderCopyTest, WrongDestinationsAreRefusedBeforeAnythingIsWritten) {
  EXPECT_EQ(Run("jogos\\novo\\"), TFolderCopy::Outcome::Relative);
  {
    TFolderCopy copy({});
    EXPECT_EQ(copy.Run("novo", "D:\\DEMOS\\JOGO"), TFolderCopy::Outcome::Relative);
    EXPECT_EQ(copy.ExpandedDestination(), ExpandToFullPath("novo"));
  }
  EXPECT_TRUE(dialogs_->Messages().empty());

  // No such drive: the space cannot be read.
  EXPECT_EQ(Run("Q:\\novo"), TFolderCopy::Outcome::Ended);
  ASSERT_EQ(Codes(*dialogs_), std::vector<int>({37}));
  // Only the demo folder's own files count: 100 + 9,000 + 40,977 + 0 + 10 bytes.
  EXPECT_EQ(dialogs_->Messages()[0].argument, "49");

  // Into itself, also through another letter for the same folder.
  Drives().Map('W', tmp_.filePath("disc"), DriveType::Fixed);
  for (const char* inside : {"D:\\DEMOS\\JOGO\\copia", "W:\\demos\\jogo\\DADOS", "D:\\DEMOS\\JOGO"}) {
    dialogs_->Clear();
    EXPECT_EQ(Run(inside), TFolderCopy::Outcome::Ended);
    ASSERT_EQ(dialogs_->Messages().size(), 1u);
    EXPECT_EQ(dialogs_->Messages()[0].title, "Problemas");
  }
  EXPECT_FALSE(QFileInfo::exists(src_ + "/copia"));
  EXPECT_FALSE(QFileInfo::exists(src_ + "/DADOS/DADOS"));

  // A read-only folder.
  ASSERT_TRUE(QDir().mkpath(dst_ + "/fechada"));
  QFile::setPermissions(dst_ + "/fechada", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  dialogs_->Clear();
  EXPECT_EQ(Run("C:\\fechada"), TFolderCopy::Outcome::Ended);
  EXPECT_EQ(Codes(*dialogs_), std::vector<int>({7}));

  // A level that cannot be made: a file stands in its way.
  ASSERT_TRUE(WriteFile(dst_ + "/arquivo", "x"));
  dialogs_->Clear();
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  EXPECT_EQ(Run("C:\\arquivo\\novo"), TFolderCopy::Outcome::Ended);
  EXPECT_EQ(Codes(*dialogs_), std::vector<int>({12, 13}));
  EXPECT_EQ(dialogs_->Messages()[1].argument, "C:\\arquivo");
}

TEST_F(FolderCopyTest, AnswersApplyToTheFileTheFolderOrTheRestOfTheCopy) {
  // A first copy, then older contents at the destination for every file.
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  ASSERT_EQ(Run("C:\\j"), TFolderCopy::Outcome::Success);
  const QString j = dst_ + "/j";
  for (const QString rel : {"a.txt", "b_ro.exe", "m_big.bin", "z.txt", "DADOS/c.dat",
                            "DADOS/FUNDO/d.dat", "EXTRA/e.dat"})
    ASSERT_TRUE(WriteFile(j + "/" + rel, "velho"));
  QFile::setPermissions(j + "/b_ro.exe", QFileDevice::ReadOwner);
  QFile::remove(j + "/DADOS/c.dat");  // a new file in a folder answered "não para todos"

  // Root: a.txt yes, b_ro.exe (a read-only copy) yes, m_big.bin "não para todos nesta
  // pasta", which keeps z.txt too; DADOS has only the new c.dat; EXTRA is asked again: "sim
  // até o fim", which covers DADOS\FUNDO.
  QStringList asked;
  std::vector<int> answers = {ocYes, ocYes, ocNoFolder, ocYesToEnd};
  TFolderCopy::Hooks hooks;
  hooks.AskOverwrite = [&](const QString& destination, const QString& source) {
    asked << destination;
    EXPECT_EQ(platform::ExtractFileName(destination), platform::ExtractFileName(source));
    const int a = answers.front();
    answers.erase(answers.begin());
    return a;
  };
  dialogs_->Clear();
  dialogs_->QueueMessageAnswer(MsgResult::Yes);  // 5
  EXPECT_EQ(Run("C:\\j\\", hooks), TFolderCopy::Outcome::Success);
  // Folders go breadth first: EXTRA comes before DADOS\FUNDO.
  EXPECT_EQ(asked, QStringList({"C:\\j\\a.txt", "C:\\j\\b_ro.exe", "C:\\j\\m_big.bin",
                                "C:\\j\\EXTRA\\e.dat"}));
  EXPECT_EQ(Codes(*dialogs_), std::vector<int>({5}));
  EXPECT_EQ(ReadFile(j + "/m_big.bin"), "velho");
  EXPECT_EQ(ReadFile(j + "/z.txt"), "velho");
  ExpectCopied(j, {"m_big.bin", "z.txt"});

  // "Cancelar processo": nothing more is copied.
  ASSERT_TRUE(WriteFile(j + "/a.txt", "velho"));
  ASSERT_TRUE(WriteFile(j + "/b_ro.exe", "velho"));
  hooks.AskOverwrite = [](const QString&, const QString&) { return int(ocCancelCopy); };
  dialogs_->Clear();
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  EXPECT_EQ(Run("C:\\j", hooks), TFolderCopy::Outcome::Stopped);
  EXPECT_EQ(ReadFile(j + "/a.txt"), "velho");
  EXPECT_EQ(ReadFile(j + "/b_ro.exe"), "velho");
}

TEST_F(FolderCopyTest, AStopInsideALargeFileKeepsTheFileItWasToReplace) {
  ASSERT_TRUE(WriteFile(dst_ + "/j/m_big.bin", "o arquivo anterior"));
  int blocks = 0;
  std::vector<qint64> progress;
  TFolderCopy::Hooks hooks;
  hooks.AskOverwrite = [](const QString&, const QString&) { return int(ocYesToEnd); };
  hooks.Progress = [&](qint64 done, qint64 total) {
    EXPECT_LE(done, total);
    progress.push_back(done);
  };
  hooks.file.Written = [&](qint64) {
    // The third block of the large file: a click on the stop button.
    if (++blocks == 2 + 3) copy_->RequestStop();
  };
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  EXPECT_EQ(Run("C:\\j", hooks), TFolderCopy::Outcome::Stopped);
  EXPECT_EQ(ReadFile(dst_ + "/j/m_big.bin"), "o arquivo anterior");
  ExpectCopied(dst_ + "/j", {"m_big.bin", "z.txt", "DADOS/c.dat", "DADOS/FUNDO/d.dat",
                             "EXTRA/e.dat"});
  for (const char* rel : {"z.txt", "DADOS/c.dat", "EXTRA/e.dat"})
    EXPECT_FALSE(QFileInfo::exists(dst_ + "/j/" + rel)) << rel;
  EXPECT_FALSE(progress.empty());
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
}

TEST_F(FolderCopyTest, SourcesThatVanishOrFailMidwayFailOnlyThemselves) {
  Write("PIPE/antes.txt", Pattern(5, 10));
  ASSERT_EQ(::mkfifo(QFile::encodeName(src_ + "/PIPE/fila").constData(), 0644), 0);
  ASSERT_TRUE(WriteFile(dst_ + "/j/EXTRA/e.dat", "anterior"));
  TFolderCopy::Hooks hooks;
  hooks.AskOverwrite = [](const QString&, const QString&) { return int(ocYes); };
  hooks.file.PumpMessages = [&] {
    // Once b_ro.exe is copied, m_big.bin goes away before its turn.
    if (QFileInfo::exists(dst_ + "/j/b_ro.exe")) QFile::remove(src_ + "/m_big.bin");
  };
  hooks.file.OpenSource = [](const QString& host) -> std::unique_ptr<QIODevice> {
    // e.dat breaks after two blocks and some.
    auto device = host.endsWith("e.dat") ? std::unique_ptr<QIODevice>(new FailingDevice(host, 17000))
                                         : std::unique_ptr<QIODevice>(new QFile(host));
    if (!device->open(QIODevice::ReadOnly)) return nullptr;
    return device;
  };
  dialogs_->QueueMessageAnswer(MsgResult::Yes);
  EXPECT_EQ(Run("C:\\j", hooks), TFolderCopy::Outcome::Errors);
  const auto messages = dialogs_->Messages();
  ASSERT_EQ(Codes(*dialogs_), std::vector<int>({5, 15, 15, 15}));
  EXPECT_EQ(messages[1].argument, "D:\\DEMOS\\JOGO\\m_big.bin");
  EXPECT_EQ(messages[2].argument, "D:\\DEMOS\\JOGO\\EXTRA\\e.dat");
  EXPECT_EQ(messages[3].argument, "D:\\DEMOS\\JOGO\\PIPE\\fila");
  // The file a failed read was to replace is whole; nothing else is missing.
  EXPECT_EQ(ReadFile(dst_ + "/j/EXTRA/e.dat"), "anterior");
  QFile::remove(src_ + "/PIPE/fila");
  ExpectCopied(dst_ + "/j", {"EXTRA/e.dat"});
}

TEST_F(FolderCopyTest, AFullDiscFailsTheFileThatDoesNotFitAndKeepsTheOthers) {
  const QString small = tmp_.filePath("small");
  ASSERT_TRUE(QDir().mkpath(small));
  if (::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=256k") != 0)
    GTEST_SKIP() << "no tmpfs mount here";
  mounted_ = small;
  Drives().Map('F', small, DriveType::Fixed);
  // The demo folder's own files fit; a subfolder's do not (the space check looks at the top).
  QFile::remove(src_ + "/m_big.bin");
  Write("EXTRA/grande.bin", Pattern(600 * 1024, 11));
  dialogs_->QueueMessageAnswer(MsgResult::Yes);  // 12
  EXPECT_EQ(Run("F:\\j"), TFolderCopy::Outcome::Errors);
  const auto messages = dialogs_->Messages();
  ASSERT_EQ(Codes(*dialogs_), std::vector<int>({12, 35, 15}));
  EXPECT_EQ(messages[1].argument, "F:\\j\\EXTRA\\grande.bin");
  EXPECT_TRUE(messages[1].text.contains("drive F: ao copiar"));
  ExpectCopied(small + "/j", {"EXTRA/grande.bin"});
  EXPECT_FALSE(QFileInfo::exists(small + "/j/EXTRA/grande.bin"));
}

}  // namespace
