#include "navigator/uNewQuery.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Dialogs.h"

TfmQuery::TfmQuery(QWidget* parent) : QDialog(parent) {
  setObjectName("fmQuery");
  // No border icons, above the full-screen navigator.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowStaysOnTopHint);
  Memo = new QPlainTextEdit(this);
  Memo->setObjectName("Memo");
  Memo->setReadOnly(true);
  Memo->setFrameShape(QFrame::NoFrame);
  Memo->setFocusPolicy(Qt::NoFocus);
  QPalette p = Memo->palette();
  p.setColor(QPalette::Base, palette().color(QPalette::Window));
  Memo->setPalette(p);
  edName = new QLineEdit(this);
  edName->setObjectName("edName");
  edName->installEventFilter(this);
  btOK = new QPushButton("&OK", this);
  btOK->setObjectName("btOK");
  btCancel = new QPushButton("&Cancelar", this);
  btCancel->setObjectName("btCancel");
  connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btOK);
  buttons->addWidget(btCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Memo);
  layout->addWidget(edName);
  layout->addLayout(buttons);
  resize(420, 180);
}

QStringList TfmQuery::QuestionLines(const QString& question) {
  QString text = question;
  text.replace("\r\n", "\n\r");
  QStringList lines = text.split("\n\r");
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

bool TfmQuery::eventFilter(QObject* watched, QEvent* event) {
  // edNameKeyDown: Enter confirms and Escape cancels, like the buttons.
  if (watched == edName && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      accept();
      return true;
    }
    if (key == Qt::Key_Escape) {
      reject();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool AskText(const QString& caption, const QString& question, QString& value) {
  TfmQuery form(QApplication::activeWindow());
  form.setWindowTitle(caption);
  form.Memo->setPlainText(TfmQuery::QuestionLines(question).join('\n'));
  form.edName->setText(value);
  form.edName->setFocus();
  if (platform::Dialogs().RunForm(form) != QDialog::Accepted) return false;
  value = form.edName->text();
  return true;
}
