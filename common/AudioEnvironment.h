#pragma once

// The audio half of the environment measurement, and the wave device probe.

#include "common/Environment.h"

// SoundAvailable and VolumeControlAvailable from wave-out device 0 (a device exists, it is
// not synchronous, it has volume control); MidiAvailable when a MIDI-out device exists.
void MeasureAudioEnvironment(Environment& env = Env());

// Whether wave-out device 0 (not the mapper) opens for PCM, 2 channels, 22050 Hz, 8 bits;
// it is closed again at once. False when another program holds it.
bool ProbeWaveDevice();
