// What a measurement of picture against music needs from the generator: the soundtrack as
// it was rendered, before MP3 encoding, and the moments of the kick hits the demo's beat
// windows open on. A recorded run is matched against these.
#pragma once

#include <string>

// Writes "soundtrack.wav" (16-bit stereo, 44.1 kHz) and "beats.txt" (one hit per line,
// in ms from the start of the song) into dir; false with *error set when a file cannot be
// written.
bool WriteSyncReference(const std::string& dir, std::string* error);
