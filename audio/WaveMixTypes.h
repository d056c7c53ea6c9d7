#pragma once

// The records of the wave mixer: the session, waves, play requests and items, output blocks
// and the start configuration, with the play and configuration flags. See WaveMixEngine.h for
// the operations on them.

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/Exceptions.h"
#include "platform/WaveOut.h"

// Every error of the mixer.
class EWaveMixError : public Exception {
 public:
  using Exception::Exception;
};

constexpr int kMixChannels = 8;
constexpr int kMixBlockCount = 12;
constexpr uint32_t kMixMaxBlockLength = 8192;
constexpr uint32_t kMixMinBlockLength = 2048;
constexpr int kMixPoolSize = 99;
constexpr uint16_t kMixMagic = 0x5432;
// End position of an item that never ends.
constexpr uint32_t kMixNever = 0x7FFFFFFF;
constexpr uint16_t kMixLoopForever = 0xFFFF;

// Play flags.
constexpr uint32_t mpClearQueue = 1;     // replaces what the channel has queued
constexpr uint32_t mpUseLRUChannel = 2;  // the mixer chooses the channel
constexpr uint32_t mpHighPriority = 4;   // starts at the device's play position
constexpr uint32_t mpWait = 8;           // held until the next request without it

// MixFlushChannel / MixCloseChannel flags.
constexpr uint32_t kMixAllChannels = 1;
constexpr uint32_t kMixNoRemix = 2;

// MixOpenChannel kinds.
constexpr int kMixOpenOne = 0;
constexpr int kMixOpenAll = 1;
constexpr int kMixOpenCount = 2;

// MixOpenWave sources.
constexpr uint32_t kMixSourceFile = 1;
constexpr uint32_t kMixSourceResource = 2;
constexpr uint32_t kMixSourceMemory = 4;

// TMixConfig flags.
constexpr uint32_t cfChannels = 1;
constexpr uint32_t cfSamplingRate = 2;

// Which program's copy of the mixer runs: the navigator's closes and reopens the device on
// every play that needs no remix; the explorer's does not.
enum class TMixVariant { Navigator, Explorer };

// How queued blocks are brought up to date when a sound must start before the mixer position.
enum class TMixStrategy { Remix, Shift };

struct TMixWave {
  platform::PcmWaveFormat Format;  // the wave's own format, as read from the file
  std::vector<uint8_t> Data;       // converted to the session's output format
  uint32_t Length = 0;             // bytes of Data
  std::array<uint32_t, 3> Reserved{};
  QString Name;  // the file name or "res#" and the resource number, at most 15 characters
};

class TMixWindow;
struct TMixSession;

struct TMixPlayParams {
  uint16_t Size = 24;
  TMixSession* Session = nullptr;
  int32_t Channel = 0;
  TMixWave* Wave = nullptr;
  QObject* Window = nullptr;  // carried, not used
  uint32_t Flags = 0;
  uint16_t Loops = 0;  // kMixLoopForever plays until flushed
};

struct TPlayItem {
  TPlayItem* Next = nullptr;
  TMixPlayParams Params;
  TMixWave* Wave = nullptr;
  uint32_t Length = 0;
  uint32_t Start = 0;  // timeline position of the first byte
  uint32_t End = 0;    // timeline position of the last byte, kMixNever for never
  const uint8_t* Data = nullptr;
  const uint8_t* LastByte = nullptr;
};

struct TMixBlock {
  platform::WaveHeader Header;
  bool Free = true;
  uint32_t Position = 0;  // timeline position of the first byte
  TMixSession* Session = nullptr;
  TMixBlock* Next = nullptr;  // in the play queue
  std::array<uint8_t, kMixMaxBlockLength> Data{};
};

struct TMixConfig {
  uint16_t Size = 10;  // anything else: the whole record is ignored
  uint32_t Flags = 0;  // cfChannels, cfSamplingRate
  uint16_t Channels = 1;
  uint16_t SamplingRate = 11;  // 11, 22 or 44 (kHz)
};

struct TMixSession {
  uint16_t Magic = 0;
  std::unique_ptr<TMixWindow> Window;  // receives the device's block-done events
  std::unique_ptr<platform::WaveOut> Device;
  bool DeviceOpen = false;
  int DeviceId = 0;  // platform::kWaveMapper for the mapper
  QString DeviceName;
  std::array<TPlayItem*, kMixChannels> Queues{};
  std::array<bool, kMixChannels> ChannelOpen{};
  int OpenChannels = 0;
  std::array<uint32_t, kMixChannels> Stamps{};
  uint32_t PlayCounter = 0;
  platform::PcmWaveFormat Format;
  uint32_t BlockLength = kMixMaxBlockLength;
  int BlockCount = kMixBlockCount;
  uint32_t MixerPosition = 0;  // timeline position of the next byte to mix
  uint32_t ClockStart = 0;     // ms at timeline position 0
  int GoodWavePos = 0;
  uint32_t PositionOffset = 0;
  bool PositionAdd = true;
  TMixStrategy Strategy = TMixStrategy::Remix;
  TPlayItem* PendingTail = nullptr;  // circular list of waiting requests
  uint16_t ClosingMagic = 0;

  TMixSession();
  ~TMixSession();
};
