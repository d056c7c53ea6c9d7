#pragma once

// The wave mixer: up to eight sounds at once through one wave-out device. Waves are converted
// to the session's output format when they are loaded; play requests queue items on channels;
// the mixer sums the active items byte by byte into a ring of twelve blocks kept queued at
// the device. The device's block-done events reach the session's hidden window, whose handling
// retires finished items, mixes and writes free blocks, and then calls the notification
// handler once per finished channel. Everything but wave loading runs on the main thread.
//
// The operations raise EWaveMixError with the mixer's texts. One session exists per process.

#include <functional>

#include "audio/WaveLoader.h"
#include "audio/WaveMixTypes.h"

// The notification handler: (IntSender, Channel), called after the refill.
using TMixNotifyHandler = std::function<void(int32_t, int32_t)>;

TMixSession* WaveMixInit();
TMixSession* WaveMixConfigureInit(const TMixConfig* config);
void MixActivate(TMixSession* session, bool activate);
// kind: kMixOpenOne (channel), kMixOpenAll, kMixOpenCount (the first channelOrCount).
void MixOpenChannel(TMixSession* session, int channelOrCount, int kind);
// flags: kMixAllChannels.
void MixCloseChannel(TMixSession* session, int channel, uint32_t flags);
// Loads and converts a wave. Callable from a loader thread.
TMixWave* MixOpenWave(TMixSession* session, const TMixWaveSource& source);
void MixFreeWave(TMixSession* session, TMixWave* wave);
// flags: kMixAllChannels, kMixNoRemix.
void MixFlushChannel(TMixSession* session, int channel, uint32_t flags);
// Queues a play item. With mpUseLRUChannel the chosen channel is written into params.
void MixPlay(TMixPlayParams& params);
void MixCloseSession(TMixSession* session);

// The process's notification handler (none by default).
void MixSetNotifyHandler(TMixNotifyHandler handler);
const TMixNotifyHandler& MixNotifyHandler();
// Which program's behaviour the mixer follows (the navigator's by default).
void MixSetVariant(TMixVariant variant);

// Inspection, for the component and for tests.
TMixSession* MixCurrentSession();
TMixSession* MixActiveSession();
// Timeline position the device is playing (the device's position mapped through the offset).
uint32_t MixDevicePosition(TMixSession* session);
int32_t MixCorrection();
int MixQueuedBlocks();
int MixFreeItems();
