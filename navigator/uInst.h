#pragma once

// The question "run from the disc or install?" asked before a demo that offers both.

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

class TfmInst : public QDialog {
  Q_OBJECT

 public:
  // The modal results: any button but Cancel closes with OK.
  static constexpr int kResultOk = 1;
  static constexpr int kResultCancel = 2;

  // choice receives 0 (direct), 1 (install) or 2 (cancel); the caller sets it before showing.
  explicit TfmInst(uint8_t* choice, QWidget* parent = nullptr);
  ~TfmInst() override;

  QLabel* Image1 = nullptr;
  QLabel* StaticText1 = nullptr;
  QPushButton* btDirect = nullptr;
  QPushButton* btInstNow = nullptr;
  QPushButton* btForgetIt = nullptr;

  // Escape and the close box cancel.
  void reject() override;

 private:
  void btWhichOneClick(QPushButton* sender);
  uint8_t* choice_;
};
