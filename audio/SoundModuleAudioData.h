#pragma once

// TAudioData: one wave of a player. It reads the file's RIFF structure and either holds the
// whole sample data in one static buffer or streams it through a 300000-byte ring refilled
// by halves when the position notifications say a half has been played.

#include <QFile>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/SoundModuleNotify.h"
#include "platform/BufferDevice.h"
#include "platform/Event.h"

struct TAudioInit;
class TCustomDxSound;

class TAudioData {
 public:
  static constexpr uint32_t kStreamBytes = 300000;
  static constexpr uint32_t kHalfBytes = 150000;
  // Flags of the two kinds of buffer.
  static constexpr uint32_t kStreamFlags = 0x1E0;  // frequency, pan, volume, position notify
  static constexpr uint32_t kStaticFlags = 0xE2;   // static, frequency, pan, volume

  // Builds a wave from request and adds it to owner's list (the owner takes it); returns it.
  // Raises EAudioData without an owner ("<playerName> é inválido."), EInvalidWave for a file
  // that is not a WAVE file and EInvPCM for a format other than PCM. Problems after that (no
  // data, no device) are shown in a message box and leave the wave in the list, unprepared.
  static TAudioData* Create(TCustomDxSound* owner, const TAudioInit& request,
                            const QString& playerName = QStringLiteral("MyDxSound"));
  ~TAudioData();
  TAudioData(const TAudioData&) = delete;
  TAudioData& operator=(const TAudioData&) = delete;

  void SetPrepared(bool value);
  bool Prepared() const { return prepared_; }

  int32_t Channel() const { return channel_; }
  const QString& FileName() const { return fileName_; }
  bool Notify() const { return notify_; }
  bool Loop() const { return loop_; }
  bool FreeAfterPlay() const { return freeAfterPlay_; }
  bool Streaming() const { return stream_ != nullptr; }
  bool EndPending() const { return endPending_; }
  qint64 StreamPos() const { return streamPos_; }
  uint32_t FinalChunkEnd() const { return finalChunkEnd_; }
  qint64 DataOffset() const { return dataOffset_; }
  int32_t Volume() const { return volume_; }
  uint8_t SilenceByte() const { return silenceByte_; }
  const platform::BufferDesc& Description() const { return desc_; }
  const platform::WaveFormatEx& Format() const { return format_; }
  platform::SoundBuffer* Buffer() const { return buffer_.get(); }
  TWaveThreadNotify* Notifier() const { return notifier_.get(); }

 private:
  friend class TCustomDxSound;
  enum class Outcome { Nothing, Ended };

  TAudioData(TCustomDxSound* owner, const TAudioInit& request);
  void Load();  // the guarded part of building
  void StartNotifier();

  // A notification of this wave's buffer, on the main thread; raises on failure.
  Outcome HandleNotification(int eventIndex);
  void SetVolumeOnBuffer(int32_t volumeCentibels);  // prepared only; stores it on success

  bool PrepareStreaming();
  bool PrepareStatic();
  void ReleaseBuffer();
  qint64 StreamEnd() const;
  // Fills the whole ring from the stream's position (rewinding at the stream's end).
  void FillRing();
  // Fills the half just played with the next part of the stream.
  void Refill(int half);
  // Back to the data start after the end of the stream, the ring filled again.
  void Rewind();
  void MarkEnd(uint32_t finalChunkEnd);

  TCustomDxSound* owner_;
  bool prepared_ = false;
  int32_t channel_;
  // Streaming: the two half events, then the end-of-stream event of the stop mark.
  // Static: one event (stop, or the last byte when looping).
  std::vector<std::shared_ptr<platform::Event>> events_;
  std::unique_ptr<TWaveThreadNotify> notifier_;
  bool notifyInterface_ = false;
  uint8_t silenceByte_ = 0;
  bool endPending_ = false;
  std::unique_ptr<QFile> stream_;  // streaming mode only
  qint64 streamPos_ = 0;
  int32_t volume_ = 0;
  uint32_t finalChunkEnd_ = 0;
  platform::BufferDesc desc_;
  platform::WaveFormatEx format_;
  qint64 dataOffset_ = 0;
  uint32_t dataSize_ = 0;          // what the static buffer holds
  uint32_t declaredDataSize_ = 0;  // the data chunk's size field
  std::vector<platform::PositionNotification> positions_;
  std::array<qint64, 2> halfFilePos_{};  // file position of each half's first byte
  QString fileName_;
  QString hostPath_;  // fileName_ through the drive map, resolved once
  bool notify_;
  bool loop_;
  bool freeAfterPlay_;
  std::unique_ptr<platform::SoundBuffer> buffer_;
};
