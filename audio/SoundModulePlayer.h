#pragma once

// The DirectSound players: TCustomDxSound holds what the navigator's TMyDxSound and the
// explorer's TDXSound share (the device object, the optional primary buffer, one secondary
// buffer slot per channel, the list of waves, playing, stopping, volumes and the end-of-wave
// notifications); the two classes add their own settings, activation details and messages.

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

#include "audio/SoundModule.h"
#include "platform/BufferDevice.h"

class TAudioData;

class TCustomDxSound : public QObject {
  Q_OBJECT

 public:
  ~TCustomDxSound() override;  // deactivates, then frees the waves from the front

  TAtitude OnAtitude;

  bool Active() const { return active_; }
  // Activation creates the device object and prepares every wave; deactivation unprepares
  // them (keeping them) and releases the device. Failures reach the caller.
  void SetActive(bool value);
  int32_t MasterVolume() const { return masterVolume_; }

  // False without a request or while inactive; otherwise builds the wave (exceptions of its
  // constructor reach the caller) and returns true.
  bool AddWave(const TAudioInit* request);
  void RemoveWave(int32_t channel);  // frees the first wave on channel, if any
  void DeleteAt(int index);          // raises EListError for a position outside the list
  TAudioData* FindWave(int32_t channel) const;
  int WaveCount() const { return static_cast<int>(waves_.size()); }
  TAudioData* WaveAt(int index) const;

  bool Play(int32_t channel);
  void Stop(int32_t channel);
  // channel -1: the primary buffer.
  int32_t GetVolume(int32_t channel) const;
  void SetVolume(int32_t channel, int32_t value);

  // Runs on the main thread for every event a wave's notifier hands on.
  void PositionNotify(QObject* sender, int32_t channel, int32_t eventIndex);

  int SlotCount() const { return static_cast<int>(slots_.size()); }
  platform::BufferDevice* Device() const { return device_.get(); }
  platform::SoundBuffer* PrimaryBuffer() const { return primary_.get(); }
  uintptr_t OwnerWindow() const { return ownerWindow_; }
  // Where the waves' notifier threads post their events.
  NotifyMailbox* Mailbox() const { return mailbox_; }

 protected:
  TCustomDxSound(QObject* owner, const QString& className, int slotCount);

  // "MyDxSound" or "DXSound": the name the messages use.
  virtual QString DisplayName() const = 0;
  // The variant's device exception (EMyDxSound or EDXSound) with text.
  virtual std::exception_ptr DeviceError(const QString& text) const = 0;
  [[noreturn]] void RaiseDeviceError(const QString& text) const;
  virtual uint32_t CooperativeLevelToUse() const = 0;
  // Asks for the primary buffer after the cooperative level is set; nothing when refused.
  virtual void SetUpPrimary() = 0;
  virtual void ReleasePrimary() = 0;

  void Activate();
  void Deactivate();
  // Deactivates and frees the waves; the variants' destructors call it while their
  // overrides still stand.
  void Shutdown();

  std::unique_ptr<platform::BufferDevice> device_;
  std::unique_ptr<platform::SoundBuffer> primary_;

 private:
  friend class TAudioData;
  void AdoptWave(std::unique_ptr<TAudioData> wave);
  platform::SoundBuffer** SlotFor(int32_t channel);
  void ForgetSlot(int32_t channel, platform::SoundBuffer* buffer);
  void RaiseAtitude(int32_t channel, int32_t errorCode);

  NotifyMailbox* mailbox_;  // a child of the player
  bool active_ = false;
  uintptr_t ownerWindow_ = 0;
  std::vector<std::unique_ptr<TAudioData>> waves_;
  int32_t masterVolume_ = 0;
  std::vector<platform::SoundBuffer*> slots_;  // the buffer prepared last on each channel
};

// The navigator's player. It does not activate itself.
class TMyDxSound : public TCustomDxSound {
  Q_OBJECT

 public:
  // owner must be a form (a top-level widget); otherwise EInvalidOperation.
  explicit TMyDxSound(QObject* owner);
  ~TMyDxSound() override;

  enum Setting {
    CooperativeLevelSetting,
    SamplesPerSecSetting,
    BitsPerSampleSetting,
    ChannelsSetting
  };
  // Writing a different value to an active player deactivates it, stores the value and
  // activates it again.
  int32_t GetSetting(int index) const;
  void SetSetting(int index, int32_t value);
  int32_t CooperativeLevel() const { return GetSetting(CooperativeLevelSetting); }
  void SetCooperativeLevel(int32_t v) { SetSetting(CooperativeLevelSetting, v); }
  int32_t SamplesPerSec() const { return GetSetting(SamplesPerSecSetting); }
  void SetSamplesPerSec(int32_t v) { SetSetting(SamplesPerSecSetting, v); }
  int32_t BitsPerSample() const { return GetSetting(BitsPerSampleSetting); }
  void SetBitsPerSample(int32_t v) { SetSetting(BitsPerSampleSetting, v); }
  int32_t Channels() const { return GetSetting(ChannelsSetting); }
  void SetChannels(int32_t v) { SetSetting(ChannelsSetting, v); }

 protected:
  QString DisplayName() const override { return QStringLiteral("MyDxSound"); }
  std::exception_ptr DeviceError(const QString& text) const override;
  uint32_t CooperativeLevelToUse() const override;
  void SetUpPrimary() override;
  void ReleasePrimary() override;

 private:
  std::array<int32_t, 4> settings_{1, 22050, 8, 2};
};

// The explorer's player: activates itself when created, always at the normal cooperative
// level, plays the primary buffer (when granted) without setting its format, and has 8 slots.
class TDXSound : public TCustomDxSound {
  Q_OBJECT

 public:
  explicit TDXSound(QObject* owner);
  ~TDXSound() override;

 protected:
  QString DisplayName() const override { return QStringLiteral("DXSound"); }
  std::exception_ptr DeviceError(const QString& text) const override;
  uint32_t CooperativeLevelToUse() const override { return platform::kDssclNormal; }
  void SetUpPrimary() override;
  void ReleasePrimary() override;
};
