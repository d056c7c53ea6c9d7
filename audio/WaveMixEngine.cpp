#include "audio/WaveMixEngine.h"

#include <algorithm>

#include "audio/WaveMixEngineInternal.h"
#include "audio/WaveMixSettings.h"
#include "platform/Clock.h"

namespace {
[[noreturn]] void Fail(const QString& text) {
  throw EWaveMixError(text);
}

const QString& NotOpenText() {
  static const QString text = QStringLiteral("The specified channel was not open");
  return text;
}
const QString& BadChannelText() {
  static const QString text = QStringLiteral("Invalid channel number");
  return text;
}
}  // namespace

TMixSession::TMixSession() = default;
TMixSession::~TMixSession() = default;

WaveMixEngine& WaveMixEngine::Get() {
  static WaveMixEngine engine;
  return engine;
}

TMixSession& WaveMixEngine::Check(TMixSession* session) const {
  // Only the one live session is valid: a stale handle is never read.
  if (!session || session != session_.get() || session->Magic != kMixMagic ||
      session->ClosingMagic != kMixMagic) {
    Fail(QStringLiteral("Invalid Session handle"));
  }
  return *session;
}

void WaveMixEngine::RebuildPool() {
  freeItems_ = nullptr;
  for (auto it = pool_.rbegin(); it != pool_.rend(); ++it) {
    *it = TPlayItem{};
    it->Next = freeItems_;
    freeItems_ = &*it;
  }
}

TPlayItem* WaveMixEngine::TakeItem() {
  TPlayItem* item = freeItems_;
  if (item) {
    freeItems_ = item->Next;
    *item = TPlayItem{};
  }
  return item;
}

void WaveMixEngine::ReturnItem(TPlayItem* item) {
  item->Next = freeItems_;
  freeItems_ = item;
}

void WaveMixEngine::ReturnQueue(TPlayItem* first) {
  while (first) {
    TPlayItem* next = first->Next;
    ReturnItem(first);
    first = next;
  }
}

int WaveMixEngine::FreeItems() const {
  int n = 0;
  for (const TPlayItem* i = freeItems_; i; i = i->Next) ++n;
  return n;
}

bool WaveMixEngine::ChannelBusy(const TMixSession& s, int channel) const {
  return s.ChannelOpen[size_t(channel)] && s.Queues[size_t(channel)];
}

// ---- Session -------------------------------------------------------------------------------

TMixSession* WaveMixEngine::ConfigureInit(const TMixConfig* config) {
  if (session_) Fail(QStringLiteral("Session already initialized"));
  RebuildPool();
  const int deviceCount = platform::WaveOutDeviceCount();
  if (deviceCount <= 0) Fail(QStringLiteral("Não há dispositivos WAVE reconhecidos."));

  auto s = std::make_unique<TMixSession>();
  s->Magic = s->ClosingMagic = kMixMagic;
  s->ChannelOpen.fill(false);
  s->Queues.fill(nullptr);
  s->Format = platform::PcmWaveFormat{};  // PCM, mono, 11025 Hz, 8 bits

  const ProfileFile ini = ProfileFile::Load(WaveMixIniPath());
  s->DeviceId = WaveMixDeviceSetting(ini, deviceCount);
  platform::WaveOutCaps caps;
  if (platform::WaveOutGetCaps(s->DeviceId, &caps) != platform::kMmNoError) {
    caps = {};
    caps.ProductName = QStringLiteral("Unknown Device");
  }
  s->DeviceName = caps.ProductName.left(31);
  const WaveMixSettings settings = WaveMixDeviceSettings(ini, s->DeviceId, s->DeviceName);
  s->Strategy = settings.Remix == 2 ? TMixStrategy::Shift : TMixStrategy::Remix;
  s->GoodWavePos = settings.GoodWavePos;
  if (caps.Support & platform::kWaveCapsSync) {
    Fail(s->DeviceName +
         QStringLiteral(" is a syncronous (blocking) wave output device.  This will not permit "
                        "audio to play while other applications are running"));
  }
  if (settings.NotCompatible) {
    Fail(s->DeviceName + QStringLiteral(" is not compatible with the realtime wavemixer"));
  }

  const bool configValid = config && config->Size == 10;
  uint16_t channels = 1;
  if (configValid && (config->Flags & cfChannels) && config->Channels > 1 && caps.Channels > 1) {
    channels = 2;
  }
  uint32_t rate = settings.SamplesPerSec;
  if (configValid && (config->Flags & cfSamplingRate)) {
    switch (config->SamplingRate) {
      case 11:
        rate = 11025;
        break;
      case 22:
        rate = 22050;
        break;
      case 44:
        rate = 44100;
        break;
      default:
        break;
    }
  }
  s->Format.Channels = channels;
  s->Format.SamplesPerSec = rate;
  s->Format.BlockAlign = channels;
  s->Format.BitsPerSample = 8;
  s->Format.AvgBytesPerSec = rate * channels;
  s->BlockCount = kMixBlockCount;
  // Whole frames per block, so that a stereo session keeps its channels apart.
  s->BlockLength = settings.BlockLength - settings.BlockLength % channels;

  correction_ = 0;
  anyFinished_ = false;
  finished_.fill(false);
  queueHead_ = queueTail_ = nullptr;
  {
    std::lock_guard lock(wavesMutex_);
    ++generation_;
    loadSession_ = s.get();
    loadFormat_ = s->Format;
    // Asked once here on the main thread: a loader thread must not reach the audio system.
    loadFormatPlayable_ = platform::WaveOut::Query(s->DeviceId, s->Format) == platform::kMmNoError;
  }
  session_ = std::move(s);
  current_ = session_.get();
  return current_;
}

void WaveMixEngine::Activate(TMixSession* session, bool activate) {
  TMixSession& s = Check(session);
  if (activate) {
    if (active_ && active_ != &s)
      Fail(QStringLiteral("Resource is already allocated to a process."));
    if (active_ == &s && s.DeviceOpen) return;
    if (!s.DeviceOpen) {
      auto window = std::make_unique<TMixWindow>();
      std::unique_ptr<platform::WaveOut> device;
      const uint32_t r = platform::WaveOut::Open(s.DeviceId, s.Format, window.get(), &device);
      if (r != platform::kMmNoError) {
        // The session stays inactive, so that a later attempt opens the device again.
        Fail(QStringLiteral("Failed to open waveform output device #%1").arg(r));
      }
      s.Device = std::move(device);
      s.Window = std::move(window);
      try {
        AllocateBlocks(s);
      } catch (...) {
        s.Device.reset();
        s.Window.reset();
        throw;
      }
      s.DeviceOpen = true;
    }
    active_ = current_ = &s;
    Resync(s, s.MixerPosition);
    FillBlocks(s);
    return;
  }
  if (s.DeviceOpen) {
    ResetDevice(s);
    ReturnAllBlocks();
    FreeBlocks(s);
    s.Window->Detach();
    s.Device.reset();  // closes
    // Events may still be queued for the window, and this may run inside its handler.
    s.Window.release()->deleteLater();
  }
  s.DeviceOpen = false;
  if (active_ == &s) active_ = nullptr;
}

void WaveMixEngine::CloseSession(TMixSession* session) {
  TMixSession& s = Check(session);
  Activate(&s, false);
  for (int ch = 0; ch < kMixChannels; ++ch) {
    ReturnQueue(s.Queues[size_t(ch)]);
    s.Queues[size_t(ch)] = nullptr;
    s.ChannelOpen[size_t(ch)] = false;
  }
  s.OpenChannels = 0;
  s.Magic = s.ClosingMagic = 0;
  {
    std::lock_guard lock(wavesMutex_);
    ++generation_;
    loadSession_ = nullptr;
    waves_.clear();  // whatever the caller did not free goes with the session
  }
  RebuildPool();
  session_.reset();
  current_ = active_ = nullptr;
}

// ---- Channels ------------------------------------------------------------------------------

void WaveMixEngine::OpenChannel(TMixSession* session, int channelOrCount, int kind) {
  TMixSession& s = Check(session);
  if (kind < 0 || kind > kMixOpenCount) Fail(QStringLiteral("Invalid Flags"));
  int first = 0, last = kMixChannels - 1;
  if (kind == kMixOpenOne) {
    if (channelOrCount < 0 || channelOrCount >= kMixChannels) Fail(BadChannelText());
    if (s.ChannelOpen[size_t(channelOrCount)]) {
      Fail(QStringLiteral("The channel has already been opened"));
    }
    first = last = channelOrCount;
  } else if (kind == kMixOpenCount) {
    if (channelOrCount < 1 || channelOrCount > kMixChannels) {
      Fail(QStringLiteral("Invalid number of channels"));
    }
    last = channelOrCount - 1;
  }
  for (int ch = first; ch <= last; ++ch) {
    if (s.ChannelOpen[size_t(ch)]) continue;
    s.ChannelOpen[size_t(ch)] = true;
    s.Queues[size_t(ch)] = nullptr;
    ++s.OpenChannels;
  }
}

void WaveMixEngine::CloseChannel(TMixSession* session, int channel, uint32_t flags) {
  TMixSession& s = Check(session);
  FlushChannel(&s, channel, (flags & kMixAllChannels) | kMixNoRemix);
  for (int ch = 0; ch < kMixChannels; ++ch) {
    if (!(flags & kMixAllChannels) && ch != channel) continue;
    if (!s.ChannelOpen[size_t(ch)]) continue;
    s.ChannelOpen[size_t(ch)] = false;
    --s.OpenChannels;
  }
}

void WaveMixEngine::FlushChannel(TMixSession* session, int channel, uint32_t flags) {
  TMixSession& s = Check(session);
  const bool all = flags & kMixAllChannels;
  if (!all) {
    if (channel < 0 || channel >= kMixChannels) Fail(BadChannelText());
    if (!s.ChannelOpen[size_t(channel)]) Fail(NotOpenText());
  }
  bool removed = false;
  for (int ch = 0; ch < kMixChannels; ++ch) {
    if (!all && ch != channel) continue;
    if (!s.ChannelOpen[size_t(ch)] || !s.Queues[size_t(ch)]) continue;
    ReturnQueue(s.Queues[size_t(ch)]);
    s.Queues[size_t(ch)] = nullptr;
    removed = true;
  }
  if (removed && !(flags & kMixNoRemix) && s.DeviceOpen) {
    Reschedule(s, nullptr, DevicePosition(s));
  }
}

// ---- Waves ---------------------------------------------------------------------------------

TMixWave* WaveMixEngine::OpenWave(TMixSession* session, const TMixWaveSource& source) {
  platform::PcmWaveFormat format;
  bool playable = false;
  uint64_t generation = 0;
  {
    // A loader thread may call this: it reads only the snapshot taken at session start.
    std::lock_guard lock(wavesMutex_);
    if (!session || session != loadSession_) Fail(QStringLiteral("Invalid Session handle"));
    format = loadFormat_;
    playable = loadFormatPlayable_;
    generation = generation_;
  }
  if (!playable) Fail(QStringLiteral("Formato de WAVE desconhecido!"));
  std::unique_ptr<TMixWave> wave = LoadMixWave(source, format);
  std::lock_guard lock(wavesMutex_);
  if (generation != generation_) Fail(QStringLiteral("Invalid Session handle"));
  waves_.push_back(std::move(wave));
  return waves_.back().get();
}

void WaveMixEngine::FreeWave(TMixSession* session, TMixWave* wave) {
  TMixSession& s = Check(session);
  std::unique_ptr<TMixWave> owned;
  {
    std::lock_guard lock(wavesMutex_);
    auto it = std::find_if(waves_.begin(), waves_.end(),
                           [wave](const auto& w) { return w.get() == wave; });
    if (!wave || it == waves_.end()) Fail(QStringLiteral("The given pointer was not valid"));
    owned = std::move(*it);
    waves_.erase(it);
  }
  for (int ch = 0; ch < kMixChannels; ++ch) {
    TPlayItem** link = &s.Queues[size_t(ch)];
    while (*link) {
      TPlayItem* item = *link;
      if (item->Wave == wave) {
        *link = item->Next;
        ReturnItem(item);
      } else {
        link = &item->Next;
      }
    }
  }
  // Waiting requests for the wave go too, so that nothing points at freed samples.
  if (s.PendingTail) {
    TPlayItem* head = s.PendingTail->Next;
    s.PendingTail->Next = nullptr;
    s.PendingTail = nullptr;
    while (head) {
      TPlayItem* next = head->Next;
      if (head->Wave == wave) {
        ReturnItem(head);
      } else if (!s.PendingTail) {
        head->Next = head;
        s.PendingTail = head;
      } else {
        head->Next = s.PendingTail->Next;
        s.PendingTail->Next = head;
        s.PendingTail = head;
      }
      head = next;
    }
  }
}

// ---- Play ----------------------------------------------------------------------------------

void WaveMixEngine::Play(TMixPlayParams& params) {
  TMixSession& s = Check(params.Session);
  current_ = &s;
  if (params.Flags & mpUseLRUChannel) {
    // The first open channel is the first candidate: a closed one could never be played on.
    int candidate = 0;
    while (candidate < kMixChannels - 1 && !s.ChannelOpen[size_t(candidate)]) ++candidate;
    for (int ch = candidate; ch < kMixChannels; ++ch) {
      if (!s.ChannelOpen[size_t(ch)]) continue;
      if (s.ChannelOpen[size_t(candidate)] && !s.Queues[size_t(candidate)]) break;
      if (s.Stamps[size_t(ch)] < s.Stamps[size_t(candidate)]) candidate = ch;
    }
    params.Channel = candidate;
  }
  const int channel = params.Channel;
  if (channel < 0 || channel >= kMixChannels) Fail(BadChannelText());
  ++s.PlayCounter;
  s.Stamps[size_t(channel)] = s.PlayCounter;
  if (!s.ChannelOpen[size_t(channel)]) Fail(NotOpenText());
  {
    std::lock_guard lock(wavesMutex_);
    const bool known = std::any_of(waves_.begin(), waves_.end(),
                                   [&](const auto& w) { return w.get() == params.Wave; });
    if (!known) Fail(QStringLiteral("The given pointer was not valid"));
  }
  TPlayItem* item = TakeItem();
  if (!item) Fail(QStringLiteral("Not enough memory"));
  item->Params = params;
  item->Wave = params.Wave;
  item->Length = params.Wave->Length;
  item->Data = params.Wave->Data.data();
  item->LastByte = item->Data + item->Length - 1;
  if (!s.PendingTail) {
    item->Next = item;
  } else {
    item->Next = s.PendingTail->Next;
    s.PendingTail->Next = item;
  }
  s.PendingTail = item;
  if (params.Flags & mpWait) return;

  IdleCheck(s);
  // What the device is playing now on the mixer's timeline.
  const uint32_t g = DevicePosition(s) - correction_;
  bool remix = false;
  TPlayItem* last = nullptr;
  TPlayItem* pending = s.PendingTail->Next;
  s.PendingTail->Next = nullptr;
  s.PendingTail = nullptr;
  while (pending) {
    TPlayItem* it = pending;
    pending = pending->Next;
    it->Next = nullptr;
    const size_t ch = size_t(it->Params.Channel);
    const bool high = it->Params.Flags & mpHighPriority;
    uint32_t start = 0;
    if (it->Params.Flags & mpClearQueue) {
      ReturnQueue(s.Queues[ch]);
      s.Queues[ch] = it;
      if (queueHead_) remix = true;
      start = high ? g : s.MixerPosition;
    } else {
      if (!s.Queues[ch]) {
        s.Queues[ch] = it;
        start = high ? g : s.MixerPosition;
      } else {
        TPlayItem* tail = s.Queues[ch];
        while (tail->Next) tail = tail->Next;
        tail->Next = it;
        start = tail->End >= kMixNever ? kMixNever : tail->End + 1;
        if (!high && start < s.MixerPosition) start = s.MixerPosition;
      }
      if (start < s.MixerPosition) remix = true;
    }
    it->Start = start;
    if (it->Params.Loops == kMixLoopForever || start == kMixNever) {
      it->End = kMixNever;
    } else {
      const uint64_t end = uint64_t(start) + (uint64_t(it->Params.Loops) + 1) * it->Length - 1;
      it->End = uint32_t(std::min<uint64_t>(end, kMixNever - 1));
    }
    last = it;
  }

  if (remix) {
    Reschedule(s, last, last->Start);
    return;
  }
  if (Variant == TMixVariant::Navigator) {
    Activate(&s, false);
    Activate(&s, true);
  }
  if (!s.DeviceOpen) return;
  const bool pause = !queueHead_;
  if (pause) s.Device->Pause();
  FillBlocks(s);
  if (pause) s.Device->Restart();
}

// ---- Timeline ------------------------------------------------------------------------------

uint32_t WaveMixEngine::ClockPosition(const TMixSession& s) const {
  const uint32_t elapsed = platform::DefaultClock().NowMs() - s.ClockStart;
  uint32_t p = uint32_t(uint64_t(elapsed) * s.Format.AvgBytesPerSec / 1000);
  if (s.Format.BlockAlign >= 2) p &= ~1u;
  return p;
}

uint32_t WaveMixEngine::DevicePosition(const TMixSession& s) const {
  uint32_t d = 0;
  if (s.Device && s.Device->Position(&d) != platform::kMmNoError) return ClockPosition(s);
  return s.PositionAdd ? d + s.PositionOffset : d - s.PositionOffset;
}

void WaveMixEngine::Resync(TMixSession& s, uint32_t position) {
  uint32_t d = 0;
  if (s.Device) s.Device->Position(&d);
  if (d < position) {
    s.PositionOffset = position - d;
    s.PositionAdd = true;
  } else {
    s.PositionOffset = d - position;
    s.PositionAdd = false;
  }
  s.ClockStart =
      platform::DefaultClock().NowMs() -
      uint32_t(uint64_t(position) * 1000 / std::max<uint32_t>(1, s.Format.AvgBytesPerSec));
  s.MixerPosition = position;
}

void WaveMixEngine::ResetDevice(TMixSession& s) {
  const uint32_t p = DevicePosition(s);
  if (s.Device) s.Device->Reset();
  Resync(s, p);
}

void WaveMixEngine::IdleCheck(TMixSession& s) {
  if (queueHead_) return;
  for (int ch = 0; ch < kMixChannels; ++ch) {
    if (ChannelBusy(s, ch)) return;
  }
  correction_ = 0;
  Resync(s, 0);
}

// ---- Engine operations ---------------------------------------------------------------------

TMixSession* WaveMixInit() {
  TMixConfig empty;
  return WaveMixConfigureInit(&empty);
}
TMixSession* WaveMixConfigureInit(const TMixConfig* config) {
  return WaveMixEngine::Get().ConfigureInit(config);
}
void MixActivate(TMixSession* session, bool activate) {
  WaveMixEngine::Get().Activate(session, activate);
}
void MixOpenChannel(TMixSession* session, int channelOrCount, int kind) {
  WaveMixEngine::Get().OpenChannel(session, channelOrCount, kind);
}
void MixCloseChannel(TMixSession* session, int channel, uint32_t flags) {
  WaveMixEngine::Get().CloseChannel(session, channel, flags);
}
TMixWave* MixOpenWave(TMixSession* session, const TMixWaveSource& source) {
  return WaveMixEngine::Get().OpenWave(session, source);
}
void MixFreeWave(TMixSession* session, TMixWave* wave) {
  WaveMixEngine::Get().FreeWave(session, wave);
}
void MixFlushChannel(TMixSession* session, int channel, uint32_t flags) {
  WaveMixEngine::Get().FlushChannel(session, channel, flags);
}
void MixPlay(TMixPlayParams& params) {
  WaveMixEngine::Get().Play(params);
}
void MixCloseSession(TMixSession* session) {
  WaveMixEngine::Get().CloseSession(session);
}
void MixSetNotifyHandler(TMixNotifyHandler handler) {
  WaveMixEngine::Get().Handler = std::move(handler);
}
const TMixNotifyHandler& MixNotifyHandler() {
  return WaveMixEngine::Get().Handler;
}
void MixSetVariant(TMixVariant variant) {
  WaveMixEngine::Get().Variant = variant;
}
TMixSession* MixCurrentSession() {
  return WaveMixEngine::Get().Current();
}
TMixSession* MixActiveSession() {
  return WaveMixEngine::Get().Active();
}
uint32_t MixDevicePosition(TMixSession* session) {
  return session ? WaveMixEngine::Get().DevicePosition(*session) : 0;
}
int32_t MixCorrection() {
  return WaveMixEngine::Get().Correction();
}
int MixQueuedBlocks() {
  return WaveMixEngine::Get().QueuedBlocks();
}
int MixFreeItems() {
  return WaveMixEngine::Get().FreeItems();
}
