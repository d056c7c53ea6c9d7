#include "controls/DirTree.h"

#include <QApplication>
#include <QCollator>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>

#include "controls/ControlEvents.h"
#include "platform/Drives.h"

namespace {

constexpr int kKindRole = Qt::UserRole + 1;

QString WithBackslash(const QString& path) {
  return path.endsWith(QLatin1Char('\\')) ? path : path + QLatin1Char('\\');
}

bool Cancelled(const std::atomic<bool>* cancel) {
  return cancel && cancel->load(std::memory_order_relaxed);
}

}  // namespace

// A node and its record: the kind and the drive's media flag or the entry's attributes. The
// icon is asked for only when the view paints the node.
class TTreeNode : public QTreeWidgetItem {
 public:
  TTreeNode(TFullTree* tree, TreeNodeKind kind, uint32_t value, const QString& caption)
      : tree_(tree), kind_(kind), value_(value) {
    setText(0, caption);
    setData(0, kKindRole, int(kind));
  }
  ~TTreeNode() override {
    if (listingId_ != 0) tree_->pending_.erase(listingId_);
  }

  QVariant data(int column, int role) const override {
    if (role == Qt::DecorationRole && column == 0) return tree_->IconFor(this);
    return QTreeWidgetItem::data(column, role);
  }

  TFullTree* tree_;
  TreeNodeKind kind_;
  uint32_t value_;
  uint64_t listingId_ = 0;  // the worker listing this node waits for
};

namespace {

TTreeNode* Node(QTreeWidgetItem* item) {
  return static_cast<TTreeNode*>(item);
}
const TTreeNode* Node(const QTreeWidgetItem* item) {
  return static_cast<const TTreeNode*>(item);
}

bool IsPlaceholder(const QTreeWidgetItem* item) {
  return item && Node(item)->kind_ == TreeNodeKind::Placeholder;
}

}  // namespace

std::vector<TreeListEntry> ListTreeFolder(const QString& folderPath, const TreeListOptions& options,
                                          const std::atomic<bool>* cancel) {
  const QString folder = WithBackslash(folderPath);
  const uint32_t attrs = options.fileType.SearchAttributes();
  std::vector<TreeListEntry> folders;
  std::vector<TreeListEntry> files;
  // One listing serves the folders and every pattern of the mask.
  const std::vector<platform::FindEntry> entries =
      platform::FindFiles(folder + QStringLiteral("*.*"), attrs);
  for (const platform::FindEntry& e : entries) {
    if (Cancelled(cancel)) return {};
    if (!(e.attributes & platform::faDirectory)) continue;
    TreeListEntry entry{TreeNodeKind::Folder, e.name, e.attributes, false};
    entry.hasEntries = platform::AnyEntry(folder + e.name + QStringLiteral("\\*.*"), attrs);
    folders.push_back(std::move(entry));
  }
  if (options.readFiles) {
    // Pattern by pattern, as the search would find them; a name two patterns match is
    // listed once.
    std::vector<bool> taken(entries.size(), false);
    for (const QString& raw : options.mask.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString pattern = raw.trimmed();
      for (size_t i = 0; i < entries.size(); ++i) {
        const platform::FindEntry& e = entries[i];
        if (taken[i] || (e.attributes & platform::faDirectory)) continue;
        if (!options.fileType.Contains(ftNormal) && !(e.attributes & attrs)) continue;
        if (!platform::MatchesPattern(pattern, e.name)) continue;
        if (Cancelled(cancel)) return {};
        taken[i] = true;
        files.push_back({TreeNodeKind::File, e.name, e.attributes, false});
      }
    }
  }
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  const auto byName = [&collator](const TreeListEntry& a, const TreeListEntry& b) {
    return collator.compare(a.name, b.name) < 0;
  };
  std::stable_sort(folders.begin(), folders.end(), byName);
  std::stable_sort(files.begin(), files.end(), byName);
  folders.insert(folders.end(), std::make_move_iterator(files.begin()),
                 std::make_move_iterator(files.end()));
  return folders;
}

QString DriveCaption(QChar letter, const QString& label) {
  const QString l = letter.isLower() ? label.toLower() : label.toUpper();
  return QStringLiteral("%1: %2").arg(letter, QStringLiteral("[%1]").arg(l));
}

TFullTree::TFullTree(QWidget* owner)
    : QTreeWidget(owner),
      cancel_(std::make_shared<std::atomic<bool>>(false)),
      icons_(std::make_unique<QFileIconProvider>()),
      pool_(std::make_unique<QThreadPool>()) {
  pool_->setMaxThreadCount(1);
  setHeaderHidden(true);
  setColumnCount(1);
  // Names are shown whole, with a horizontal scroll bar when the tree is narrower than them,
  // never cut short with an ellipsis. The column is measured again after changes, over at most
  // Qt's default number of rows, so a huge level stays cheap.
  header()->setStretchLastSection(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  auto* fitColumn = new QTimer(this);  // one measure for a burst of changes
  fitColumn->setSingleShot(true);
  fitColumn->setInterval(0);
  connect(fitColumn, &QTimer::timeout, this, [this] { resizeColumnToContents(0); });
  auto refit = [fitColumn] { fitColumn->start(); };
  connect(model(), &QAbstractItemModel::rowsInserted, fitColumn, refit);
  connect(model(), &QAbstractItemModel::rowsRemoved, fitColumn, refit);
  connect(model(), &QAbstractItemModel::dataChanged, fitColumn, refit);
  connect(this, &QTreeWidget::itemExpanded, fitColumn, refit);
  connect(this, &QTreeWidget::itemCollapsed, fitColumn, refit);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setUniformRowHeights(true);  // keeps a 100,000-node level cheap to lay out
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QTreeWidget::itemExpanded, this, &TFullTree::NodeExpanded);
  connect(this, &QTreeWidget::itemCollapsed, this, &TFullTree::NodeCollapsed);
  Rebuild();
}

TFullTree::~TFullTree() {
  cancel_->store(true);
  pool_->waitForDone();
  deliveries_.clear();
  clear();  // nodes erase themselves from pending_, which must still exist
}

void TFullTree::SetMask(const QString& mask) {
  if (mask == options_.mask) return;
  options_.mask = mask;
  Rebuild();
}

void TFullTree::SetFileType(TFileTypes fileType) {
  if (fileType == options_.fileType) return;
  options_.fileType = fileType;
  Rebuild();
}

void TFullTree::SetReadFiles(bool readFiles) {
  if (readFiles == options_.readFiles) return;
  options_.readFiles = readFiles;
  Rebuild();
}

TreeNodeKind TFullTree::Kind(const QTreeWidgetItem* node) {
  return node ? Node(node)->kind_ : TreeNodeKind::Placeholder;
}

uint32_t TFullTree::Value(const QTreeWidgetItem* node) {
  return node ? Node(node)->value_ : 0;
}

void TFullTree::Rebuild() {
  deliveries_.clear();
  clear();
  auto* computer = new TTreeNode(this, TreeNodeKind::Computer, 0, QStringLiteral("Computador"));
  addTopLevelItem(computer);
  for (char c = 'a'; c <= 'z'; ++c) {
    const QChar letter = QLatin1Char(c);
    const platform::Drive* drive = platform::Drives().Find(letter);
    if (!drive) continue;
    // A removable drive is there even without a medium; the others need their root folder.
    const platform::DriveType type = drive->type == platform::DriveType::Removable
                                         ? platform::DriveType::Removable
                                         : platform::GetDriveType(letter);
    if (type == platform::DriveType::Absent) continue;
    const bool media = type != platform::DriveType::Fixed;
    const QString caption = type == platform::DriveType::Removable
                                ? QStringLiteral("%1: []").arg(letter)
                                : DriveCaption(letter, platform::VolumeLabel(letter));
    computer->addChild(new TTreeNode(this, TreeNodeKind::Drive, media ? 1 : 0, caption));
  }
  const bool wasSynchronous = synchronous_;
  synchronous_ = true;
  computer->setExpanded(true);
  synchronous_ = wasSynchronous;
}

QString TFullTree::NodePath(const QTreeWidgetItem* node) const {
  QString path;
  for (const QTreeWidgetItem* n = node; n; n = n->parent()) {
    switch (Kind(n)) {
      case TreeNodeKind::Computer:
        return {};
      case TreeNodeKind::Placeholder:
        return {};
      case TreeNodeKind::Drive:
        return n->text(0).left(1).toLower() + QStringLiteral(":\\") + path;
      case TreeNodeKind::Folder:
        path = n->text(0) + QLatin1Char('\\') + path;
        break;
      case TreeNodeKind::File:
        path = n->text(0);
        break;
    }
  }
  return {};
}

QString TFullTree::SelectedPath() const {
  return NodePath(currentItem());
}

void TFullTree::SetExpandedQuietly(QTreeWidgetItem* item, bool expanded) {
  const bool was = adjusting_;
  adjusting_ = true;
  item->setExpanded(expanded);
  adjusting_ = was;
}

void TFullTree::RemoveChildren(QTreeWidgetItem* node) {
  const QList<QTreeWidgetItem*> children = node->takeChildren();
  qDeleteAll(children);
}

void TFullTree::SetPlaceholder(TTreeNode* node) {
  RemoveChildren(node);
  node->addChild(new TTreeNode(this, TreeNodeKind::Placeholder, 0, QString()));
}

void TFullTree::ForgetListing(TTreeNode* node) {
  if (node->listingId_ == 0) return;
  pending_.erase(node->listingId_);
  const uint64_t id = node->listingId_;
  std::erase_if(deliveries_, [id](const Delivery& d) { return d.id == id; });
  node->listingId_ = 0;
  UpdateBusyCursor();
}

void TFullTree::NodeExpanded(QTreeWidgetItem* item) {
  if (adjusting_) return;
  TTreeNode* node = Node(item);
  switch (node->kind_) {
    case TreeNodeKind::Computer:
      ExpandComputer(node);
      return;
    case TreeNodeKind::Drive:
      if (node->value_ != 0) {
        // A medium may have changed: its label is read again, its contents too.
        // A removable drive without its medium keeps "a: []".
        const QChar letter = node->text(0).at(0);
        node->setText(0, platform::GetDriveType(letter) == platform::DriveType::Absent
                             ? QStringLiteral("%1: []").arg(letter)
                             : DriveCaption(letter, platform::VolumeLabel(letter)));
        ReadLevel(node, !synchronous_);
        return;
      }
      // A fixed drive whose level is in the tree opens at once.
      if (node->childCount() > 0 && !IsPlaceholder(node->child(0))) return;
      ReadLevel(node, !synchronous_);
      return;
    case TreeNodeKind::Folder:
      ReadLevel(node, !synchronous_);
      return;
    case TreeNodeKind::File:
    case TreeNodeKind::Placeholder:
      return;
  }
}

void TFullTree::ExpandComputer(TTreeNode* computer) {
  for (int i = 0; i < computer->childCount(); ++i) {
    TTreeNode* drive = Node(computer->child(i));
    if (drive->kind_ != TreeNodeKind::Drive) break;
    if (drive->value_ != 0) {
      // Removable and CD-ROM drives are read only when opened themselves.
      if (drive->childCount() == 0) SetPlaceholder(drive);
    } else if (drive->childCount() == 0) {
      ReadLevel(drive, !synchronous_);
    }
  }
}

void TFullTree::NodeCollapsed(QTreeWidgetItem* item) {
  if (adjusting_) return;
  TTreeNode* node = Node(item);
  if (node->kind_ != TreeNodeKind::Drive && node->kind_ != TreeNodeKind::Folder) return;
  // The next expansion reads the disc again.
  ForgetListing(node);
  SetPlaceholder(node);
}

int TFullTree::ReadLevel(TTreeNode* node, bool async) {
  ForgetListing(node);
  const QString path = NodePath(node);
  if (!async) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::vector<TreeListEntry> entries = ListTreeFolder(path, options_);
    setUpdatesEnabled(false);
    RemoveChildren(node);
    AddChildren(node, entries, 0, entries.size());
    setUpdatesEnabled(true);
    LevelComplete(node, !entries.empty());
    QApplication::restoreOverrideCursor();
    return int(entries.size());
  }
  // The placeholder keeps the node open with its button until the level arrives.
  if (node->childCount() == 0 || !IsPlaceholder(node->child(0)) || node->childCount() > 1)
    SetPlaceholder(node);
  const uint64_t id = ++nextListing_;
  node->listingId_ = id;
  pending_[id] = node;
  UpdateBusyCursor();
  const TreeListOptions options = options_;
  const std::shared_ptr<std::atomic<bool>> cancel = cancel_;
  pool_->start([this, id, path, options, cancel] {
    std::vector<TreeListEntry> entries = ListTreeFolder(path, options, cancel.get());
    if (cancel->load()) return;
    // Queued to the tree's thread; the tree waits for this worker before it goes.
    QMetaObject::invokeMethod(
        this, [this, id, e = std::move(entries)]() mutable { ListingArrived(id, std::move(e)); },
        Qt::QueuedConnection);
  });
  return 0;
}

void TFullTree::AddChildren(TTreeNode* node, const std::vector<TreeListEntry>& entries,
                            size_t from, size_t to) {
  QList<QTreeWidgetItem*> items;
  items.reserve(qsizetype(to - from));
  for (size_t i = from; i < to; ++i) {
    const TreeListEntry& e = entries[i];
    auto* child = new TTreeNode(this, e.kind, e.attributes, e.name);
    if (e.hasEntries)
      child->addChild(new TTreeNode(this, TreeNodeKind::Placeholder, 0, QString()));
    items.append(child);
  }
  node->addChildren(items);
}

void TFullTree::LevelComplete(TTreeNode* node, bool anyAdded) {
  if (anyAdded || node->kind_ != TreeNodeKind::Drive || node->value_ == 0) return;
  // An empty or not-ready medium keeps its button and can be tried again.
  SetExpandedQuietly(node, false);
  SetPlaceholder(node);
}

void TFullTree::ListingArrived(uint64_t id, std::vector<TreeListEntry> entries) {
  const auto it = pending_.find(id);
  if (it == pending_.end()) return;  // collapsed, re-read or gone meanwhile
  TTreeNode* node = it->second;
  if (entries.empty()) {
    pending_.erase(it);
    node->listingId_ = 0;
    RemoveChildren(node);
    LevelComplete(node, false);
    UpdateBusyCursor();
    emit ListingDone();
    return;
  }
  deliveries_.push_back(Delivery{id, std::move(entries), 0});
  DeliverSlice();
}

void TFullTree::DeliverSlice() {
  sliceQueued_ = false;
  if (deliveries_.empty()) return;
  Delivery& d = deliveries_.front();
  const auto it = pending_.find(d.id);
  if (it == pending_.end()) {
    deliveries_.erase(deliveries_.begin());
  } else {
    TTreeNode* node = it->second;
    if (d.next == 0) RemoveChildren(node);
    const size_t to = std::min(d.entries.size(), d.next + size_t(kSliceNodes));
    AddChildren(node, d.entries, d.next, to);
    d.next = to;
    if (d.next == d.entries.size()) {
      pending_.erase(it);
      node->listingId_ = 0;
      deliveries_.erase(deliveries_.begin());
      UpdateBusyCursor();
      emit ListingDone();
    }
  }
  if (!deliveries_.empty() && !sliceQueued_) {
    // The next slice after whatever input is waiting.
    sliceQueued_ = true;
    QTimer::singleShot(0, this, &TFullTree::DeliverSlice);
  }
}

void TFullTree::UpdateBusyCursor() {
  if (Listing())
    setCursor(Qt::BusyCursor);
  else
    unsetCursor();
}

void TFullTree::SelectPath(const QString& path) {
  const QString drivePart = platform::ExtractFileDrive(path);
  if (path.isEmpty() || drivePart.isEmpty()) return;
  QTreeWidgetItem* computer = topLevelItem(0);
  if (!computer) return;
  TTreeNode* current = nullptr;
  for (int i = 0; i < computer->childCount() && !current; ++i)
    if (computer->child(i)->text(0).startsWith(drivePart, Qt::CaseInsensitive))
      current = Node(computer->child(i));
  if (!current) return;

  const bool wasSynchronous = synchronous_;
  synchronous_ = true;
  setUpdatesEnabled(false);
  const auto open = [this](TTreeNode* node) {
    // A level on its way from the worker is read here and now instead.
    if (node->listingId_ != 0 || !node->isExpanded())
      SetExpandedQuietly(node, false);
    node->setExpanded(true);
    setCurrentItem(node);
  };
  open(current);
  QString rest = path.mid(drivePart.size());
  if (rest.startsWith(QLatin1Char('\\'))) rest.remove(0, 1);
  while (!rest.isEmpty()) {
    const qsizetype cut = rest.indexOf(QLatin1Char('\\'));
    const bool folder = cut >= 0;
    const QString name = folder ? rest.left(cut) : rest;
    rest = folder ? rest.mid(cut + 1) : QString();
    const TreeNodeKind wanted = folder ? TreeNodeKind::Folder : TreeNodeKind::File;
    TTreeNode* found = nullptr;
    for (int i = 0; i < current->childCount() && !found; ++i) {
      TTreeNode* child = Node(current->child(i));
      if (child->kind_ == wanted && child->text(0).compare(name, Qt::CaseInsensitive) == 0)
        found = child;
    }
    if (!found) break;
    current = found;
    open(current);
  }
  setUpdatesEnabled(true);
  synchronous_ = wasSynchronous;
  scrollToItem(currentItem());
}

void TFullTree::Choose(QTreeWidgetItem* item) {
  const bool doubleClick = doubleClick_;
  doubleClick_ = false;
  if (!item) return;
  bool eligible = false;
  switch (Kind(item)) {
    case TreeNodeKind::Drive:
      eligible = true;
      break;
    case TreeNodeKind::Folder:
      eligible = !SelOnlyFiles;
      break;
    case TreeNodeKind::File:
      eligible = !SelOnlyFolders && (SelAtaTouch || doubleClick);
      break;
    default:
      break;
  }
  if (eligible && item == currentItem()) Fire(OnSelectItem, this, SelectedPath());
}

void TFullTree::mousePressEvent(QMouseEvent* event) {
  QTreeWidget::mousePressEvent(event);  // the system tree selects first
  if (event->button() != Qt::LeftButton) return;
  if (!(SelAtaTouch || SelOnlyFolders || doubleClick_)) return;
  Choose(itemAt(event->position().toPoint()));
}

void TFullTree::mouseDoubleClickEvent(QMouseEvent* event) {
  doubleClick_ = true;
  QTreeWidget::mouseDoubleClickEvent(event);  // opens or closes the node, as the system tree
  if (event->button() != Qt::LeftButton) {
    doubleClick_ = false;
    return;
  }
  Choose(itemAt(event->position().toPoint()));
}

void TFullTree::keyPressEvent(QKeyEvent* event) {
  // Enter chooses the selected node as a double click would, for keyboard users.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
    doubleClick_ = true;
    Choose(currentItem());
    event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

QIcon TFullTree::IconFor(const TTreeNode* node) const {
  switch (node->kind_) {
    case TreeNodeKind::Computer:
      return icons_->icon(QAbstractFileIconProvider::Computer);
    case TreeNodeKind::Drive:
      return icons_->icon(QAbstractFileIconProvider::Drive);
    case TreeNodeKind::Folder:
      return node->isExpanded() ? style()->standardIcon(QStyle::SP_DirOpenIcon)
                                : icons_->icon(QAbstractFileIconProvider::Folder);
    case TreeNodeKind::File: {
      // Files of one kind share an icon; asking the desktop once per suffix keeps a large
      // level cheap to paint.
      const QString name = node->text(0);
      const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
      const QString suffix = dot >= 0 ? name.mid(dot + 1).toLower() : QString();
      auto it = fileIcons_.find(suffix);
      if (it == fileIcons_.end()) {
        const auto host = platform::Drives().ToHost(NodePath(node));
        QIcon icon = host ? icons_->icon(QFileInfo(*host)) : QIcon();
        if (icon.isNull()) icon = icons_->icon(QAbstractFileIconProvider::File);
        it = fileIcons_.emplace(suffix, icon).first;
      }
      return it->second;
    }
    case TreeNodeKind::Placeholder:
      return {};
  }
  return {};
}
