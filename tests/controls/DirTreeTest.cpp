// The drive and folder tree over a drive map of real temporary folders.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "controls/DirTree.h"
#include "platform/Drives.h"
#include "support/TestSupport.h"

using namespace platform;
using testsupport::WriteFile;

namespace {

QStringList Captions(const QTreeWidgetItem* node) {
  QStringList out;
  for (int i = 0; i < node->childCount(); ++i) out << node->child(i)->text(0);
  return out;
}

QTreeWidgetItem* Child(QTreeWidgetItem* node, const QString& caption) {
  for (int i = 0; node && i < node->childCount(); ++i)
    if (node->child(i)->text(0) == caption) return node->child(i);
  return nullptr;
}

bool OnlyPlaceholder(const QTreeWidgetItem* node) {
  return node->childCount() == 1 && TFullTree::Kind(node->child(0)) == TreeNodeKind::Placeholder;
}

class DirTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Drives();
    ASSERT_TRUE(tmp_.isValid());
    const QString c = tmp_.filePath("c");
    const QString d = tmp_.filePath("d");
    ASSERT_TRUE(WriteFile(c + "/jogos/demo/setup.exe", "x"));
    ASSERT_TRUE(WriteFile(c + "/jogos/leia.txt", "x"));
    ASSERT_TRUE(WriteFile(c + "/Alpha/b.JPG", "x"));
    ASSERT_TRUE(WriteFile(c + "/Alpha/a.bmp", "x"));
    ASSERT_TRUE(WriteFile(c + "/Alpha/c.bmp", "x"));
    ASSERT_TRUE(WriteFile(c + "/Alpha/.hidden.bmp", "x"));
    ASSERT_TRUE(WriteFile(c + "/textos/nota.txt", "x"));
    ASSERT_TRUE(QDir().mkpath(c + "/vazia"));
    ASSERT_TRUE(QDir().mkpath(c + "/.oculta/dentro"));
    ASSERT_TRUE(WriteFile(c + "/raiz.txt", "x"));
    ASSERT_TRUE(WriteFile(d + "/DEMOS/X.BMP", "x"));
    ASSERT_TRUE(WriteFile(d + "/DEMOS/Y.BMP", "x"));
    ASSERT_TRUE(QDir().mkpath(tmp_.filePath("e")));
    Drives().Clear();
    Drives().Map('A', tmp_.filePath("floppy-not-there"), DriveType::Removable);
    Drives().Map('C', c, DriveType::Fixed, "Sistema");
    Drives().Map('D', d, DriveType::CdRom, "QUARX9");
    Drives().Map('E', tmp_.filePath("e"), DriveType::Removable, "Pen");
    Drives().Map('Q', tmp_.filePath("q-not-there"), DriveType::Fixed);
  }
  void TearDown() override { Drives() = saved_; }

  QString Host(const QString& rel) { return tmp_.filePath(rel); }

  DriveMap saved_;
  QTemporaryDir tmp_;
};

TEST_F(DirTreeTest, BuildsTheComputerWithItsDrivesAndReadsOnlyFixedOnes) {
  TFullTree tree;
  ASSERT_EQ(tree.topLevelItemCount(), 1);
  QTreeWidgetItem* computer = tree.topLevelItem(0);
  EXPECT_EQ(computer->text(0), "Computador");
  EXPECT_TRUE(computer->isExpanded());
  // A drive without its root folder is not shown, a removable one is, unread.
  EXPECT_EQ(Captions(computer), QStringList({"a: []", "c: [sistema]", "d: [quarx9]", "e: []"}));
  EXPECT_EQ(DriveCaption('C', "Sistema"), "C: [SISTEMA]");
  EXPECT_EQ(TFullTree::Value(computer->child(0)), 1u);
  EXPECT_EQ(TFullTree::Value(computer->child(1)), 0u);
  EXPECT_EQ(TFullTree::Value(computer->child(2)), 1u);
  // The fixed drive's first level is in the tree, folders first; media drives wait.
  EXPECT_EQ(Captions(computer->child(1)),
            QStringList({"Alpha", "jogos", "textos", "vazia", "raiz.txt"}));
  EXPECT_TRUE(OnlyPlaceholder(computer->child(0)));
  EXPECT_TRUE(OnlyPlaceholder(computer->child(2)));
  EXPECT_TRUE(OnlyPlaceholder(computer->child(3)));
  // Folders holding something get a button; an empty one gets none.
  QTreeWidgetItem* c = computer->child(1);
  EXPECT_TRUE(OnlyPlaceholder(Child(c, "jogos")));
  EXPECT_EQ(Child(c, "vazia")->childCount(), 0);
  EXPECT_EQ(Child(c, "raiz.txt")->childCount(), 0);
  EXPECT_EQ(TFullTree::Kind(Child(c, "raiz.txt")), TreeNodeKind::File);
  EXPECT_EQ(TFullTree::Value(Child(c, "raiz.txt")) & faArchive, uint32_t(faArchive));
}

// A name wider than the tree is shown whole and the tree scrolls sideways to it.
TEST_F(DirTreeTest, LongNamesAreShownWholeWithASidewaysScrollBar) {
  const QString name = "um_nome_de_arquivo_bem_comprido_demais_para_a_arvore.txt";
  ASSERT_TRUE(WriteFile(Host("c/" + name), "x"));
  TFullTree tree;
  tree.resize(120, 200);
  tree.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
  QTreeWidgetItem* file = Child(tree.topLevelItem(0)->child(1), name);
  ASSERT_NE(file, nullptr);
  tree.topLevelItem(0)->child(1)->setExpanded(true);
  QCoreApplication::processEvents();  // the column is measured once the expansion is handled
  const QRect text = tree.visualItemRect(file);
  EXPECT_GE(tree.columnWidth(0), text.x() + tree.fontMetrics().horizontalAdvance(name));
  EXPECT_GT(tree.horizontalScrollBar()->maximum(), 0);
}

TEST_F(DirTreeTest, MaskAndAttributeFiltersDecideWhatALevelHolds) {
  TreeListOptions options;
  auto names = [](const std::vector<TreeListEntry>& entries) {
    QStringList out;
    for (const TreeListEntry& e : entries) out << e.name;
    return out;
  };
  options.mask = "*.bmp;*.jpg";
  // Found pattern by pattern, then sorted together.
  EXPECT_EQ(names(ListTreeFolder("C:\\Alpha", options)), QStringList({"a.bmp", "b.JPG", "c.bmp"}));
  options.fileType = TFileTypes{ftDirectory, ftNormal, ftHidden};
  EXPECT_EQ(names(ListTreeFolder("C:\\Alpha\\", options)),
            QStringList({".hidden.bmp", "a.bmp", "b.JPG", "c.bmp"}));
  EXPECT_EQ(names(ListTreeFolder("C:\\", options)).first(), ".oculta");
  // Without ftNormal only files carrying a searched attribute are listed.
  QFile::setPermissions(Host("c/Alpha/c.bmp"), QFileDevice::ReadOwner);
  options.fileType = TFileTypes{ftDirectory, ftReadOnly};
  EXPECT_EQ(names(ListTreeFolder("C:\\Alpha\\", options)), QStringList({"c.bmp"}));
  // Without ftDirectory no folders; without ReadFiles no files; overlapping patterns list a
  // file once.
  options.fileType = TFileTypes{ftNormal};
  options.mask = "*.*;*.txt";
  EXPECT_EQ(names(ListTreeFolder("C:\\", options)), QStringList({"raiz.txt"}));
  options.readFiles = false;
  EXPECT_TRUE(ListTreeFolder("C:\\", options).empty());
  EXPECT_TRUE(ListTreeFolder("C:\\nada\\", TreeListOptions{}).empty());

  // A folder with only files the mask refuses still has its button; opening it shows nothing.
  TFullTree tree;
  tree.SetMask("*.bmp");
  QTreeWidgetItem* textos = Child(tree.topLevelItem(0)->child(1), "textos");
  ASSERT_NE(textos, nullptr);
  EXPECT_TRUE(OnlyPlaceholder(textos));
  tree.SelectPath("c:\\textos\\");
  EXPECT_EQ(textos->childCount(), 0);
  EXPECT_EQ(tree.SelectedPath(), "c:\\textos\\");
}

TEST_F(DirTreeTest, CollapsingDropsALevelAndOpeningReadsTheDiscAgain) {
  TFullTree tree;
  tree.SelectPath("C:\\jogos\\");
  QTreeWidgetItem* jogos = tree.currentItem();
  ASSERT_EQ(jogos->text(0), "jogos");
  EXPECT_EQ(Captions(jogos), QStringList({"demo", "leia.txt"}));
  jogos->setExpanded(false);
  EXPECT_TRUE(OnlyPlaceholder(jogos));
  ASSERT_TRUE(WriteFile(Host("c/jogos/novo.txt"), "x"));
  tree.SelectPath("C:\\jogos\\");
  EXPECT_EQ(Captions(jogos), QStringList({"demo", "leia.txt", "novo.txt"}));
}

TEST_F(DirTreeTest, AnEmptyOrMissingMediumStaysClosedWithItsButton) {
  TFullTree tree;
  QTreeWidgetItem* computer = tree.topLevelItem(0);
  for (QTreeWidgetItem* drive : {computer->child(0), computer->child(3)}) {
    tree.SelectPath(drive->text(0).left(2) + "\\");
    EXPECT_FALSE(drive->isExpanded());
    EXPECT_TRUE(OnlyPlaceholder(drive));
  }
  EXPECT_EQ(computer->child(0)->text(0), "a: []");
  // A medium put in is read, label and all, when the drive is opened again.
  ASSERT_TRUE(WriteFile(Host("e/musica.wav"), "x"));
  tree.SelectPath("e:\\");
  EXPECT_TRUE(computer->child(3)->isExpanded());
  EXPECT_EQ(computer->child(3)->text(0), "e: [pen]");
  EXPECT_EQ(Captions(computer->child(3)), QStringList({"musica.wav"}));
}

TEST_F(DirTreeTest, SelectPathOpensTheWayAndStopsAtTheLastNodeFound) {
  TFullTree tree;
  tree.SelectPath("D:\\DEMOS\\");
  EXPECT_EQ(tree.currentItem()->text(0), "DEMOS");
  EXPECT_EQ(tree.SelectedPath(), "d:\\DEMOS\\");
  tree.SelectPath("d:\\demos\\y.bmp");
  EXPECT_EQ(tree.SelectedPath(), "d:\\DEMOS\\Y.BMP");
  EXPECT_EQ(TFullTree::Kind(tree.currentItem()), TreeNodeKind::File);
  tree.SelectPath("C:\\jogos\\nada\\setup.exe");
  EXPECT_EQ(tree.SelectedPath(), "c:\\jogos\\");
  // A file name followed by a backslash is not looked for among the files.
  tree.SelectPath("C:\\jogos\\leia.txt\\");
  EXPECT_EQ(tree.SelectedPath(), "c:\\jogos\\");
  tree.SelectPath("C:");
  EXPECT_EQ(tree.SelectedPath(), "c:\\");
  tree.SelectPath("X:\\");
  tree.SelectPath("jogos\\");
  EXPECT_EQ(tree.SelectedPath(), "c:\\");
  tree.setCurrentItem(tree.topLevelItem(0));
  EXPECT_EQ(tree.SelectedPath(), "");
}

class DirTreeMouseTest : public DirTreeTest {
 protected:
  void SetUp() override {
    DirTreeTest::SetUp();
    tree_ = std::make_unique<TFullTree>();
    tree_->resize(300, 600);
    tree_->show();
    tree_->OnSelectItem = [this](QObject* sender, const QString& path) {
      EXPECT_EQ(sender, tree_.get());
      chosen_ << path;
    };
    tree_->SelectPath("C:\\jogos\\leia.txt");
  }
  void Click(const QString& path) {
    QTreeWidgetItem* item = Find(path);
    ASSERT_NE(item, nullptr) << path.toStdString();
    tree_->scrollToItem(item);
    QTest::mouseClick(tree_->viewport(), Qt::LeftButton, {},
                      tree_->visualItemRect(item).center());
  }
  void DoubleClick(const QString& path) {
    QTreeWidgetItem* item = Find(path);
    ASSERT_NE(item, nullptr);
    QTest::mouseDClick(tree_->viewport(), Qt::LeftButton, {}, tree_->visualItemRect(item).center());
  }
  QTreeWidgetItem* Find(const QString& path) {
    const QString before = tree_->SelectedPath();
    tree_->SelectPath(path);
    QTreeWidgetItem* item = tree_->currentItem();
    tree_->SelectPath(before);
    return tree_->NodePath(item) == path ? item : nullptr;
  }
  std::unique_ptr<TFullTree> tree_;
  QStringList chosen_;
};

TEST_F(DirTreeMouseTest, OnlyFoldersAreChosenWithASingleClick) {
  tree_->SelOnlyFolders = true;
  Click("c:\\jogos\\");
  Click("c:\\jogos\\leia.txt");
  Click("d:\\");
  DoubleClick("c:\\jogos\\leia.txt");
  EXPECT_EQ(chosen_, QStringList({"c:\\jogos\\", "d:\\"}));
}

TEST_F(DirTreeMouseTest, TheExplorerChoosesFilesAndDrivesWithASingleClick) {
  tree_->SelOnlyFiles = true;
  tree_->SelAtaTouch = true;
  Click("c:\\jogos\\leia.txt");
  Click("c:\\jogos\\");
  EXPECT_EQ(tree_->SelectedPath(), "c:\\jogos\\");  // selected, not chosen
  Click("c:\\");
  EXPECT_EQ(chosen_, QStringList({"c:\\jogos\\leia.txt", "c:\\"}));
}

TEST_F(DirTreeMouseTest, WithoutFlagsAFileIsChosenByDoubleClickOrEnter) {
  Click("c:\\jogos\\leia.txt");
  EXPECT_TRUE(chosen_.isEmpty());
  DoubleClick("c:\\jogos\\leia.txt");
  ASSERT_FALSE(chosen_.isEmpty());
  EXPECT_EQ(chosen_.last(), "c:\\jogos\\leia.txt");
  chosen_.clear();
  // The flag of the double click is spent: the next single click chooses nothing.
  Click("c:\\raiz.txt");
  EXPECT_TRUE(chosen_.isEmpty());
  QTest::keyClick(tree_.get(), Qt::Key_Return);
  EXPECT_EQ(chosen_, QStringList({"c:\\raiz.txt"}));
}

TEST_F(DirTreeTest, AHugeFolderArrivesInSlicesWhileTheEventLoopTurns) {
  // Enough entries for ten slices (bench_DirTreeExpand takes 100,000 and measures the longest
  // stall); tmpfs makes them quick to create, any folder will do.
  QTemporaryDir big(QDir("/dev/shm").exists() ? "/dev/shm/dirtree-XXXXXX" : "");
  ASSERT_TRUE(big.isValid());
  constexpr int kEntries = 10 * TFullTree::kSliceNodes;
  const QByteArray folder = (big.path() + "/grande").toLocal8Bit();
  ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
  for (int i = 0; i < kEntries; ++i) {
    const QByteArray name = folder + "/f" + QByteArray::number(i) + ".dat";
    const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
  }
  Drives().Map('G', big.path(), DriveType::Fixed, "Grande");
  TFullTree tree;
  QTreeWidgetItem* drive = Child(tree.topLevelItem(0), "g: [grande]");
  ASSERT_NE(drive, nullptr);
  QTreeWidgetItem* grande = drive->child(0);
  ASSERT_EQ(grande->text(0), "grande");

  // The user's expansion returns at once; the level comes from the worker.
  QSignalSpy done(&tree, &TFullTree::ListingDone);
  grande->setExpanded(true);
  EXPECT_TRUE(tree.Listing());
  EXPECT_TRUE(OnlyPlaceholder(grande));
  int partly = 0;  // timer events seen while the level was partly in the tree
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    if (grande->childCount() > 1 && grande->childCount() < kEntries) ++partly;
  });
  ticker.start(1);
  ASSERT_TRUE(done.wait(60000));
  EXPECT_FALSE(tree.Listing());
  EXPECT_EQ(grande->childCount(), kEntries);
  EXPECT_EQ(grande->child(0)->text(0), "f0.dat");
  EXPECT_EQ(grande->child(1)->text(0), "f1.dat");
  EXPECT_EQ(grande->child(2)->text(0), "f10.dat");
  // Other events ran between the slices.
  EXPECT_GE(partly, 1);

  // Collapsing drops the level; collapsing during a listing forgets it.
  grande->setExpanded(false);
  EXPECT_TRUE(OnlyPlaceholder(grande));
  grande->setExpanded(true);
  grande->setExpanded(false);
  EXPECT_FALSE(tree.Listing());
  EXPECT_TRUE(OnlyPlaceholder(grande));
}

}  // namespace
