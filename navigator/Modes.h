#pragma once

// The main window's modes: 0..4 the list of a category, 5..9 the description page of
// category mode - 5, 10 the full-screen viewer, 11 the credits screen.

constexpr int kModeCount = 12;
constexpr int kFirstDescriptionMode = 5;
constexpr int kViewerMode = 10;
constexpr int kCreditsMode = 11;

constexpr bool IsListMode(int mode) { return mode >= 0 && mode < kFirstDescriptionMode; }
constexpr bool IsDescriptionMode(int mode) {
  return mode >= kFirstDescriptionMode && mode < kViewerMode;
}
constexpr bool IsScreenMode(int mode) { return mode == kViewerMode || mode == kCreditsMode; }
// The category of a list or description mode.
constexpr int CategoryOfMode(int mode) {
  return IsDescriptionMode(mode) ? mode - kFirstDescriptionMode : mode;
}
// What stands for the current mode while a mode is entered from scratch.
constexpr int PartnerMode(int mode) {
  return IsListMode(mode) ? 5 : IsDescriptionMode(mode) ? 0 : mode == kViewerMode ? 5 : 0;
}
