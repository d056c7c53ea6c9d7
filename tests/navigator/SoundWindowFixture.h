#pragma once

// The main window on a copy of the sample disc whose sounds are replaced by steady tones, one
// value per sound, played on a virtual sound card: a test finds each sound in the output by its
// value. The card renders in steps of 10 ms; the window's events, the player's notifier threads
// and the music loader are let finish after each step, so the order is that of a fast machine.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QSettings>
#include <QTimer>
#include <vector>

#include "MainWindowFixture.h"
#include "audio/SoundModule.h"
#include "audio/SoundModuleAudioData.h"
#include "audio/SoundModuleNotify.h"
#include "audio/WaveMix.h"
#include "controls/Transbut.h"
#include "navigator/LoadWaveThread.h"
#include "platform/Timer.h"
#include "platform/VirtualAudioOutput.h"

namespace soundwindow {

// A copy of the disc's folders (copies, not links: the CD-ROM drive follows no links).
inline bool CopyTree(const QString& from, const QString& to) {
  QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  if (!QDir().mkpath(to)) return false;
  while (it.hasNext()) {
    const QString path = it.next();
    const QString target = to + path.mid(from.size());
    if (it.fileInfo().isDir()) {
      if (!QDir().mkpath(target)) return false;
    } else if (!QFile::copy(path, target)) {
      return false;
    }
  }
  return true;
}

// A 22050 Hz 16-bit stereo WAVE holding one value for ms milliseconds. Values that are whole
// multiples of 256 pass the mixer's 8 bits unchanged.
inline QByteArray SteadyWave(int16_t value, int ms) {
  const int frames = 22050 * ms / 1000;
  QByteArray data;
  for (int i = 0; i < frames * 2; ++i) {
    data.append(char(value & 0xFF));
    data.append(char((uint16_t(value) >> 8) & 0xFF));
  }
  auto le = [](QByteArray& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.append(char((v >> (8 * i)) & 0xFF));
  };
  QByteArray w("RIFF");
  le(w, uint32_t(36 + data.size()), 4);
  w += "WAVEfmt ";
  le(w, 16, 4);
  le(w, 1, 2);
  le(w, 2, 2);
  le(w, 22050, 4);
  le(w, 22050 * 4, 4);
  le(w, 4, 2);
  le(w, 16, 2);
  w += "data";
  le(w, uint32_t(data.size()), 4);
  return w + data;
}

// The value of effect i, and of the two theme tracks.
inline int16_t EffectValue(int i) {
  return int16_t((i + 1) * 1024);
}
constexpr int16_t kTheme1 = -8192;
constexpr int16_t kTheme2 = -16384;
constexpr int kEffectMs = 100;

// A stretch of one value in the output (left channel), in frames.
struct Stretch {
  int value;
  int start;
  int length;
};

enum class BackEnd { Player, Mixer };

class SoundWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (IsSkipped()) return;
    platform::SetAudioSystem(&card_);
  }
  void TearDown() override {
    fm_.reset();
    platform::SetAudioSystem(nullptr);
  }

  // The disc with the effects as steady values and the given theme files (name, wave).
  QString MakeDisc(const std::vector<std::pair<QString, QByteArray>>& themes) {
    const QString root = disc_root_.path();
    EXPECT_TRUE(CopyTree(disc_ + "/QUARX", root + "/QUARX"));
    EXPECT_TRUE(CopyTree(disc_ + "/SHAREDIR", root + "/SHAREDIR"));
    const QString waves = root + "/QUARX/Resour/waves/";
    QDir(waves).removeRecursively();
    QDir().mkpath(waves);
    for (int i = 0; i < kEffectCount; ++i) {
      QString name = QFileInfo(EffectName(i)).fileName();
      testsupport::WriteFile(waves + name, SteadyWave(EffectValue(i), kEffectMs));
    }
    for (const auto& [name, bytes] : themes) testsupport::WriteFile(waves + name, bytes);
    return root;
  }
  static QString EffectName(int i) {
    static const char* const names[] = {"MiniBts", "Details", "GetBack",  "fnext", "fback",
                                        "CapOpen", "panelin", "panelout", "1gen",  "2gen",
                                        "3gen",    "4gen",    "5gen"};
    return QString::fromLatin1(names[i]) + ".wav";
  }

  // Stored preferences: full volume (so values reach the output unchanged) and the music
  // switch as given.
  void Seed(bool musicWanted) {
    QSettings kvr(QSettings::NativeFormat, QSettings::UserScope, "velOrbint", "KVR");
    kvr.setValue("KVRVer", 9);
    kvr.setValue("VolumeLevel", 99);
    kvr.setValue("Perso01", musicWanted ? 15 : 14);
  }

  // Starts the window with the given back-end in charge: the mixer is what remains when the
  // device is held at start-up and comes free two seconds later.
  void StartWith(BackEnd backEnd, const QString& root) {
    card_.SetHeld(backEnd == BackEnd::Mixer);
    fm_ = Start("800x600x32", root, moreOptions_);
    ASSERT_FALSE(fm_->Terminated());
    if (backEnd == BackEnd::Mixer) {
      ASSERT_TRUE(fm_->Mixer);
      card_.SetHeld(false);
      clock_.Advance(2000);
      ASSERT_TRUE(fm_->TurnWave->Tick());
      ASSERT_TRUE(fm_->Mixer->Activated());
      dialogs_->Clear();
    } else {
      ASSERT_TRUE(fm_->SoundPlayer);
      ASSERT_TRUE(fm_->SoundPlayer->Active());
    }
    Settle();
    FinishOpening(*fm_);
    // The opening's first frame sounded "panelin" on a player that was already running; the
    // tests start after it.
    if (backEnd == BackEnd::Player) Render(kEffectMs + 20);
    Settle();
  }

  // Lets the window's events, the notifier threads and the music loader finish.
  void Settle() {
    for (int round = 0; round < 4; ++round) {
      if (fm_ && fm_->MusicLoader()) fm_->MusicLoader()->wait();
      QCoreApplication::processEvents();
      if (fm_ && fm_->SoundPlayer) {
        QElapsedTimer waited;
        waited.start();
        while (!NotifiersIdle() && waited.elapsed() < 5000)
          QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      }
      QCoreApplication::processEvents();
    }
  }
  bool NotifiersIdle() const {
    for (int i = 0; i < fm_->SoundPlayer->WaveCount(); ++i) {
      const TWaveThreadNotify* n = fm_->SoundPlayer->WaveAt(i)->Notifier();
      if (n && !n->Idle()) return false;
    }
    return true;
  }

  // Renders ms of sound (left channel, one value per frame); silence while no stream is open.
  std::vector<int> Render(int ms) {
    std::vector<int> left;
    for (int t = 0; t < ms; t += 10) {
      const uint64_t before = framesRendered_;
      framesRendered_ = (elapsedMs_ += 10) * 22050 / 1000;
      card_.AdvanceMs(10);
      const QByteArray out = card_.TakeOutput();
      for (qsizetype i = 0; i + 3 < out.size(); i += 4)
        left.push_back(int16_t(uint16_t(uint8_t(out[i]) | (uint8_t(out[i + 1]) << 8))));
      left.resize(left.size() + size_t(framesRendered_ - before) - size_t(out.size() / 4), 0);
      Settle();
    }
    return left;
  }

  // The stretches of at least minFrames equal values, silence included.
  static std::vector<Stretch> Runs(const std::vector<int>& s, int minFrames = 200) {
    std::vector<Stretch> runs;
    for (size_t i = 0; i < s.size();) {
      size_t j = i;
      while (j < s.size() && s[j] == s[i]) ++j;
      if (int(j - i) >= minFrames) runs.push_back({s[i], int(i), int(j - i)});
      i = j;
    }
    return runs;
  }
  // The sounding values in order, silence left out and repeats of one value joined.
  static std::vector<int> Sequence(const std::vector<int>& s) {
    std::vector<int> seq;
    for (const Stretch& r : Runs(s))
      if (r.value != 0 && (seq.empty() || seq.back() != r.value)) seq.push_back(r.value);
    return seq;
  }
  static bool Silent(const std::vector<int>& s, size_t from = 0) {
    for (size_t i = from; i < s.size(); ++i)
      if (s[i] != 0) return false;
    return true;
  }

  TGButton* Button(const char* name) {
    return qobject_cast<TGButton*>(fm_->Control(QString::fromLatin1(name)));
  }

  platform::VirtualAudioSystem card_;
  std::function<void(NavigatorOptions&)> moreOptions_;  // for StartWith
  QTemporaryDir disc_root_;
  std::unique_ptr<TfmMain> fm_;
  uint64_t elapsedMs_ = 0;
  uint64_t framesRendered_ = 0;
};

}  // namespace soundwindow
