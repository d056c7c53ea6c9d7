#include "navigator/Settings.h"

#include <QSettings>
#include <optional>

#include "common/Messages.h"
#include "navigator/Volume.h"
#include "platform/SettingsStore.h"

namespace {

const QString kVer = QStringLiteral("KVRVer");
const QString kDemosDrive = QStringLiteral("DemosDrive");
const QString kPerso = QStringLiteral("Perso01");
const QString kVolume = QStringLiteral("VolumeLevel");

// A stored integer: the registry's DWORD, or its text in an INI store. Nothing when the value
// holds something else, which ends a read or a write as a registry error would.
std::optional<int> ReadInteger(const QSettings& store, const QString& name) {
  const QVariant v = store.value(name);
  bool ok = false;
  const int n = v.toString().trimmed().toInt(&ok);
  if (!ok) return std::nullopt;
  return n;
}

void GreetNewEdition(int screenWidth) {
  ShowAppMessage(38, QString::number(screenWidth));
}

}  // namespace

int NavigatorSettings::PreferenceWord() const {
  return (HintsShown ? 2 : 0) | (MusicWanted ? 1 : 0) | (BeamEffect ? 4 : 0) |
         (AlignAlternate ? 0 : 8);
}

void NavigatorSettings::ApplyPreferenceWord(int word) {
  MusicWanted = (word & 1) != 0;
  HintsShown = (word & 2) != 0;
  BeamEffect = (word & 4) != 0;
  AlignAlternate = (word & 8) == 0;
}

QString DriveRootOf(const QString& programDir) {
  if (programDir.size() >= 2 && programDir.at(1) == QLatin1Char(':'))
    return programDir.left(2) + QLatin1Char('\\');
  if (programDir.startsWith(QLatin1String("\\\\"))) {
    // "\\server\share\" is the drive of a network path.
    const int server = programDir.indexOf(QLatin1Char('\\'), 2);
    const int share = server < 0 ? -1 : programDir.indexOf(QLatin1Char('\\'), server + 1);
    return share < 0 ? programDir + QLatin1Char('\\') : programDir.left(share + 1);
  }
  return QStringLiteral("\\");
}

void ReadSettings(NavigatorSettings& s, const QString& programDir, int screenWidth,
                  const SettingsKeys& keys) {
  s.ApplyPreferenceWord(kPresetPreferenceWord);

  platform::UserKey store = platform::OpenUserKey(keys.Organisation, keys.Preferred,
                                                           /*create=*/false);
  if (!store) {
    store = platform::OpenUserKey(keys.Organisation, keys.Fallback, /*create=*/true);
    if (!store) return;
    if (store->contains(kVer)) {
      const std::optional<int> ver = ReadInteger(*store, kVer);
      if (!ver) return;
      if (*ver != kEditionMarker) {
        GreetNewEdition(screenWidth);
        for (const QString& name : store->childKeys()) store->remove(name);
        store->setValue(kVer, kEditionMarker);
      }
    } else {
      GreetNewEdition(screenWidth);
      store->setValue(kVer, kEditionMarker);
    }
  }

  if (store->contains(kDemosDrive)) {
    // A root without a drive (left by a run from a folder on no drive) would send every demo
    // path nowhere and the "other drive" search could not mend it: the caller's default
    // takes its place and is written back at shutdown.
    const QString stored = store->value(kDemosDrive).toString();
    if (DriveRootOf(stored) != QLatin1String("\\")) s.DemosRoot = stored;
  } else {
    store->setValue(kDemosDrive, DriveRootOf(programDir));
  }

  if (store->contains(kPerso)) {
    const std::optional<int> word = ReadInteger(*store, kPerso);
    if (!word) return;
    s.ApplyPreferenceWord(*word);
  } else {
    store->setValue(kPerso, kPresetPreferenceWord);
    s.ApplyPreferenceWord(kPresetPreferenceWord);
  }

  if (store->contains(kVolume)) {
    const std::optional<int> level = ReadInteger(*store, kVolume);
    if (!level) return;
    s.VolumeLevel = ClampVolumeLevel(*level);
  } else {
    store->setValue(kVolume, s.VolumeLevel);
    s.VolumeLevel = kVolumeUnset;
  }
  // Written once at the end: each write to the store costs a flush to disc. The store writes
  // what it holds when it goes out of scope as well; a failed write changes nothing read.
  store->sync();
}

void WriteSettings(const NavigatorSettings& s, bool soundAvailable, const SettingsKeys& keys) {
  platform::UserKey store = platform::OpenUserKey(keys.Organisation, keys.Preferred,
                                                           /*create=*/false);
  if (!store) store = platform::OpenUserKey(keys.Organisation, keys.Fallback, /*create=*/false);
  if (!store) return;

  // Compared exactly: the root moves to another drive when the demos are found there.
  if (!store->contains(kDemosDrive) || store->value(kDemosDrive).toString() != s.DemosRoot)
    store->setValue(kDemosDrive, s.DemosRoot);

  const int word = s.PreferenceWord();
  if (store->contains(kPerso)) {
    const std::optional<int> stored = ReadInteger(*store, kPerso);
    if (!stored) return;
    if (*stored != word) store->setValue(kPerso, word);
  } else {
    store->setValue(kPerso, word);
  }

  if (!soundAvailable) return;
  // An unset level never reaches the store: the device gave none.
  if (s.VolumeLevel < 0) return;
  if (store->contains(kVolume)) {
    const std::optional<int> stored = ReadInteger(*store, kVolume);
    if (!stored) return;
    if (*stored == s.VolumeLevel) return;
  }
  store->setValue(kVolume, s.VolumeLevel);
}
