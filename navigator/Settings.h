#pragma once

// The navigator's per-user settings: the root of the demo folders, a word of four preferences
// and the volume level, kept in the key "Software\velOrbint\KVR9" when that exists (it is never
// created here) or else in "Software\velOrbint\KVR", which carries the edition marker.
// Read once at start-up, written once at shutdown, and only where a value changed.

#include <QString>

struct NavigatorSettings {
  QString DemosRoot;            // empty until read; the caller falls back to the program's drive
  bool MusicWanted = true;      // bit 0
  bool HintsShown = true;       // bit 1
  bool BeamEffect = true;       // bit 2
  bool AlignAlternate = false;  // gtbAlign shows its alternate picture: ragged text (bit 3 clear)
  int VolumeLevel = 0;          // 0..99, or kVolumeUnset until the sound start-up replaces it

  // The stored word of the four preferences (bits 4 and above are always 0).
  int PreferenceWord() const;
  void ApplyPreferenceWord(int word);
};

// Where the keys live; tests point the organisation at a store of their own.
struct SettingsKeys {
  QString Organisation = QStringLiteral("velOrbint");
  QString Preferred = QStringLiteral("KVR9");
  QString Fallback = QStringLiteral("KVR");
};

constexpr int kEditionMarker = 9;
constexpr int kPresetPreferenceWord = 15;

// Reads the settings into s (presets first). On the first run of this edition, or over a key
// left by another edition, greets the user with message 38 (argument: the screen width).
// Unreadable values end the reading silently; what was read until then stays.
void ReadSettings(NavigatorSettings& s, const QString& programDir, int screenWidth,
                  const SettingsKeys& keys = {});

// Writes back what differs from the store. The volume is written only when a wave device exists.
// Errors end the writing silently.
void WriteSettings(const NavigatorSettings& s, bool soundAvailable, const SettingsKeys& keys = {});

// "D:\" for a program in "D:\QUARX\": the default root of the demo folders.
QString DriveRootOf(const QString& programDir);
