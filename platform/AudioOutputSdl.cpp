#include "platform/AudioOutputSdl.h"

#include <SDL.h>

#include <QCoreApplication>
#include <QTimer>

namespace platform {

std::unique_ptr<AudioOutputSdl> AudioOutputSdl::Open(const AudioFormat& format, QString* error) {
  std::unique_ptr<AudioOutputSdl> out(new AudioOutputSdl(format));
  SDL_AudioSpec want{};
  want.freq = format.rateHz;
  want.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  want.channels = static_cast<Uint8>(format.channels);
  want.samples = 512;  // about 23 ms at 22050 Hz
  want.callback = [](void* user, Uint8* stream, int len) { Callback(user, stream, len); };
  want.userdata = out.get();
  SDL_AudioSpec have{};
  out->device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (out->device_ == 0) {
    if (error) *error = QString::fromUtf8(SDL_GetError());
    return nullptr;
  }
  SDL_PauseAudioDevice(out->device_, 0);
  return out;
}

AudioOutputSdl::~AudioOutputSdl() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for the callback to return
}

void AudioOutputSdl::SetPaused(bool paused) {
  SDL_PauseAudioDevice(device_, paused ? 1 : 0);
}

void AudioOutputSdl::Callback(void* user, uint8_t* stream, int len) {
  auto* self = static_cast<AudioOutputSdl*>(user);
  const auto bytes = static_cast<size_t>(len);
  self->bus_.Render(stream, bytes);
  self->rendered_.fetch_add(bytes, std::memory_order_relaxed);
}

SdlAudioSystem::~SdlAudioSystem() {
  closer_.reset();
  stream_.reset();
  if (inited_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudioSystem::EnsureInit() {
  if (initTried_) return inited_;
  initTried_ = true;
  driverChosen_ = !qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER");
  // SDL would otherwise take SIGTERM and SIGINT for an event queue nobody reads, and the
  // program could no longer be ended from outside.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
    inited_ = true;
  } else if (!driverChosen_) {
    return SwitchToDummy();
  }
  if (inited_) driver_ = QString::fromUtf8(SDL_GetCurrentAudioDriver());
  return inited_;
}

bool SdlAudioSystem::SwitchToDummy() {
  if (inited_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  inited_ = false;
  SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
    inited_ = true;
    driver_ = QString::fromUtf8(SDL_GetCurrentAudioDriver());
  }
  return inited_;
}

int SdlAudioSystem::OutputDeviceCount() {
  return EnsureInit() ? 1 : 0;
}

AudioDeviceInfo SdlAudioSystem::OutputDevice(int index) {
  AudioDeviceInfo info;
  if (index != 0 || !EnsureInit()) return info;
  info.Name = QStringLiteral("%1 output").arg(driver_).left(31);
  return info;
}

std::shared_ptr<AudioOutput> SdlAudioSystem::AcquireOutput(QString* error) {
  if (!stream_) {
    if (!EnsureInit()) {
      if (error) *error = QString::fromUtf8(SDL_GetError());
      return nullptr;
    }
    stream_ = AudioOutputSdl::Open(StreamFormat(), error);
    // The default driver started but has no device at all: run silently on the dummy one.
    if (!stream_ && !driverChosen_ && driver_ != QLatin1String("dummy") &&
        SDL_GetNumAudioDevices(0) <= 0 && SwitchToDummy()) {
      stream_ = AudioOutputSdl::Open(StreamFormat(), error);
    }
    if (!stream_) return nullptr;
  }
  ++users_;
  return std::shared_ptr<AudioOutput>(stream_.get(), [this](AudioOutput*) { Release(); });
}

void SdlAudioSystem::Release() {
  if (--users_ > 0) return;
  if (!QCoreApplication::instance()) {
    stream_.reset();
    return;
  }
  if (!closer_) closer_ = std::make_unique<QObject>();
  QTimer::singleShot(0, closer_.get(), [this] {
    if (users_ == 0) stream_.reset();
  });
}

}  // namespace platform
