#pragma once

// What the list, description and viewer remember between drawings and between modes. The mode
// machine owns the modes; the views are told which one they draw and keep the scroll and
// selection memory per mode here.

#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "navigator/Modes.h"


// A demo of the catalogue: category -1 names none.
struct DemoRef {
  int Category = -1;
  int Entry = 0;  // 1-based
  bool Names() const { return Category >= 0 && Entry > 0; }
  friend bool operator==(const DemoRef&, const DemoRef&) = default;
};

// The description text as the line breaker wrapped it, with the paragraph bookkeeping the
// justified writing needs.
struct WrappedText {
  static constexpr int kMaxLines = 32768;
  QStringList Lines;
  std::vector<uint8_t> LineEndsParagraph;  // 1: the last line of a paragraph
  std::vector<uint8_t> LineGaps;           // blank-separated gaps of a line to justify
  int Count() const { return int(Lines.size()); }
};

struct ViewState {
  ViewState() {
    SavedFirstVisible.fill(1);
    SelectedEntry.fill(1);
  }

  int Mode = 0;        // the mode the views draw
  int ReturnMode = 0;  // where the viewer returns to (its demo is this page's)
  int FirstVisible = 1;
  std::array<int, kModeCount> SavedFirstVisible{};
  std::array<int, kModeCount> SelectedEntry{};  // -1: none
  int DescribedMode = -1;
  int DescribedEntry = 0;
  int ImageNumber = 1;
  DemoRef PendingLogo;
  DemoRef ShownLogo;
  WrappedText Text;
  QStringList TitleLines;
};
