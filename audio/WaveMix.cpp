#include "audio/WaveMix.h"

TWaveMix::TWaveMix(QObject* owner) : QObject(owner) {
  try {
    session_ = WaveMixInit();
  } catch (const EWaveMixError&) {
    session_ = nullptr;
  }
  if (!session_) throw EWaveMixError(QStringLiteral("Initialization failed (WaveMixInit)"));
  params_.Size = 24;
  params_.Session = session_;
}

TWaveMix::TWaveMix(const TMixConfig& config, QObject* owner) : QObject(owner) {
  try {
    session_ = WaveMixConfigureInit(&config);
  } catch (const EWaveMixError&) {
    session_ = nullptr;
  }
  if (!session_) {
    throw EWaveMixError(QStringLiteral("Initialization failed (WaveMixConfigureInit)"));
  }
  params_.Size = 24;
  params_.Session = session_;
}

TWaveMix::~TWaveMix() {
  try {
    SetChannels(0);
    SetActivated(false);
    MixCloseSession(session_);
  } catch (...) {
    // Nothing to report to while being destroyed.
  }
}

void TWaveMix::SetActivated(bool value) {
  if (value == activated_) return;
  MixActivate(session_, value);
  activated_ = value;
}

void TWaveMix::SetChannels(uint8_t mask) {
  if (mask == channels_) return;
  if (mask == 0xFF) {
    MixOpenChannel(session_, 0, kMixOpenAll);
  } else if (mask == 0) {
    MixCloseChannel(session_, 0, kMixAllChannels);
  } else {
    const unsigned changed = unsigned(mask ^ channels_);
    for (int ch = 0; ch < kMixChannels; ++ch) {
      if (!((changed >> ch) & 1u)) continue;
      if ((mask >> ch) & 1u) {
        MixOpenChannel(session_, ch, kMixOpenOne);
      } else {
        MixCloseChannel(session_, ch, 0);
      }
    }
  }
  channels_ = mask;
}

TMixWave* TWaveMix::OpenWave(const QString& fileName) {
  TMixWaveSource source;
  source.Kind = kMixSourceFile;
  source.FileName = fileName;
  return MixOpenWave(session_, source);
}

void TWaveMix::FreeWave(TMixWave* wave) {
  MixFreeWave(session_, wave);
}

void TWaveMix::FlushChannel(int channel, bool noRemix) {
  MixFlushChannel(session_, channel, noRemix ? kMixNoRemix : 0);
}

void TWaveMix::Play(int channel, TMixWave* wave, uint16_t loops, uint32_t flags, QObject* window) {
  params_.Session = session_;
  params_.Channel = channel;
  params_.Wave = wave;
  params_.Loops = loops;
  params_.Flags = flags;
  params_.Window = window;
  MixPlay(params_);
}

void TWaveMix::Volume(uint16_t& left, uint16_t& right, bool set) {
  const int device = session_ ? session_->DeviceId : 0;
  if (set) {
    platform::WaveOutSetVolume(device, uint32_t(left) | uint32_t(right) << 16);
    return;
  }
  uint32_t volume = 0;
  if (platform::WaveOutGetVolume(device, &volume) != platform::kMmNoError) return;
  left = uint16_t(volume & 0xFFFF);
  right = uint16_t(volume >> 16);
}

void TWaveMix::SetWaveNotify(TWaveNotify handler) {
  MixSetNotifyHandler(std::move(handler));
}

TWaveNotify TWaveMix::GetWaveNotify() {
  return MixNotifyHandler();
}
