#include "platform/VirtualAudioOutput.h"

namespace platform {

void VirtualAudioOutput::Pull(size_t bytes, QByteArray* out) {
  if (paused_) return;
  const auto frame = static_cast<size_t>(format_.BytesPerFrame());
  bytes -= bytes % frame;
  if (bytes == 0) return;
  const qsizetype at = out ? out->size() : 0;
  if (out) {
    out->resize(at + static_cast<qsizetype>(bytes));
    bus_.Render(reinterpret_cast<uint8_t*>(out->data()) + at, bytes);
  } else {
    if (scratch_.size() < bytes) scratch_.resize(bytes);
    bus_.Render(scratch_.data(), bytes);
  }
  rendered_ += bytes;
}

VirtualAudioSystem::VirtualAudioSystem(const AudioFormat& streamFormat) : format_(streamFormat) {
  AudioDeviceInfo info;
  info.Name = QStringLiteral("Virtual Wave Out");
  devices_.push_back(info);
}

AudioDeviceInfo VirtualAudioSystem::OutputDevice(int index) {
  if (index < 0 || index >= static_cast<int>(devices_.size())) return {};
  return devices_[static_cast<size_t>(index)];
}

std::shared_ptr<AudioOutput> VirtualAudioSystem::AcquireOutput(QString* error) {
  if (auto open = output_.lock()) return open;
  if (held_ || devices_.empty()) {
    if (error) *error = QStringLiteral("device held by another program");
    return nullptr;
  }
  auto output = std::make_shared<VirtualAudioOutput>(format_);
  output_ = output;
  ++openCount_;
  return output;
}

void VirtualAudioSystem::AdvanceMs(uint32_t deltaMs) {
  clock_.Advance(deltaMs);
  elapsedMs_ += deltaMs;
  const uint64_t frames = elapsedMs_ * static_cast<uint64_t>(format_.rateHz) / 1000;
  const uint64_t newFrames = frames - framesDone_;
  framesDone_ = frames;
  if (newFrames > 0) PullBytes(static_cast<size_t>(newFrames) * format_.BytesPerFrame());
}

void VirtualAudioSystem::PullBytes(size_t bytes) {
  auto output = output_.lock();
  if (!output) return;
  output->Pull(bytes, capture_ ? &captured_ : nullptr);
}

QByteArray VirtualAudioSystem::TakeOutput() {
  QByteArray out;
  out.swap(captured_);
  return out;
}

}  // namespace platform
