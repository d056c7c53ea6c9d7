// The buffer device over the process's audio output.

#include "platform/AudioSystem.h"
#include "platform/BufferDevice.h"
#include "platform/BufferDeviceCore.h"

namespace platform {

DsResult CreateDefaultBufferDevice(std::unique_ptr<BufferDevice>& device);

DsResult CreateDefaultBufferDevice(std::unique_ptr<BufferDevice>& device) {
  device.reset();
  QString error;
  std::shared_ptr<AudioOutput> output = Audio().AcquireOutput(&error);
  // A device held by another program is what DirectSound calls allocated.
  if (!output) return kDsErrAllocated;
  auto made = std::make_unique<BufferDevice>(output->Format());
  if (!made->ConnectTo(std::move(output))) return kDsErrAllocated;
  device = std::move(made);
  return kDsOk;
}

BufferDevice::~BufferDevice() {
  // Once the source is removed the output never renders this device again.
  if (output_ && sourceId_ >= 0) output_->RemoveSource(sourceId_);
}

bool BufferDevice::ConnectTo(std::shared_ptr<AudioOutput> output) {
  if (!output || output_) return false;
  bufferdevice::Core* core = core_.get();
  const int id = output->AddSource([core](uint8_t* out, size_t bytes) {
    std::lock_guard lock(core->mutex);
    core->Render(out, bytes);
  });
  if (id < 0) return false;
  output_ = std::move(output);
  sourceId_ = id;
  return true;
}

}  // namespace platform
