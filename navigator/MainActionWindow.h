#pragma once

// What the demo actions see of the main window: its mode, the described demo, the disc's root
// and the few things they ask it to do.

#include "navigator/DemoActions.h"

class TfmMain;

class MainActionWindow final : public DemoActionWindow {
 public:
  explicit MainActionWindow(TfmMain& main) : main_(main) {}

  int CurrentMode() const override;
  int ReturnMode() const override;
  int DescribedEntry() const override;
  int ImageNumber() const override;
  const DemoEntry* Entry(int category, int index) const override;
  QString& DemosRoot() override;
  void OpenSelectedForRun() override;
  void PlayEffect(int effect, int channel) override;
  void MinimiseApplication() override;
  void RestoreApplication() override;
  void TerminateApplication() override;
  std::optional<platform::Bitmap> Screenshot() const override;
  QWidget* DialogOwner() const override;

 private:
  TfmMain& main_;
};
