#include "SoundModuleTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QtEndian>

namespace soundtest {

namespace {
void Put16(QByteArray& b, uint16_t v) {
  b.append(static_cast<char>(v & 0xFF));
  b.append(static_cast<char>(v >> 8));
}
void Put32(QByteArray& b, uint32_t v) {
  Put16(b, static_cast<uint16_t>(v & 0xFFFF));
  Put16(b, static_cast<uint16_t>(v >> 16));
}
}  // namespace

QByteArray MakeWave(const WaveSpec& spec) {
  QByteArray body("WAVE");
  if (spec.withFormat) {
    body.append("fmt ");
    Put32(body, 16);
    const uint16_t align = static_cast<uint16_t>(spec.channels * spec.bits / 8);
    Put16(body, spec.tag);
    Put16(body, spec.channels);
    Put32(body, spec.rate);
    Put32(body, spec.rate * align);
    Put16(body, align);
    Put16(body, spec.bits);
  }
  body.append("data");
  Put32(body, static_cast<uint32_t>(spec.data.size()));
  body.append(spec.data);
  body.append(spec.after);
  QByteArray file = spec.before;
  file.append("RIFF");
  Put32(file, static_cast<uint32_t>(body.size()));
  file.append(body);
  return file;
}

QByteArray CountingData(uint32_t frames, uint32_t firstFrame) {
  QByteArray data;
  data.reserve(static_cast<qsizetype>(frames) * 4);
  for (uint32_t i = 0; i < frames; ++i) {
    const uint16_t v = static_cast<uint16_t>(firstFrame + i);
    Put16(data, v);
    Put16(data, static_cast<uint16_t>(~v));
  }
  return data;
}

bool PumpUntil(const std::function<bool()>& pred, int timeoutMs) {
  QElapsedTimer elapsed;
  elapsed.start();
  // The watchdog posts an event at the deadline, so the blocking wait below always ends.
  QTimer watchdog;
  watchdog.setSingleShot(true);
  watchdog.start(timeoutMs);
  while (!pred()) {
    if (elapsed.elapsed() >= timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
  }
  return true;
}

void PlayerTest::SetUp() {
  ASSERT_TRUE(dir.isValid());
  form = std::make_unique<QWidget>();
  platform::SetAudioSystem(&audio);
}

void PlayerTest::TearDown() {
  player.reset();
  platform::SetAudioSystem(nullptr);
}

QString PlayerTest::WriteWave(const QString& name, const WaveSpec& spec) {
  const QString path = dir.filePath(name);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(MakeWave(spec));
  return path;
}

TAudioInit PlayerTest::Request(const QString& file, int channel, bool notify, bool loop,
                               bool freeAfterPlay) const {
  TAudioInit request;
  request.FileName = file;
  request.Channel = channel;
  request.Notify = notify;
  request.Loop = loop;
  request.FreeAfterPlay = freeAfterPlay;
  return request;
}

void PlayerTest::Listen(TCustomDxSound& p) {
  p.OnAtitude = [this](QObject*, int32_t channel, int32_t code) {
    atitudes.push_back({channel, code});
  };
}

void PlayerTest::Settle() {
  const auto idle = [this] {
    if (!player) return true;
    for (int i = 0; i < player->WaveCount(); ++i) {
      TWaveThreadNotify* n = player->WaveAt(i)->Notifier();
      if (n && !n->Idle()) return false;
    }
    return true;
  };
  ASSERT_TRUE(PumpUntil(idle));
}

QByteArray PlayerTest::Render(size_t bytes, size_t stepBytes) {
  QByteArray out;
  while (bytes > 0) {
    const size_t n = std::min(bytes, stepBytes);
    if (audio.Output()) {
      audio.PullBytes(n);
      out.append(audio.TakeOutput());
    } else {
      out.append(QByteArray(static_cast<qsizetype>(n), 0));  // nothing open: silence
    }
    bytes -= n;
    Settle();
  }
  return out;
}

}  // namespace soundtest
