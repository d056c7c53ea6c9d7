#include <QFileInfo>
#include <algorithm>
#include <cstring>

#include "audio/SoundModule.h"
#include "audio/SoundModuleFiles.h"
#include "audio/SoundModuleTags.h"
#include "platform/Dialogs.h"
#include "platform/RegularFile.h"

using platform::DsFailed;
using platform::LockRegions;

namespace {

constexpr uint32_t kFirstHalfEnd = TAudioData::kHalfBytes - 1;     // 149999
constexpr uint32_t kSecondHalfEnd = TAudioData::kStreamBytes - 1;  // 299999
constexpr int kEndOfStreamEvent = 2;

// Reads up to amount bytes of file into the regions of a lock and fills the rest of them
// with silence.
void FillRegions(QFile& file, const LockRegions& regions, uint32_t amount, uint8_t silence) {
  uint8_t* parts[2] = {regions.Ptr1, regions.Ptr2};
  const uint32_t sizes[2] = {regions.Bytes1, regions.Bytes2};
  for (int i = 0; i < 2; ++i) {
    if (!parts[i]) continue;
    const uint32_t want = std::min(amount, sizes[i]);
    const qint64 got =
        want ? std::max<qint64>(0, file.read(reinterpret_cast<char*>(parts[i]), want)) : 0;
    std::memset(parts[i] + got, silence, sizes[i] - static_cast<uint32_t>(got));
    amount -= want;
  }
}

[[noreturn]] void Fail(const char* what) {
  throw EAudioData(QString::fromLatin1(what));
}

}  // namespace

// ---- building ------------------------------------------------------------------------------

TAudioData* TAudioData::Create(TCustomDxSound* owner, const TAudioInit& request,
                               const QString& playerName) {
  if (!owner) throw EAudioData(QStringLiteral("%1 é inválido.").arg(playerName));
  std::unique_ptr<TAudioData> wave(new TAudioData(owner, request));
  TAudioData* raw = wave.get();
  owner->AdoptWave(std::move(wave));
  raw->Load();
  return raw;
}

TAudioData::TAudioData(TCustomDxSound* owner, const TAudioInit& request)
    : owner_(owner),
      channel_(request.Channel),
      fileName_(request.FileName),
      hostPath_(HostPathOf(request.FileName)),
      notify_(request.Notify),
      loop_(request.Loop),
      freeAfterPlay_(request.FreeAfterPlay) {
  WaveHeader header;
  if (const std::unique_ptr<QFile> file = platform::OpenRegularFile(hostPath_))
    header = ReadWaveHeader(*file);
  if (!header.IsWave) {
    throw EInvalidWave(QStringLiteral("Wave (%1) inválida.").arg(request.FileName));
  }
  // A file without a format chunk fails the PCM test, with the tag it does not have as 0.
  const int tag = header.HasFormat ? header.Format.FormatTag : 0;
  if (tag != 1) {
    throw EInvPCM(QStringLiteral("A wave possui um formato(%1) diferente do PCM.").arg(tag));
  }
}

void TAudioData::Load() {
  try {
    // Unbuffered: the stream reads whole halves, and a file cut meanwhile must read as cut.
    std::unique_ptr<QFile> file = platform::OpenRegularFile(hostPath_, true);
    if (!file) Fail("cannot open");
    const WaveHeader header = ReadWaveHeader(*file);
    if (header.DataOffset < 0 || !header.HasFormat) Fail("no data");
    dataOffset_ = header.DataOffset;
    declaredDataSize_ = header.DataSize;
    const qint64 fileSize = file->size();
    // The static buffer holds what the file really has of the data chunk.
    const qint64 available = std::max<qint64>(0, fileSize - dataOffset_);
    dataSize_ = static_cast<uint32_t>(std::min<qint64>(
        header.DataSize == 0 ? available : std::min<qint64>(header.DataSize, available),
        platform::kDsbSizeMax));
    format_ = header.Format;
    format_.CbSize = 18;
    silenceByte_ = format_.BitsPerSample == 8 ? 128 : 0;
    // New buffers take the player's volume at once rather than sounding at full volume until
    // they are prepared again.
    volume_ = owner_->MasterVolume();
    if (dataOffset_ + kStreamBytes < fileSize) {
      if (!file->seek(dataOffset_)) Fail("cannot seek");
      desc_ = platform::BufferDesc{20, kStreamFlags, kStreamBytes, 0, &format_};
      for (int i = 0; i < 3; ++i) events_.push_back(std::make_shared<platform::Event>());
      positions_ = {{kFirstHalfEnd, events_[0]}, {kSecondHalfEnd, events_[1]}};
      StartNotifier();
      streamPos_ = dataOffset_;
      stream_ = std::move(file);
      SetPrepared(true);
    } else {
      file.reset();
      desc_ = platform::BufferDesc{20, kStaticFlags, dataSize_, 0, &format_};
      if (notify_ || freeAfterPlay_) {
        endPending_ = true;
        desc_.Flags |= platform::kDsbCapsCtrlPositionNotify;
        events_.push_back(std::make_shared<platform::Event>());
        const uint32_t offset = loop_ && dataSize_ > 0 ? dataSize_ - 1 : platform::kDsbPnOffsetStop;
        positions_ = {{offset, events_[0]}};
        StartNotifier();
      }
      SetPrepared(true);
    }
  } catch (const std::exception&) {
    platform::MessageBoxRequest box;
    box.title = QStringLiteral("Erro");
    box.text = QStringLiteral("Problemas com o arquivo: \"%1\".").arg(fileName_);
    box.icon = platform::MsgIcon::Stop;
    box.buttons = platform::MsgButtons::Ok;
    platform::Dialogs().ShowMessage(box);
  }
}

void TAudioData::StartNotifier() {
  TCustomDxSound* owner = owner_;
  notifier_ = std::make_unique<TWaveThreadNotify>(
      owner->Mailbox(),
      [owner](int channel, int eventIndex) { owner->PositionNotify(owner, channel, eventIndex); },
      channel_, events_);
  notifier_->start(QThread::HighPriority);
}

TAudioData::~TAudioData() {
  SetPrepared(false);
  if (notifier_) {
    notifyInterface_ = false;
    notifier_->Terminate();
    notifier_.reset();  // joins: the thread wakes from any wait and ends
    events_.clear();
  }
  ReleaseBuffer();
  stream_.reset();
}

// ---- preparing ------------------------------------------------------------------------------

void TAudioData::SetPrepared(bool value) {
  if (value == prepared_) return;
  if (value) {
    prepared_ = true;
    prepared_ = Streaming() ? PrepareStreaming() : PrepareStatic();
    return;
  }
  if (buffer_) {
    uint32_t status = 0;
    if (!DsFailed(buffer_->GetStatus(status)) && (status & platform::kDsbStatusPlaying)) {
      (void)buffer_->Stop();
    }
    if (Streaming()) {
      // Resume later from the byte under the play cursor.
      uint32_t cursor = 0;
      if (!DsFailed(buffer_->GetCurrentPosition(&cursor, nullptr))) {
        const uint32_t half = std::min<uint32_t>(cursor / kHalfBytes, 1);
        const qint64 pos = halfFilePos_[half] + (cursor - half * kHalfBytes);
        streamPos_ = std::clamp<qint64>(pos, dataOffset_, std::max(dataOffset_, StreamEnd()));
      }
    }
  }
  ReleaseBuffer();
  prepared_ = false;
}

bool TAudioData::PrepareStreaming() {
  platform::SoundBuffer** slot = owner_->SlotFor(channel_);
  platform::BufferDevice* device = owner_->Device();
  if (!slot || !device || DsFailed(device->CreateSoundBuffer(desc_, buffer_))) return false;
  *slot = buffer_.get();
  try {
    if (DsFailed(buffer_->SetNotificationPositions(positions_))) Fail("notify");
    notifyInterface_ = true;
    FillRing();
    SetVolumeOnBuffer(volume_);
  } catch (const std::exception&) {
    ReleaseBuffer();
    return false;
  }
  return true;
}

bool TAudioData::PrepareStatic() {
  const std::unique_ptr<QFile> opened = platform::OpenRegularFile(hostPath_);
  if (!opened) return false;
  QFile& file = *opened;
  platform::SoundBuffer** slot = owner_->SlotFor(channel_);
  platform::BufferDevice* device = owner_->Device();
  if (!slot || !device || DsFailed(device->CreateSoundBuffer(desc_, buffer_))) return false;
  *slot = buffer_.get();
  try {
    if (!positions_.empty()) {
      if (DsFailed(buffer_->SetNotificationPositions(positions_))) Fail("notify");
      notifyInterface_ = true;
    }
    LockRegions regions;
    if (DsFailed(buffer_->Lock(0, 0, regions, platform::kDsbLockEntireBuffer))) Fail("lock");
    if (!file.seek(dataOffset_)) Fail("seek");
    FillRegions(file, regions, dataSize_, silenceByte_);
    if (DsFailed(buffer_->Unlock(regions))) Fail("unlock");
    SetVolumeOnBuffer(volume_);
  } catch (const std::exception&) {
    ReleaseBuffer();
    return false;
  }
  return true;
}

void TAudioData::ReleaseBuffer() {
  notifyInterface_ = false;
  if (!buffer_) return;
  (void)buffer_->Stop();
  buffer_->ClearStopMark();
  owner_->ForgetSlot(channel_, buffer_.get());
  buffer_.reset();
}

void TAudioData::SetVolumeOnBuffer(int32_t volumeCentibels) {
  if (!prepared_ || !buffer_) return;
  const int32_t v = std::clamp(volumeCentibels, platform::kDsbVolumeMin, platform::kDsbVolumeMax);
  if (!DsFailed(buffer_->SetVolume(v))) volume_ = v;
}

// ---- streaming ------------------------------------------------------------------------------

qint64 TAudioData::StreamEnd() const {
  // Streaming stops at the data chunk's end (a size of 0 means "to the end of the file"), so
  // chunks behind the samples are never played as noise.
  const qint64 fileSize = stream_ ? stream_->size() : 0;
  if (declaredDataSize_ == 0) return fileSize;
  return std::min<qint64>(fileSize, dataOffset_ + declaredDataSize_);
}

void TAudioData::FillRing() {
  qint64 remaining = StreamEnd() - streamPos_;
  if (remaining <= 0) {
    // A stream saved at its very end starts again from the data start.
    streamPos_ = dataOffset_;
    remaining = StreamEnd() - streamPos_;
  }
  if (!stream_->seek(streamPos_)) Fail("seek");
  buffer_->ClearStopMark();
  endPending_ = false;
  uint32_t amount = kStreamBytes;
  if (remaining <= kStreamBytes) {
    amount = static_cast<uint32_t>(std::max<qint64>(0, remaining));
    endPending_ = true;
    finalChunkEnd_ = amount;
  }
  LockRegions regions;
  if (DsFailed(buffer_->Lock(0, 0, regions, platform::kDsbLockEntireBuffer))) Fail("lock");
  FillRegions(*stream_, regions, amount, silenceByte_);
  if (DsFailed(buffer_->Unlock(regions))) Fail("unlock");
  halfFilePos_ = {streamPos_, streamPos_ + kHalfBytes};
  if (endPending_) MarkEnd(finalChunkEnd_);
}

void TAudioData::Refill(int half) {
  streamPos_ = stream_->pos();
  const qint64 remaining = StreamEnd() - streamPos_;
  uint32_t amount = kHalfBytes;
  if (remaining <= kHalfBytes) {
    amount = static_cast<uint32_t>(std::max<qint64>(0, remaining));
    endPending_ = true;
    finalChunkEnd_ = static_cast<uint32_t>(half) * kHalfBytes + amount;
  }
  LockRegions regions;
  if (DsFailed(buffer_->Lock(static_cast<uint32_t>(half) * kHalfBytes, kHalfBytes, regions, 0))) {
    Fail("lock");
  }
  FillRegions(*stream_, regions, amount, silenceByte_);
  const bool moved = stream_->pos() != streamPos_;
  if (DsFailed(buffer_->Unlock(regions))) Fail("unlock");
  if (!moved) throw EAudioData(QStringLiteral("Silent Error %1").arg(2));
  halfFilePos_[static_cast<size_t>(half)] = streamPos_;
  if (endPending_) MarkEnd(finalChunkEnd_);
}

void TAudioData::Rewind() {
  streamPos_ = dataOffset_;
  FillRing();
  streamPos_ = dataOffset_;
}

void TAudioData::MarkEnd(uint32_t finalChunkEnd) {
  // The buffer stops itself just past the last valid byte; an empty end stops after the
  // first frame of silence.
  if (DsFailed(
          buffer_->SetStopMark(std::max<uint32_t>(finalChunkEnd, 1), events_[kEndOfStreamEvent]))) {
    Fail("mark");
  }
}

TAudioData::Outcome TAudioData::HandleNotification(int eventIndex) {
  if (Streaming()) {
    if (eventIndex == kEndOfStreamEvent) {
      if (!endPending_) return Outcome::Nothing;
      endPending_ = false;
      (void)buffer_->Stop();
      if (prepared_ && DsFailed(buffer_->SetCurrentPosition(0))) Fail("position");
      Rewind();
      return Outcome::Ended;
    }
    // A half has been played: fill it again, unless the end is already in the ring and the
    // buffer will stop there by itself.
    if (endPending_) return Outcome::Nothing;
    Refill(eventIndex);
    return Outcome::Nothing;
  }
  if (!endPending_) return Outcome::Nothing;
  (void)buffer_->Stop();
  if (prepared_ && DsFailed(buffer_->SetCurrentPosition(0))) Fail("position");
  return Outcome::Ended;
}
