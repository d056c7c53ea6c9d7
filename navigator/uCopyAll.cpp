#include "navigator/uCopyAll.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "common/Environment.h"
#include "common/Messages.h"
#include "controls/DirTree.h"
#include "navigator/FolderCopy.h"
#include "navigator/Rounding.h"
#include "navigator/uToAll.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"

namespace {

constexpr int kDesignFontHeightPx = 11;
constexpr int kClientWidth = 460;
constexpr int kClientHeight = 410;
constexpr int kBarSteps = 1000;

// The busy cursor for the length of a copy, restored however the copy ends.
struct BusyCursor {
  BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

TfmCopyAll::TfmCopyAll(const QString& title, const QString& sourceFolder, double screenScale,
                       QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      title_(title),
      sourceFolder_(sourceFolder),
      screenScale_(screenScale) {
  setObjectName(QStringLiteral("fmCopyAll"));
  setWindowTitle(QStringLiteral("Copiar uma pasta completa"));
  setModal(true);
  QFont f = font();
  f.setPixelSize(std::max(1, std::abs(RoundHalfEven(kDesignFontHeightPx / screenScale))));
  setFont(f);
  setFixedSize(kClientWidth, kClientHeight);

  auto label = [this](const char* name, const QString& text, int y) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QLatin1String(name));
    l->move(8, y);
    l->adjustSize();
    return l;
  };
  lbDemoName_ = label("lbDemoName", QStringLiteral("Quero copiar \" %s\" "), 8);
  label("Label2", QStringLiteral("para a seguinte pasta:"), 26);

  fullTree_ = new TFullTree(this);
  fullTree_->setObjectName(QStringLiteral("FullTree"));
  fullTree_->setGeometry(8, 46, kClientWidth - 16, 250);
  fullTree_->SelOnlyFolders = true;
  fullTree_->OnSelectItem = [this](QObject*, const QString& fullPath) {
    edSel_->setText(fullPath);
  };

  label("Label1", QStringLiteral("Seleção (você pode alterá-la):"), 302);
  edSel_ = new QLineEdit(this);
  edSel_->setObjectName(QStringLiteral("edSel"));
  edSel_->setGeometry(8, 320, kClientWidth - 16, 22);

  pbCopy_ = new QProgressBar(this);
  pbCopy_->setObjectName(QStringLiteral("pbCopy"));
  pbCopy_->setGeometry(8, 348, kClientWidth - 16, 16);
  pbCopy_->setRange(0, kBarSteps);
  pbCopy_->setValue(0);
  pbCopy_->setTextVisible(false);

  auto button = [this](const char* name, const QString& text, int x) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(x, 374, 120, 28);
    b->setAutoDefault(false);
    return b;
  };
  btCopy_ = button("btCopy", QStringLiteral("&Copiar!"), 8);
  btStopCopy_ = button("btStopCopy", QStringLiteral("C&ancelar Cópia"), 170);
  btForgetIt_ = button("btForgetIt", QStringLiteral("&Fechar"), kClientWidth - 128);
  btStopCopy_->setEnabled(false);
  connect(btCopy_, &QPushButton::clicked, this, &TfmCopyAll::btCopyClick);
  connect(btStopCopy_, &QPushButton::clicked, this, &TfmCopyAll::btStopCopyClick);
  connect(btForgetIt_, &QPushButton::clicked, this, &TfmCopyAll::reject);
}

TfmCopyAll::~TfmCopyAll() = default;

void TfmCopyAll::showEvent(QShowEvent* event) {
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
  QDialog::showEvent(event);
}

void TfmCopyAll::FormShow() {
  lbDemoName_->setText(QStringLiteral("Quero copiar \" %1\" ").arg(title_));
  lbDemoName_->adjustSize();
  const QString folderName =
      platform::ExtractFileName(platform::ExcludeTrailingBackslash(sourceFolder_));
  edSel_->setText(ExpandToFullPath(folderName));
  if (const QScreen* screen = parentWidget() ? parentWidget()->screen()
                                             : QGuiApplication::primaryScreen()) {
    const QRect g = screen->geometry();
    move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
  }
}

void TfmCopyAll::SetCopying(bool copying) {
  btCopy_->setEnabled(!copying);
  btForgetIt_->setEnabled(!copying);
  fullTree_->setEnabled(!copying);
  edSel_->setEnabled(!copying);
  if (!copying) btStopCopy_->setEnabled(false);
}

void TfmCopyAll::btCopyClick() {
  if (copy_) return;
  TFolderCopy::Hooks hooks;
  hooks.file.PumpMessages = [] { QCoreApplication::processEvents(); };
  hooks.AskOverwrite = [this](const QString& destination, const QString& source) {
    return AskOverwrite(this, destination, source, screenScale_);
  };
  hooks.FilePhase = [this](bool on) { btStopCopy_->setEnabled(on); };
  hooks.Progress = [this](qint64 done, qint64 total) {
    const int value = total > 0 ? int(std::min(done, total) * kBarSteps / total) : kBarSteps;
    if (value != pbCopy_->value()) pbCopy_->setValue(value);
  };
  TFolderCopy copy(std::move(hooks));
  copy_ = &copy;
  SetCopying(true);
  pbCopy_->setValue(0);
  {
    BusyCursor busy;
    try {
      const TFolderCopy::Outcome outcome = copy.Run(edSel_->text(), sourceFolder_);
      int message = -1;
      switch (outcome) {
        case TFolderCopy::Outcome::Relative:
          edSel_->setText(copy.ExpandedDestination());
          break;
        case TFolderCopy::Outcome::Ended:
          break;
        case TFolderCopy::Outcome::Stopped:
          message = 33;
          break;
        case TFolderCopy::Outcome::Errors:
          message = 36;
          break;
        case TFolderCopy::Outcome::Success:
          message = 6;
          break;
      }
      if (message >= 0) {
        // The copy shows in the tree, opened at the destination folder.
        fullTree_->Rebuild();
        fullTree_->SelectPath(platform::IncludeTrailingBackslash(edSel_->text()));
        ShowAppMessage(message);
      }
    } catch (const std::exception&) {
      ShowAppMessage(14);
    }
  }
  copy_ = nullptr;
  SetCopying(false);
}

void TfmCopyAll::btStopCopyClick() {
  if (copy_) copy_->RequestStop();
}

void TfmCopyAll::reject() {
  if (copy_) return;  // the copy ends first (the stop button is there for that)
  QDialog::reject();
}

void TfmCopyAll::closeEvent(QCloseEvent* event) {
  if (copy_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

QString DemoSourceFolder(const QString& demosRoot, const DemoEntry& entry) {
  const QString base = platform::IncludeTrailingBackslash(demosRoot);
  return (entry.RootRelative ? base : base + QStringLiteral("Demos\\")) + entry.Folder;
}

void CopyDemoFolder(QWidget* parent, const QString& title, const QString& sourceFolder) {
  TfmCopyAll form(title, sourceFolder, Env().ScreenScale, parent);
  platform::Dialogs().RunForm(form);
}
