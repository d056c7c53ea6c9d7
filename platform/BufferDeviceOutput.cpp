// The buffer device over the process's audio output.

#include "platform/BufferDevice.h"
#include "platform/BufferDeviceCore.h"

namespace platform {

DsResult CreateDefaultBufferDevice(std::unique_ptr<BufferDevice>& device);

// Until the process's output can be had here, the default device has no driver.
DsResult CreateDefaultBufferDevice(std::unique_ptr<BufferDevice>& device) {
  device.reset();
  return kDsErrNoDriver;
}

BufferDevice::~BufferDevice() = default;

bool BufferDevice::ConnectTo(std::shared_ptr<AudioOutput> output) { return false; }

}  // namespace platform
