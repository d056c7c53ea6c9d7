#pragma once

// The overwrite question ("Sobrescrever?"): the existing file, the one that would replace it,
// and the seven answers of the folder copy. The answer is written into the caller's variable
// only when the user presses the button (or Enter in the list); closing the window otherwise
// leaves the variable as it was.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

class TfmToAll : public QDialog {
  Q_OBJECT

 public:
  // destination and source are Windows paths; choice receives the index of the answer.
  TfmToAll(const QString& destination, const QString& source, int* choice, double screenScale,
           QWidget* parent = nullptr);

  // "dd/mm/yy - hh:nn:ss  path", or the path alone when the file cannot be looked at.
  static QString FileLine(const QString& path);

  QComboBox* cbOption() const { return cbOption_; }
  QPushButton* Button1() const { return button1_; }
  QString OldText() const;
  QString NewText() const;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Button1Click();

  QString destination_;
  QString source_;
  int* choice_;
  QLabel* lbOld_;
  QLabel* lbNew_;
  QComboBox* cbOption_;
  QPushButton* button1_;
};

// Asks the question through the dialog service. Closing the window without the button means
// "Não": a file is never overwritten without the user's yes.
int AskOverwrite(QWidget* parent, const QString& destination, const QString& source,
                 double screenScale);
