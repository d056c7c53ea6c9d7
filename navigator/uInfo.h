#pragma once

// The information window (Alt+F5): the program's version and the sound back-end in use.

#include <QDialog>
#include <cstdint>

class QLabel;

// "1.2.3.4" from the two file-version words (most and least significant), each holding two
// 16-bit numbers.
QString VersionText(uint32_t mostSignificant, uint32_t leastSignificant);

// The version words of this program.
uint32_t ProgramVersionMs();
uint32_t ProgramVersionLs();

class TfmInfo : public QDialog {
  Q_OBJECT

 public:
  TfmInfo(double screenScale, bool usesDirectSound, QWidget* parent = nullptr,
          uint32_t versionMs = ProgramVersionMs(), uint32_t versionLs = ProgramVersionLs());

  QString VersionLabel() const;
  QString BuildLabel() const;
  QString SoundLabel() const;

 private:
  QLabel* lbVersion_;
  QLabel* lbBuild_;
  QLabel* lbDX_;
};
