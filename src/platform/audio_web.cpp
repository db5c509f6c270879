// The MP3 stream player in a web page: the page decoded the music with Web Audio before
// the program started; these calls start, seek, pause and stop it on the AudioContext.
#include <emscripten.h>

#include "platform/platform.h"

namespace {

constexpr AudioStreamHandle TheStream = 1;   // the page holds one piece of music at a time

// Written by the functions of this file only.
bool g_initialised = false;
bool g_streamMade = false;
int g_lastError = AudioOk;

bool Fail(int code)
{
    g_lastError = code;
    return false;
}

bool ValidStream(AudioStreamHandle stream)
{
    if (!g_initialised) return Fail(AudioErrorNotInit);
    if (stream != TheStream || !g_streamMade) return Fail(AudioErrorHandle);
    return true;
}

}  // namespace

EM_JS(int, PageAudioReady, (int silent), { return Module.page.audio.init(silent != 0) ? 1 : 0; });
EM_JS(int, PageMusicDecoded, (const char* path), { return Module.page.audio.select(UTF8ToString(path)); });
EM_JS(int, PageMusicPlay, (int restart), { return Module.page.audio.play(restart != 0) ? 1 : 0; });
EM_JS(void, PageMusicSeek, (int ms), { Module.page.audio.seek(ms); });
EM_JS(void, PageMusicPause, (int paused), { Module.page.audio.pause(paused != 0); });
EM_JS(int, PageMusicPositionMs, (), { return Module.page.audio.positionMs(); });
EM_JS(void, PageMusicStop, (), { Module.page.audio.stop(); });
EM_JS(void, PageMusicVolume, (int percent), { Module.page.audio.volume(percent / 100); });
EM_JS(int, PageMusicLengthMs, (const char* path), { return Module.page.audio.lengthMs(UTF8ToString(path)); });
EM_JS(int, PageAudioRate, (), { return Module.page.audio.sampleRate(); });

bool AudioInit(int, bool silentOutput)
{
    if (!PageAudioReady(silentOutput)) return Fail(AudioErrorInit);
    g_initialised = true;
    return true;
}

bool AudioStart() { return g_initialised || Fail(AudioErrorNotInit); }

bool AudioOutputBuffer(int* samples, int* frequency)
{
    if (!g_initialised) return Fail(AudioErrorNotInit);
    *frequency = PageAudioRate();
    *samples = 0;   // the page's audio latency is asked for directly (PlatformAudioLatencyMs)
    return true;
}

AudioStreamHandle AudioStreamFromFile(const char* path)
{
    if (!g_initialised) return Fail(AudioErrorNotInit), 0;
    // 0: no such file was served; -1: served but not decodable.
    const int found = PageMusicDecoded(path);
    if (found <= 0) return Fail(found == 0 ? AudioErrorFileOpen : AudioErrorFormat), 0;
    g_streamMade = true;
    return TheStream;
}

bool AudioPlay(AudioStreamHandle stream, bool restart)
{
    if (!ValidStream(stream)) return false;
    return PageMusicPlay(restart) || Fail(AudioErrorStart);
}

bool AudioSetVolume(int volumePercent)
{
    if (!g_initialised) return Fail(AudioErrorNotInit);
    PageMusicVolume(volumePercent < 0 ? 0 : volumePercent > 100 ? 100 : volumePercent);
    return true;
}

bool AudioSeek(AudioStreamHandle stream, int milliseconds)
{
    if (!ValidStream(stream)) return false;
    PageMusicSeek(milliseconds < 0 ? 0 : milliseconds);
    return true;
}

bool AudioPause(bool paused)
{
    if (!g_initialised) return Fail(AudioErrorNotInit);
    PageMusicPause(paused);
    return true;
}

int AudioPositionMs(AudioStreamHandle stream)
{
    if (!ValidStream(stream)) return -1;
    return PageMusicPositionMs();
}

EM_JS(int, PageMusicHeard, (double* positionMs, double* atMs), {
    const heard = Module.page.audio.heardPosition();
    if (!heard) return 0;
    HEAPF64[positionMs >> 3] = heard.positionMs;
    HEAPF64[atMs >> 3] = heard.atMs;
    return 1;
});

// In the page, *atSeconds is on the clock of play (PlatformPlaySeconds), the player's.
bool AudioHeardPosition(AudioStreamHandle stream, double* positionMs, double* atSeconds)
{
    if (!ValidStream(stream)) return false;
    double atMs = 0;
    if (!PageMusicHeard(positionMs, &atMs)) return false;
    *atSeconds = atMs / 1000.0;
    return true;
}

bool AudioStop()
{
    if (!g_initialised) return Fail(AudioErrorNotInit);
    PageMusicStop();
    return true;
}

bool AudioFreeStream(AudioStreamHandle stream)
{
    if (!ValidStream(stream)) return false;
    PageMusicStop();
    g_streamMade = false;
    return true;
}

int AudioDecodedLength(const char* path)
{
    if (!g_initialised) return Fail(AudioErrorNotInit), -1;
    return PageMusicLengthMs(path);
}

void AudioFree()
{
    if (g_initialised) PageMusicStop();
    g_initialised = g_streamMade = false;
}

int AudioLastError() { return g_lastError; }
