/* The control stream of a sync measurement under Wine: plays the soundtrack through the
 * same way to the speakers as the demo's Windows build (SDL_mixer decoding the MP3 with
 * mpg123, SDL's WASAPI output, Wine's PulseAudio driver) with the same mixer buffer, so
 * the sound server's sink it plays into runs dry when Wine's audio path is starved as the
 * demo's would be, and not because of anything the demo does.
 *   control-player.exe MUSIC.mp3 START_MS FOR_MS BUFFER_SAMPLES
 * Plays MUSIC from START_MS for FOR_MS milliseconds; status 0 when it played. */
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>
#include <stdio.h>
#include <stdlib.h>

static int fail(const char* what)
{
    fprintf(stderr, "control-player: %s: %s\n", what, SDL_GetError());
    return 1;
}

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: control-player MUSIC.mp3 START_MS FOR_MS BUFFER_SAMPLES\n");
        return 2;
    }
    const int startMs = atoi(argv[2]), forMs = atoi(argv[3]), samples = atoi(argv[4]);
    SDL_SetMainReady();
    if (SDL_Init(SDL_INIT_AUDIO) != 0) return fail("no audio");
    Mix_Init(MIX_INIT_MP3);
    /* As the demo opens its mixer (src/platform/audio_sdl_mixer.cpp). */
    if (Mix_OpenAudioDevice(44100, AUDIO_S16SYS, 2, samples, NULL,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE) != 0)
        return fail("no output");
    Mix_Music* music = Mix_LoadMUS(argv[1]);
    if (!music) return fail(argv[1]);
    if (Mix_PlayMusic(music, 0) != 0 || Mix_SetMusicPosition(startMs / 1000.0) != 0) return fail("no play");
    SDL_Delay((Uint32)forMs);
    Mix_HaltMusic();
    Mix_FreeMusic(music);
    Mix_CloseAudio();
    SDL_Quit();
    return 0;
}
