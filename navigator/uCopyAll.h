#pragma once

// The folder-copy window ("Copiar uma pasta completa"): a folder tree to pick the destination,
// the editable destination, and the copy with its progress and stop button. While a copy runs
// the window keeps handling messages, so the copy button, the close button, the destination
// and the tree are disabled until it ends: a second copy never starts inside the first.

#include <QDialog>
#include <QString>

#include "formats/DemoFile.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class TFullTree;
class TFolderCopy;

class TfmCopyAll : public QDialog {
  Q_OBJECT

 public:
  // title: the demo's title; sourceFolder: its folder (a Windows path).
  TfmCopyAll(const QString& title, const QString& sourceFolder, double screenScale,
             QWidget* parent = nullptr);
  ~TfmCopyAll() override;

  void FormShow();
  void btCopyClick();
  void btStopCopyClick();

  bool Copying() const { return copy_ != nullptr; }
  QLabel* lbDemoName() const { return lbDemoName_; }
  QLineEdit* edSel() const { return edSel_; }
  TFullTree* FullTree() const { return fullTree_; }
  QPushButton* btCopy() const { return btCopy_; }
  QPushButton* btForgetIt() const { return btForgetIt_; }
  QPushButton* btStopCopy() const { return btStopCopy_; }
  QProgressBar* pbCopy() const { return pbCopy_; }

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void SetCopying(bool copying);

  QString title_;
  QString sourceFolder_;
  double screenScale_;
  bool shown_ = false;
  TFolderCopy* copy_ = nullptr;  // the copy running in btCopyClick, else null
  QLabel* lbDemoName_;
  TFullTree* fullTree_;
  QLineEdit* edSel_;
  QPushButton* btCopy_;
  QPushButton* btForgetIt_;
  QPushButton* btStopCopy_;
  QProgressBar* pbCopy_;
};

// The folder a demo lives in: under DemosRoot itself or under its "Demos\" folder.
QString DemoSourceFolder(const QString& demosRoot, const DemoEntry& entry);

// Shows the copy window for one demo, modally, through the dialog service.
void CopyDemoFolder(QWidget* parent, const QString& title, const QString& sourceFolder);
