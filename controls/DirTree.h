#pragma once

// TFullTree: the computer, its drives and, read on demand one level per expansion, their
// folders and files. A collapsed level is dropped, so the tree holds only what is open.
// Chosen drives, folders and files are reported as full Windows paths ("c:\jogos\demo\")
// through OnSelectItem.
//
// Reading: a level the user opens is listed on a worker thread and put into the tree in
// slices of a few thousand nodes per turn of the event loop, so a folder of 100,000 entries
// never freezes the window; the node shows its placeholder and the busy cursor meanwhile.
// Rebuild, SelectPath and every change made by the program itself read synchronously, so
// their result is in the tree when they return.

#include <QIcon>
#include <QString>
#include <QTreeWidget>
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <vector>

class QThreadPool;
class QFileIconProvider;
class TTreeNode;

// The kinds of entry a listing searches for; each adds its attribute to the search, and
// ftNormal accepts every file whatever its attributes.
enum TFileType : uint8_t { ftReadOnly, ftHidden, ftSystem, ftVolumeID, ftDirectory, ftArchive, ftNormal };

// A set of TFileType.
class TFileTypes {
 public:
  constexpr TFileTypes() = default;
  constexpr TFileTypes(std::initializer_list<TFileType> types) {
    for (TFileType t : types) bits_ |= uint8_t(1u << t);
  }
  constexpr bool Contains(TFileType t) const { return bits_ & (1u << t); }
  constexpr bool operator==(const TFileTypes&) const = default;
  // The union of the attribute bits of ftReadOnly .. ftArchive (1, 2, 4, 8, 16, 32).
  constexpr uint32_t SearchAttributes() const { return bits_ & 0x3Fu; }

 private:
  uint8_t bits_ = 0;
};

enum class TreeNodeKind : uint8_t { Computer = 0, Drive = 1, Folder = 2, File = 3, Placeholder = 4 };

// (Sender, FullPath)
using TOnSelectItem = std::function<void(QObject* sender, const QString& fullPath)>;

// What a listing of one folder yields, in the tree's order.
struct TreeListEntry {
  TreeNodeKind kind = TreeNodeKind::File;
  QString name;
  uint32_t attributes = 0;
  bool hasEntries = false;  // a folder that holds anything gets an expansion button
};

struct TreeListOptions {
  QString mask = QStringLiteral("*.*");
  TFileTypes fileType{ftDirectory, ftNormal};
  bool readFiles = true;
};

// Lists folderPath (a Windows path; a trailing backslash is optional): its folders, then, when
// readFiles, the files matching each pattern of the mask; sorted folders first, then files,
// each by name (locale collation, case-insensitive). Safe on any thread; cancel, when given
// and set, ends the listing early with what it has.
std::vector<TreeListEntry> ListTreeFolder(const QString& folderPath, const TreeListOptions& options,
                                          const std::atomic<bool>* cancel = nullptr);

// The caption of a drive: "c: [label]", the label in the letter's case; "a: []" for a
// removable drive, whose label is not read.
QString DriveCaption(QChar letter, const QString& label);

class TFullTree : public QTreeWidget {
  Q_OBJECT

 public:
  explicit TFullTree(QWidget* owner = nullptr);
  ~TFullTree() override;

  // File patterns separated by ";" ("*.bmp;*.jpg"). Changing it rebuilds the tree.
  const QString& Mask() const { return options_.mask; }
  void SetMask(const QString& mask);
  TFileTypes FileType() const { return options_.fileType; }
  void SetFileType(TFileTypes fileType);
  // List files under folders and drives, not only folders.
  bool ReadFiles() const { return options_.readFiles; }
  void SetReadFiles(bool readFiles);

  // Only drives and folders can be chosen, with a single click.
  bool SelOnlyFolders = false;
  // Folders cannot be chosen.
  bool SelOnlyFiles = false;
  // Choose with a single click instead of a double click.
  bool SelAtaTouch = false;

  TOnSelectItem OnSelectItem;

  // Drops every node and builds the computer with one node per drive; fixed drives have their
  // first level read.
  void Rebuild();
  // Opens and selects the nodes along path ("D:\DEMOS\" selects DEMOS, "D:\DEMOS\X.BMP" also
  // the file X.BMP); stops at the last node found.
  void SelectPath(const QString& path);
  // "c:\" for a drive, "c:\jogos\demo\" for a folder, "c:\jogos\leia.txt" for a file, empty
  // for the computer and a placeholder.
  QString SelectedPath() const;
  QString NodePath(const QTreeWidgetItem* node) const;

  static TreeNodeKind Kind(const QTreeWidgetItem* node);
  // A drive's media flag (1 removable or CD-ROM), a folder's or file's attributes; else 0.
  static uint32_t Value(const QTreeWidgetItem* node);

  // True while a worker listing or its slices are still on their way into the tree.
  bool Listing() const { return !pending_.empty() || !deliveries_.empty(); }
  // Nodes put into the tree per turn of the event loop.
  static constexpr int kSliceNodes = 2000;

 signals:
  // A worker listing has been put into the tree completely (node may since have gone).
  void ListingDone();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class TTreeNode;
  struct Delivery {
    uint64_t id;
    std::vector<TreeListEntry> entries;
    size_t next = 0;
  };

  void NodeExpanded(QTreeWidgetItem* item);
  void NodeCollapsed(QTreeWidgetItem* item);
  void ExpandComputer(TTreeNode* computer);
  // Reads node's level again: at once, or on the worker when async. Returns the number of
  // children added (0 for an async request).
  int ReadLevel(TTreeNode* node, bool async);
  void AddChildren(TTreeNode* node, const std::vector<TreeListEntry>& entries, size_t from,
                   size_t to);
  void ListingArrived(uint64_t id, std::vector<TreeListEntry> entries);
  void DeliverSlice();
  void LevelComplete(TTreeNode* node, bool anyAdded);
  void ForgetListing(TTreeNode* node);
  void SetPlaceholder(TTreeNode* node);
  void RemoveChildren(QTreeWidgetItem* node);
  void UpdateBusyCursor();
  void Choose(QTreeWidgetItem* item);
  QIcon IconFor(const TTreeNode* node) const;
  void SetExpandedQuietly(QTreeWidgetItem* item, bool expanded);

  TreeListOptions options_;
  bool doubleClick_ = false;
  bool adjusting_ = false;    // expansions made here are not user requests
  bool synchronous_ = false;  // read at once (program-made changes)
  uint64_t nextListing_ = 0;
  std::map<uint64_t, TTreeNode*> pending_;
  std::vector<Delivery> deliveries_;
  bool sliceQueued_ = false;
  std::shared_ptr<std::atomic<bool>> cancel_;
  std::unique_ptr<QFileIconProvider> icons_;
  mutable std::map<QString, QIcon> fileIcons_;  // by lower-case suffix
  std::unique_ptr<QThreadPool> pool_;
};
