#include <QWidget>
#include <algorithm>

#include "audio/SoundModule.h"

using platform::DsFailed;

namespace {

// The owner must be a form: a top-level widget.
QObject* CheckedOwner(QObject* owner, const QString& className) {
  auto* widget = qobject_cast<QWidget*>(owner);
  if (!widget || !widget->isWindow()) {
    throw EInvalidOperation(
        QStringLiteral("O Owner do %1 não é do tipo TCustomForm").arg(className));
  }
  return owner;
}

}  // namespace

// ---- TCustomDxSound -----------------------------------------------------------------------

TCustomDxSound::TCustomDxSound(QObject* owner, const QString& className, int slotCount)
    : QObject(CheckedOwner(owner, className)),
      mailbox_(new NotifyMailbox(this)),
      ownerWindow_(reinterpret_cast<uintptr_t>(owner)),
      slots_(static_cast<size_t>(slotCount), nullptr) {}

TCustomDxSound::~TCustomDxSound() {
  // The variants have shut down already; whatever is left goes without device calls.
  while (!waves_.empty()) DeleteAt(0);
}

void TCustomDxSound::Shutdown() {
  // A failing deactivation must not keep the waves (and their threads) alive.
  try {
    SetActive(false);
  } catch (const std::exception&) {
  }
  while (!waves_.empty()) DeleteAt(0);
  primary_.reset();
  device_.reset();
  active_ = false;
}

void TCustomDxSound::RaiseDeviceError(const QString& text) const {
  std::rethrow_exception(DeviceError(text));
}

void TCustomDxSound::SetActive(bool value) {
  if (value == active_) return;
  if (value) {
    Activate();
  } else {
    Deactivate();
  }
}

void TCustomDxSound::Activate() {
  platform::DsResult result = platform::CreateBufferDevice(device_);
  const auto failure = [this](platform::DsResult r) {
    device_.reset();
    RaiseDeviceError(QStringLiteral("Falha ao criar interface para DSound: (%1)").arg(r & 0xFFFF));
  };
  if (DsFailed(result) || !device_) failure(result);
  result = device_->SetCooperativeLevel(ownerWindow_, CooperativeLevelToUse());
  if (DsFailed(result)) failure(result);
  SetUpPrimary();
  active_ = true;
  masterVolume_ = GetVolume(-1);
  for (const auto& wave : waves_) wave->SetPrepared(true);
}

void TCustomDxSound::Deactivate() {
  for (const auto& wave : waves_) wave->SetPrepared(false);
  ReleasePrimary();
  device_.reset();
  active_ = false;
}

bool TCustomDxSound::AddWave(const TAudioInit* request) {
  if (!request || !active_) return false;
  TAudioData::Create(this, *request, DisplayName());
  return true;
}

void TCustomDxSound::AdoptWave(std::unique_ptr<TAudioData> wave) {
  waves_.push_back(std::move(wave));
}

void TCustomDxSound::RemoveWave(int32_t channel) {
  for (size_t i = 0; i < waves_.size(); ++i) {
    if (waves_[i]->Channel() == channel) {
      DeleteAt(static_cast<int>(i));
      return;
    }
  }
}

void TCustomDxSound::DeleteAt(int index) {
  if (index < 0 || index >= static_cast<int>(waves_.size())) {
    throw EListError::IndexOutOfBounds(index);
  }
  // Out of the list first, so that nothing finds the wave while it is being freed.
  std::unique_ptr<TAudioData> wave = std::move(waves_[static_cast<size_t>(index)]);
  waves_.erase(waves_.begin() + index);
  waves_.shrink_to_fit();
  wave.reset();
}

TAudioData* TCustomDxSound::FindWave(int32_t channel) const {
  for (const auto& wave : waves_) {
    if (wave->Channel() == channel) return wave.get();
  }
  return nullptr;
}

TAudioData* TCustomDxSound::WaveAt(int index) const {
  if (index < 0 || index >= static_cast<int>(waves_.size())) return nullptr;
  return waves_[static_cast<size_t>(index)].get();
}

platform::SoundBuffer** TCustomDxSound::SlotFor(int32_t channel) {
  // Channels outside the slots are refused rather than written past the table.
  if (channel < 0 || channel >= static_cast<int32_t>(slots_.size())) return nullptr;
  return &slots_[static_cast<size_t>(channel)];
}

void TCustomDxSound::ForgetSlot(int32_t channel, platform::SoundBuffer* buffer) {
  platform::SoundBuffer** slot = SlotFor(channel);
  if (slot && *slot == buffer) *slot = nullptr;
}

bool TCustomDxSound::Play(int32_t channel) {
  TAudioData* wave = FindWave(channel);
  if (!wave) return false;
  if (!active_) SetActive(true);
  if (!active_)
    RaiseDeviceError(QStringLiteral("%1 não está operacional. (%2)").arg(DisplayName()).arg(1));
  const uint32_t flags = wave->Streaming() || wave->Loop() ? platform::kDsbPlayLooping : 0;
  const auto notReady = [] {
    throw EAudioData(QStringLiteral("AudioData não está pronto. (%1)").arg(1));
  };
  if (!wave->Prepared()) wave->SetPrepared(true);
  if (!wave->Prepared()) notReady();
  if (wave->Buffer()->Play(flags) != platform::kDsErrBufferLost) return true;
  // Lost to another program: build the buffer again and retry once.
  wave->SetPrepared(false);
  wave->SetPrepared(true);
  if (!wave->Prepared()) notReady();
  if (!DsFailed(wave->Buffer()->Play(flags))) return true;
  RaiseDeviceError(QStringLiteral("%1 não está operacional. (%2)").arg(DisplayName()).arg(2));
}

void TCustomDxSound::Stop(int32_t channel) {
  TAudioData* wave = FindWave(channel);
  if (!wave || !active_ || !wave->Prepared()) return;
  uint32_t status = 0;
  if (!DsFailed(wave->Buffer()->GetStatus(status)) && (status & platform::kDsbStatusPlaying)) {
    (void)wave->Buffer()->Stop();
  }
}

int32_t TCustomDxSound::GetVolume(int32_t channel) const {
  constexpr int32_t kUnknown = -10001;
  if (!active_) return kUnknown;
  int32_t volume = 0;
  if (channel == -1) {
    if (!primary_) return 0;
    const platform::DsResult r = primary_->GetVolume(volume);
    if (r == platform::kDsErrControlUnavail) return 0;
    return DsFailed(r) ? kUnknown : volume;
  }
  TAudioData* wave = FindWave(channel);
  if (!wave || !wave->Prepared() || DsFailed(wave->Buffer()->GetVolume(volume))) return kUnknown;
  return volume;
}

void TCustomDxSound::SetVolume(int32_t channel, int32_t value) {
  const int32_t v = std::clamp(value, platform::kDsbVolumeMin, platform::kDsbVolumeMax);
  if (channel == -1) {
    if (!active_) return;
    if (!primary_ || DsFailed(primary_->SetVolume(v))) {
      for (const auto& wave : waves_) SetVolume(wave->Channel(), v);
    }
    masterVolume_ = v;
    return;
  }
  TAudioData* wave = FindWave(channel);
  if (wave && wave->Prepared()) wave->SetVolumeOnBuffer(v);
}

void TCustomDxSound::RaiseAtitude(int32_t channel, int32_t errorCode) {
  if (!OnAtitude) return;
  try {
    OnAtitude(this, channel, errorCode);
  } catch (const std::exception&) {
    // The owner's handler runs inside a notification; its failures stay there.
  }
}

void TCustomDxSound::PositionNotify(QObject* sender, int32_t channel, int32_t eventIndex) {
  Q_UNUSED(sender);
  TAudioData* wave = FindWave(channel);
  if (!wave || !wave->Prepared()) return;
  // Noted first: the wave may be freed below.
  const bool notify = wave->Notify();
  bool ended = false;
  try {
    if (wave->HandleNotification(eventIndex) == TAudioData::Outcome::Ended) {
      ended = true;
      if (wave->FreeAfterPlay()) {
        RemoveWave(channel);
        wave = nullptr;
      } else if (wave->Loop()) {
        Play(channel);
      }
    }
  } catch (const std::exception&) {
    if (wave) {
      wave->ReleaseBuffer();
      wave->prepared_ = false;
    }
    if (notify) RaiseAtitude(channel, 1);
    RemoveWave(channel);
    return;
  }
  if (ended && notify) RaiseAtitude(channel, 0);
}

// ---- TMyDxSound -----------------------------------------------------------------------------

TMyDxSound::TMyDxSound(QObject* owner) : TCustomDxSound(owner, QStringLiteral("TMyDxSound"), 16) {}

TMyDxSound::~TMyDxSound() {
  Shutdown();
}

std::exception_ptr TMyDxSound::DeviceError(const QString& text) const {
  return std::make_exception_ptr(EMyDxSound(text));
}

uint32_t TMyDxSound::CooperativeLevelToUse() const {
  return static_cast<uint32_t>(settings_[CooperativeLevelSetting]);
}

int32_t TMyDxSound::GetSetting(int index) const {
  if (index < 0 || index >= static_cast<int>(settings_.size())) return 0;
  return settings_[static_cast<size_t>(index)];
}

void TMyDxSound::SetSetting(int index, int32_t value) {
  if (index < 0 || index >= static_cast<int>(settings_.size())) return;
  auto& setting = settings_[static_cast<size_t>(index)];
  if (setting == value) return;
  if (Active()) {
    SetActive(false);
    setting = value;
    SetActive(true);
  } else {
    setting = value;
  }
}

void TMyDxSound::SetUpPrimary() {
  const int32_t channels = settings_[ChannelsSetting];
  const int32_t rate = settings_[SamplesPerSecSetting];
  const int32_t bits = settings_[BitsPerSampleSetting];
  platform::WaveFormatEx format;
  format.FormatTag = 1;
  format.Channels = static_cast<uint16_t>(channels);
  format.SamplesPerSec = static_cast<uint32_t>(rate);
  format.BitsPerSample = static_cast<uint16_t>(bits);
  format.BlockAlign = static_cast<uint16_t>(channels * (bits / 8));
  format.AvgBytesPerSec = static_cast<uint32_t>(format.BlockAlign) * format.SamplesPerSec;
  format.CbSize = 0;
  platform::BufferDesc desc{20, platform::kDsbCapsPrimaryBuffer, 0, 0, nullptr};
  if (DsFailed(device_->CreateSoundBuffer(desc, primary_))) {
    primary_.reset();
    return;
  }
  (void)primary_->SetFormat(format);  // a refused format leaves the device's own
  (void)primary_->Play(platform::kDsbPlayLooping);
}

void TMyDxSound::ReleasePrimary() {
  if (primary_) (void)primary_->Stop();
  primary_.reset();
}

// ---- TDXSound -------------------------------------------------------------------------------

TDXSound::TDXSound(QObject* owner) : TCustomDxSound(owner, QStringLiteral("TDXSound"), 8) {
  SetActive(true);
}

TDXSound::~TDXSound() {
  Shutdown();
}

std::exception_ptr TDXSound::DeviceError(const QString& text) const {
  return std::make_exception_ptr(EDXSound(text));
}

void TDXSound::SetUpPrimary() {
  platform::BufferDesc desc{20, platform::kDsbCapsPrimaryBuffer, 0, 0, nullptr};
  if (DsFailed(device_->CreateSoundBuffer(desc, primary_))) {
    primary_.reset();
    return;
  }
  (void)primary_->Play(platform::kDsbPlayLooping);
}

void TDXSound::ReleasePrimary() {
  // Released without being stopped.
  primary_.reset();
}
