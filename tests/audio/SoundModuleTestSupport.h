#pragma once

// Shared pieces of the player's tests: WAVE files built in memory, a buffer device the test
// renders by hand, an owner form, scripted dialogs and waiting for the notifier threads.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "audio/SoundModule.h"
#include "platform/BufferDevice.h"
#include "platform/Dialogs.h"
#include "platform/VirtualAudioOutput.h"

namespace soundtest {

struct WaveSpec {
  uint16_t tag = 1;
  uint16_t channels = 2;
  uint32_t rate = 22050;
  uint16_t bits = 16;
  QByteArray data;
  QByteArray before;  // bytes in front of "RIFF"
  QByteArray after;   // bytes behind the data chunk (another chunk, say)
  bool withFormat = true;
};

QByteArray MakeWave(const WaveSpec& spec);
// Data of frames 16-bit stereo frames that tell their own position: left = frame, right =
// ~frame (both as 16-bit values).
QByteArray CountingData(uint32_t frames, uint32_t firstFrame = 0);
// Bytes of a WAVE header in front of its data: 44 for MakeWave without extras.
constexpr int kHeaderBytes = 44;

// Runs the event loop until pred holds (or timeoutMs passes); no sleeping.
bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 10000);

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  QString WriteWave(const QString& name, const WaveSpec& spec);
  TAudioInit Request(const QString& file, int channel, bool notify = false, bool loop = false,
                     bool freeAfterPlay = false) const;

  // Renders bytes of output in steps of stepBytes, letting every notification be handled
  // after each step.
  QByteArray Render(size_t bytes, size_t stepBytes = 8192);
  // Waits until every wave's notifier has handed on all it was signalled.
  void Settle();

  // The virtual sound device: the stream in the player's preferred format; tests mark it as
  // held by another program with audio.SetHeld.
  platform::VirtualAudioSystem audio{platform::AudioFormat{22050, 2, 16}};
  int DevicesMade() const { return audio.OpenCount(); }

  QTemporaryDir dir;
  std::unique_ptr<QWidget> form;
  std::unique_ptr<TMyDxSound> player;
  platform::ScopedScriptedDialogs dialogs;

  struct Atitude {
    int channel;
    int code;
  };
  std::vector<Atitude> atitudes;
  void Listen(TCustomDxSound& p);
  // The navigator's player at 16 bits, active, with the test listening to it.
  void StartSixteenBitPlayer() {
    player = std::make_unique<TMyDxSound>(form.get());
    player->SetBitsPerSample(16);
    player->SetActive(true);
    Listen(*player);
  }
};

}  // namespace soundtest
