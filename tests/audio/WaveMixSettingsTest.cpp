#include "WaveMixTestSupport.h"
#include "common/AudioEnvironment.h"

using namespace mixtest;

namespace {
class WaveMixStart : public MixFixture {};
}  // namespace

TEST(WaveMixProfile, ReadsIntegersLikeThePrivateProfileReader) {
  const ProfileFile ini = ProfileFile::Parse(
      "; comment\n[General]\r\nWaveOutDevice = 12abc\nEmpty=\nneg=-3\n"
      "junk line\n[other]\nWaveOutDevice=1\n[general]\nwaveoutdevice=7\n");
  EXPECT_EQ(ini.GetInt("general", "WAVEOUTDEVICE", 5), 12);
  EXPECT_EQ(ini.GetInt("GENERAL", "empty", 5), 0);
  EXPECT_EQ(ini.GetInt("general", "neg", 5), -3);
  EXPECT_EQ(ini.GetInt("general", "missing", 5), 5);
  EXPECT_EQ(ini.GetInt("nowhere", "x", -1), -1);
  EXPECT_EQ(WaveMixDeviceSetting(ini, 13), 12);
  EXPECT_EQ(WaveMixDeviceSetting(ini, 12), platform::kWaveMapper);
}

TEST_F(WaveMixStart, BlockLengthRateAndStrategyComeFromTheDeviceSection) {
  struct Case {
    QByteArray ini;
    uint32_t blockLength, rate;
    TMixStrategy strategy;
  };
  const Case cases[] = {
      {"", 8192, 11025, TMixStrategy::Remix},
      {"[Virtual Wave Out]\nWaveBlockLen=1000\n", 2048, 11025, TMixStrategy::Remix},
      {"[Virtual Wave Out]\nWaveBlockLen=10000\n", 8192, 11025, TMixStrategy::Remix},
      {"[Virtual Wave Out]\nWaveBlockLen=3001\nSamplesPerSec=16\n", 3001, 11025,
       TMixStrategy::Remix},
      {"[default]\nSamplesPerSec=44\nRemix=2\n", 8192, 44100, TMixStrategy::Shift},
      {"[default]\nSamplesPerSec=44\nRemix=2\n[virtual wave out]\nSamplesPerSec=22\nRemix=3\n",
       8192, 22050, TMixStrategy::Remix},
  };
  for (const Case& c : cases) {
    WriteIni(c.ini);
    TMixSession* s = WaveMixInit();
    EXPECT_EQ(s->BlockLength, c.blockLength) << c.ini.constData();
    EXPECT_EQ(s->Format.SamplesPerSec, c.rate) << c.ini.constData();
    EXPECT_EQ(s->Format.AvgBytesPerSec, c.rate) << c.ini.constData();
    EXPECT_EQ(s->Strategy, c.strategy) << c.ini.constData();
    EXPECT_EQ(s->BlockCount, 12);
    MixCloseSession(s);
  }
}

TEST_F(WaveMixStart, StereoOnlyWhenAskedForAndTheDeviceHasIt) {
  WriteIni("[Virtual Wave Out]\nWaveBlockLen=3001\n");
  TMixSession* s = StartStereo();
  EXPECT_EQ(s->Format.Channels, 2);
  EXPECT_EQ(s->Format.BlockAlign, 2);
  EXPECT_EQ(s->Format.AvgBytesPerSec, 44100u);
  EXPECT_EQ(s->BlockLength, 3000u) << "whole frames per block";
  MixCloseSession(s);

  TMixConfig ignored;
  ignored.Size = 9;
  ignored.Flags = cfChannels | cfSamplingRate;
  ignored.Channels = 2;
  ignored.SamplingRate = 44;
  s = WaveMixConfigureInit(&ignored);
  EXPECT_EQ(s->Format.Channels, 1);
  EXPECT_EQ(s->Format.SamplesPerSec, 11025u);
  MixCloseSession(s);

  platform::AudioDeviceInfo mono;
  mono.Name = "Mono Card";
  mono.Channels = 1;
  sys.SetDevices({mono});
  s = StartStereo();
  EXPECT_EQ(s->Format.Channels, 1);
  EXPECT_EQ(s->Format.SamplesPerSec, 22050u);
  EXPECT_EQ(s->DeviceName, QStringLiteral("Mono Card"));
}

TEST_F(WaveMixStart, RefusedDevicesLeaveNoSession) {
  WriteIni("[not compatible]\nVirtual Wave Out=1\n");
  EXPECT_MIX_ERROR(WaveMixInit(), "Virtual Wave Out is not compatible with the realtime wavemixer");
  EXPECT_EQ(MixCurrentSession(), nullptr);

  WriteIni("[general]\nWaveOutDevice=3\n");
  platform::AudioDeviceInfo sync;
  sync.Name = "Old Card";
  sync.Synchronous = true;
  sys.SetDevices({sync});
  EXPECT_MIX_ERROR(WaveMixInit(),
                   "Wave Mapper is a syncronous (blocking) wave output device.  This will not "
                   "permit audio to play while other applications are running");
  sys.SetDevices({});
  EXPECT_MIX_ERROR(WaveMixInit(), "Não há dispositivos WAVE reconhecidos.");
  EXPECT_MIX_ERROR(TWaveMix mix, "Initialization failed (WaveMixInit)");
  EXPECT_MIX_ERROR(TWaveMix mix(TMixConfig{}), "Initialization failed (WaveMixConfigureInit)");
}

TEST_F(WaveMixStart, ComponentOpensChannelsByBitAndKeepsTheVolume) {
  TMixConfig config;
  config.Flags = cfChannels | cfSamplingRate;
  config.Channels = 2;
  config.SamplingRate = 22;
  std::vector<int> finished;
  {
    TWaveMix mix(config);
    TMixSession* s = mix.Session();
    EXPECT_EQ(mix.PlayParams().Size, 24);
    mix.SetChannels(255);
    EXPECT_EQ(s->OpenChannels, 8);
    mix.SetChannels(0b1000'0101);
    EXPECT_EQ(s->OpenChannels, 3);
    EXPECT_TRUE(s->ChannelOpen[7] && s->ChannelOpen[2] && s->ChannelOpen[0]);
    mix.SetActivated(true);
    EXPECT_TRUE(s->DeviceOpen);

    uint16_t left = 0x1234, right = 0xFEDC;
    mix.Volume(left, right, true);
    left = right = 0;
    mix.Volume(left, right, false);
    EXPECT_EQ(left, 0x1234);
    EXPECT_EQ(right, 0xFEDC);
    left = right = 0xFFFF;
    mix.Volume(left, right, true);

    TWaveMix::SetWaveNotify([&](int32_t, int32_t channel) { finished.push_back(channel); });
    const QString path = dir.filePath("fx.wav");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(WaveFile(std::vector<uint8_t>(100, 150), 1, 11025));
    f.close();
    TMixWave* w = mix.OpenWave(path);
    EXPECT_EQ(w->Length, 400u) << "mono 11025 Hz made stereo 22050 Hz";
    mix.Play(7, w, 0, mpHighPriority);
    Play8(9000);
    EXPECT_EQ(finished, std::vector<int>{7});
    mix.FreeWave(w);
  }
  EXPECT_EQ(MixCurrentSession(), nullptr);
  EXPECT_EQ(sys.Output(), nullptr);
}

TEST_F(WaveMixStart, AudioEnvironmentAndTheDeviceProbe) {
  Environment env;
  MeasureAudioEnvironment(env);
  EXPECT_TRUE(env.SoundAvailable);
  EXPECT_TRUE(env.VolumeControlAvailable);
  EXPECT_FALSE(env.MidiAvailable);
  EXPECT_TRUE(ProbeWaveDevice());
  EXPECT_EQ(sys.Output(), nullptr) << "the probe closes the device at once";
  sys.SetHeld(true);
  EXPECT_FALSE(ProbeWaveDevice());

  platform::AudioDeviceInfo odd;
  odd.Synchronous = true;
  odd.VolumeControl = false;
  sys.SetDevices({odd});
  sys.SetMidiOutCount(1);
  MeasureAudioEnvironment(env);
  EXPECT_FALSE(env.SoundAvailable);
  EXPECT_FALSE(env.VolumeControlAvailable);
  EXPECT_TRUE(env.MidiAvailable);
  sys.SetDevices({});
  env.SoundAvailable = env.VolumeControlAvailable = true;
  MeasureAudioEnvironment(env);
  EXPECT_FALSE(env.SoundAvailable);
  EXPECT_FALSE(env.VolumeControlAvailable);
}
