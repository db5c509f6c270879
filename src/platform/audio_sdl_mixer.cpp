// SDL2_mixer back end of the MP3 stream player. Streams decode on the mixer's own
// thread; this side only starts, stops and releases them.
#include "platform/platform.h"
#include "platform/file_system.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Written by AudioInit and AudioFree, except where said.
bool g_audioUp = false;
bool g_mixerOpen = false;
// The mixer's buffer: small, so the sound follows the picture closely. Its size is fixed
// (the device may not change it), so it is also the buffer the output obtained.
constexpr int MixerBufferSamples = 1024;
int g_outputFrequency = 0;   // written by AudioInit
int g_bytesPerFrame = 4;     // written by AudioInit
int g_lastError = AudioOk;   // written by every call that can fail
SDL_AudioDeviceID g_device = 0;   // the mixer's output; its lock guards g_mixed
double g_outputDelaySeconds = 0;   // from a buffer mixed to its first sample heard

// What the mixer has mixed of the music since it last moved: written by the audio thread
// after each buffer and by the calls that move the music (play, seek, pause), always
// under the device's lock, so a buffer is counted wholly before or after a move.
struct MixedMusic {
    double startMs = 0;        // the stream's time at the first frame counted
    uint64_t frames = 0;       // frames of it mixed since
    int lastFrames = 0;        // frames in the last buffer
    double mixedAt = 0;        // steady seconds when the last buffer was mixed
    bool fresh = false;        // a buffer of music was mixed since the last move or pause
};
MixedMusic g_mixed;

double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct DeviceLock {
    DeviceLock() { if (g_device) SDL_LockAudioDevice(g_device); }
    ~DeviceLock() { if (g_device) SDL_UnlockAudioDevice(g_device); }
};

// The device the mixer opened and started: the one open device that plays.
SDL_AudioDeviceID PlayingDevice()
{
    for (SDL_AudioDeviceID id = 1; id < 32; ++id)
        if (SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PLAYING) return id;
    return 0;
}

// How long the output holds a buffer it is given before its first sample is heard. SDL 2
// cannot ask the device, so this is what each output's way of asking for a buffer implies,
// each checked from outside (scripts/measure-sync): a sound server's stream and WASAPI
// ask for a buffer when about half of the one they hold is left, their latency being
// fitted to the buffer; the other drivers ask while one more whole buffer is queued.
// WASAPI's shared mode holds more behind that: its audio engine's period on Windows, and
// under Wine its host's sound server's stream. Measured under Wine, the only WASAPI heard
// here: without it the picture came 4.4 ms early in the mean of 18 runs (per run from
// 16.2 ms early to 6.1 ms late).
constexpr double WasapiEngineSeconds = 0.005;

double OutputDelaySeconds(const char* driver, int frequency)
{
    const double buffer = static_cast<double>(MixerBufferSamples) / frequency;
    if (driver && std::strcmp(driver, "wasapi") == 0) return buffer / 2 + WasapiEngineSeconds;
    if (driver && std::strcmp(driver, "pulseaudio") == 0) return buffer / 2;
    return buffer;
}

// Runs on the audio thread after each buffer is mixed, under the device's lock.
void CountMixedMusic(void*, Uint8*, int bytes)
{
    if (!Mix_PlayingMusic() || Mix_PausedMusic()) return;
    g_mixed.lastFrames = bytes / g_bytesPerFrame;
    g_mixed.frames += static_cast<uint64_t>(g_mixed.lastFrames);
    g_mixed.mixedAt = SteadySeconds();
    g_mixed.fresh = true;
}

// The music moved to startMs (or was held): nothing mixed before counts.
void RestartCount(double startMs)
{
    g_mixed.startMs = startMs;
    g_mixed.frames = 0;
    g_mixed.fresh = false;
}
std::vector<Mix_Music*> g_streams;   // handle h refers to g_streams[h - 1]; written by AudioStreamFromFile and AudioFree

bool Fail(int code)
{
    g_lastError = code;
    return false;
}

Mix_Music* StreamOf(AudioStreamHandle h)
{
    if (h == 0 || h > g_streams.size()) return nullptr;
    return g_streams[h - 1];
}

}  // namespace

bool AudioInit(int sampleRate, bool silentOutput)
{
    if (g_mixerOpen) return true;
    // The silent output is SDL's dummy driver: it consumes the stream in real time and
    // makes no sound, so a run without a sound card behaves like one with it.
    if (silentOutput) SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_SetMainReady();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Fail(AudioErrorInit);
    g_audioUp = true;
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudioDevice(sampleRate, AUDIO_S16SYS, 2, MixerBufferSamples, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE) != 0)
        return Fail(AudioErrorInit);
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&g_outputFrequency, &format, &channels);
    g_bytesPerFrame = channels * static_cast<int>(SDL_AUDIO_BITSIZE(format) / 8);
    g_device = PlayingDevice();
    g_outputDelaySeconds = OutputDelaySeconds(SDL_GetCurrentAudioDriver(), g_outputFrequency);
    Mix_SetPostMix(CountMixedMusic, nullptr);
    g_mixerOpen = true;
    g_lastError = AudioOk;
    return true;
}

bool AudioOutputBuffer(int* samples, int* frequency)
{
    if (!g_mixerOpen || g_outputFrequency <= 0) return false;
    *samples = MixerBufferSamples;
    *frequency = g_outputFrequency;
    return true;
}

bool AudioStart()
{
    if (!g_mixerOpen) return Fail(AudioErrorNotInit);
    Mix_ResumeMusic();
    g_lastError = AudioOk;
    return true;
}

AudioStreamHandle AudioStreamFromFile(const char* path)
{
    if (!g_mixerOpen) return Fail(AudioErrorNotInit), 0;
    FILE* f = PlatformOpenFile(path, "rb");
    if (!f) return Fail(AudioErrorFileOpen), 0;
    std::fclose(f);
    Mix_Music* music = Mix_LoadMUS(path);
    if (!music) return Fail(AudioErrorFormat), 0;
    g_streams.push_back(music);
    g_lastError = AudioOk;
    return static_cast<AudioStreamHandle>(g_streams.size());
}

bool AudioPlay(AudioStreamHandle stream, bool restart)
{
    if (!g_mixerOpen) return Fail(AudioErrorNotInit);
    Mix_Music* music = StreamOf(stream);
    if (!music) return Fail(AudioErrorHandle);
    DeviceLock lock;
    if (!restart && Mix_PlayingMusic() && Mix_PausedMusic()) {
        Mix_ResumeMusic();
    } else if (Mix_PlayMusic(music, 0) != 0) {
        return Fail(AudioErrorStart);
    } else {
        RestartCount(0);
    }
    g_lastError = AudioOk;
    return true;
}

bool AudioSetVolume(int volumePercent)
{
    if (!g_mixerOpen) return Fail(AudioErrorNotInit);
    if (volumePercent < 0) volumePercent = 0;
    if (volumePercent > 100) volumePercent = 100;
    Mix_VolumeMusic(volumePercent * MIX_MAX_VOLUME / 100);
    g_lastError = AudioOk;
    return true;
}

bool AudioSeek(AudioStreamHandle stream, int milliseconds)
{
    if (!g_mixerOpen) return Fail(AudioErrorNotInit);
    if (!StreamOf(stream)) return Fail(AudioErrorHandle);
    DeviceLock lock;
    if (Mix_SetMusicPosition(milliseconds / 1000.0) != 0) return Fail(AudioErrorStart);
    RestartCount(milliseconds);
    g_lastError = AudioOk;
    return true;
}

bool AudioPause(bool paused)
{
    if (!g_mixerOpen) return Fail(AudioErrorNotInit);
    DeviceLock lock;
    if (paused) Mix_PauseMusic();
    else Mix_ResumeMusic();
    g_mixed.fresh = false;
    g_lastError = AudioOk;
    return true;
}

int AudioPositionMs(AudioStreamHandle stream)
{
    Mix_Music* music = g_mixerOpen ? StreamOf(stream) : nullptr;
    if (!music || !Mix_PlayingMusic()) return -1;
    const double seconds = Mix_GetMusicPosition(music);
    return seconds < 0 ? -1 : static_cast<int>(seconds * 1000.0 + 0.5);
}

bool AudioHeardPosition(AudioStreamHandle stream, double* positionMs, double* atSeconds)
{
    if (!g_mixerOpen || !g_device || !StreamOf(stream) || g_outputFrequency <= 0) return false;
    DeviceLock lock;
    if (!g_mixed.fresh) return false;
    // The buffer just mixed starts playing once the output has played what it holds.
    const double msPerFrame = 1000.0 / g_outputFrequency;
    *positionMs = g_mixed.startMs + (g_mixed.frames - g_mixed.lastFrames) * msPerFrame;
    *atSeconds = g_mixed.mixedAt + g_outputDelaySeconds;
    return true;
}

bool AudioStop()
{
    if (!g_mixerOpen) return Fail(AudioErrorNotInit);
    DeviceLock lock;
    Mix_HaltMusic();
    g_mixed.fresh = false;
    g_lastError = AudioOk;
    return true;
}

int AudioDecodedLength(const char* path)
{
    if (!g_mixerOpen) return Fail(AudioErrorNotInit), -1;
    // A chunk is the whole sound decoded into the output format, so its size is the
    // length that really decodes, whatever a header claims.
    Mix_Chunk* chunk = Mix_LoadWAV(path);
    if (!chunk) return Fail(AudioErrorFormat), -1;
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    const double bytesPerMs = frequency * channels * (SDL_AUDIO_BITSIZE(format) / 8) / 1000.0;
    const int ms = bytesPerMs > 0 ? static_cast<int>(chunk->alen / bytesPerMs + 0.5) : -1;
    Mix_FreeChunk(chunk);
    g_lastError = AudioOk;
    return ms;
}

bool AudioFreeStream(AudioStreamHandle stream)
{
    Mix_Music* music = StreamOf(stream);
    if (!music) return Fail(AudioErrorHandle);
    Mix_FreeMusic(music);
    g_streams[stream - 1] = nullptr;
    g_lastError = AudioOk;
    return true;
}

void AudioFree()
{
    if (g_mixerOpen) {
        Mix_SetPostMix(nullptr, nullptr);
        g_device = 0;
        Mix_HaltMusic();
        for (Mix_Music*& m : g_streams) {
            if (m) Mix_FreeMusic(m);
            m = nullptr;
        }
        Mix_CloseAudio();
        Mix_Quit();
        g_mixerOpen = false;
    }
    if (g_audioUp) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_audioUp = false;
}

int AudioLastError() { return g_lastError; }
