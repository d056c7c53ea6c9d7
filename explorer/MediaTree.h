#pragma once

// The explorer's browser is the shared folder tree. While that control is not part of the
// build, a plain tree with the same members stands in, so the window builds and runs (without
// browsing; the command-line path and tests still reach the handler).

#if __has_include("controls/DirTree.h")
#include "controls/DirTree.h"
#else
#include <QString>
#include <QTreeWidget>
#include <functional>

using TOnSelectItem = std::function<void(QObject* sender, const QString& fullPath)>;

class TFullTree : public QTreeWidget {
 public:
  explicit TFullTree(QWidget* owner = nullptr) : QTreeWidget(owner) { setHeaderHidden(true); }
  void SetMask(const QString& mask) { mask_ = mask; }
  const QString& Mask() const { return mask_; }
  bool SelOnlyFolders = false;
  bool SelOnlyFiles = false;
  bool SelAtaTouch = false;
  TOnSelectItem OnSelectItem;
  void Rebuild() {}
  void SelectPath(const QString& path) { selected_ = path; }
  QString SelectedPath() const { return selected_; }

 private:
  QString mask_ = QStringLiteral("*.*");
  QString selected_;
};
#endif
