// Effects and mastering: reverb, ping-pong echo, sidechain ducking, the final limiter.
#pragma once

#include <vector>

#include "sound/synth_dsp.h"

// Returns the reverberated (wet only) signal of `send`: a bank of damped combs and
// all-pass diffusers per side; size and damping in 0..1.
Stereo Reverb(const Stereo& send, float size, float damping);

// Returns the echoes (wet only) of `send`: the delay bounces between the two sides,
// darkening a little at every repeat.
Stereo PingPongDelay(const Stereo& send, long delaySamples, float feedback);

// Ducks the buffer after every trigger: the gain drops to 1 - depth at once and comes
// back over about `recovery` seconds.
void Sidechain(Stereo& buffer, const std::vector<long>& triggers, float depth, float recovery);

// Scales the buffer so its loudest sample would be `drive` times the ceiling, then
// limits it with a short look-ahead so that no sample exceeds the ceiling.
void Master(Stereo& buffer, float drive, float ceiling);

// Largest absolute sample of either channel.
float PeakOf(const Stereo& buffer);
