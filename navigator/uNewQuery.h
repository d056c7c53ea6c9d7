#pragma once

// A single-line question: the caption, a read-only text of one or more lines, an edit field.

#include <QDialog>
#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfmQuery : public QDialog {
  Q_OBJECT

 public:
  explicit TfmQuery(QWidget* parent = nullptr);

  QPlainTextEdit* Memo = nullptr;
  QLineEdit* edName = nullptr;
  QPushButton* btOK = nullptr;
  QPushButton* btCancel = nullptr;

  // The question's lines: every "\r\n" is first read as "\n\r", the system's line break.
  static QStringList QuestionLines(const QString& question);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Asks the question; true with value replaced by the edited text when confirmed.
bool AskText(const QString& caption, const QString& question, QString& value);
