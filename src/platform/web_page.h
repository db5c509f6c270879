// What only a program running in a web page has: the browser's animation frames, the
// pictures the page has decoded, and word to the page about how play goes. The page's
// script (web/zircon-page.js) fetches the data set and decodes it before the program runs.
#pragma once

#include <cstdint>

// Calls frame(context) at each animation frame the browser shows, until it returns false.
void PlatformRunAnimationFrames(bool (*frame)(void* context), void* context);
// Calls playAgain(context) when the page's "play again" is chosen (the page's script calls
// the exported ZirconPlayAgain). The page asks for a demo time through the exported
// ZirconSeekTo, which the viewer's requests carry (PlatformEventKind::SeekTo).
void PlatformOnPlayAgain(void (*playAgain)(void* context), void* context);

// A picture the page decoded from the data file at path ("megadata/envmap.png"): its size
// in *width, *height; false when the page has none (missing or undecodable file).
bool PlatformDecodedPictureSize(const char* path, int* width, int* height);
// Copies that picture as width × height × 4 bytes: red, green, blue, and alpha inverted
// (0 = opaque), rows top first. False when the page has none.
bool PlatformCopyDecodedPicture(const char* path, uint8_t* pixels);

// Tells the page a frame of demo time demoTime was drawn (tests read the canvas then),
// and whether play is paused (the page's controls, wake lock and media session follow it).
void PlatformFrameDrawn(int32_t demoTime, bool paused);

// A scene as the page's scrubber and media session name it.
struct PageScene {
    const char* name;
    int32_t startMs;
};
// Tells the page the demo's scenes, in play order, and the demo time its play ends at.
void PlatformTellScenes(const PageScene* scenes, int count, int32_t endMs);
// Tells the page play has ended: it offers to play again.
void PlatformPlayEnded();
// True while the page has frames left to capture (its address's at=T1,T2,...).
bool PlatformCapturesFrames();
// How much later a sound started now is heard than a frame drawn now is seen, in
// milliseconds on the clock of PlatformPlaySeconds (the audio output's latency less the
// time the browser takes to show a frame); 0 when not known.
int PlatformAudioLatencyMs();
// The page's clock of play in seconds, steady (it never goes back): while the music plays
// it passes as the music is heard, ahead of it by the time a frame drawn now takes to be
// seen, so it stands still while the browser holds the sound (a suspended audio context,
// an output that falls behind); otherwise it passes as the page's own clock.
double PlatformPlaySeconds();
