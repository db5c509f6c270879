/* Stands in for ffmpeg.exe in the recording check under Wine: checks that the demo gives
   raw BGRA frames on standard input and an output file last, counts the bytes it is sent
   and writes "frames bytes" into the output file, so the check can tell every frame
   arrived whole. Exits 2 on arguments it does not expect. The output's name is taken from
   the wide command line, as ffmpeg does, so names in any script arrive whole. */
#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* After(int argc, char** argv, const char* name)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (!strcmp(argv[i], name)) return argv[i + 1];
    return NULL;
}

int main(int argc, char** argv)
{
    const char* format = After(argc, argv, "-f");
    const char* pixels = After(argc, argv, "-pix_fmt");
    const char* size = After(argc, argv, "-video_size");
    const char* input = After(argc, argv, "-i");
    int width = 0, height = 0;
    if (argc < 3 || !format || strcmp(format, "rawvideo") || !pixels || strcmp(pixels, "bgra") || !size ||
        sscanf(size, "%dx%d", &width, &height) != 2 || !input || strcmp(input, "pipe:0")) {
        fprintf(stderr, "ffmpeg stand-in: unexpected arguments\n");
        return 2;
    }
    _setmode(_fileno(stdin), _O_BINARY);
    static char buffer[1 << 16];
    long long bytes = 0;
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, stdin)) > 0) bytes += (long long)got;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    FILE* out = wide && count == argc ? _wfopen(wide[count - 1], L"wb") : NULL;
    if (!out) return 1;
    const long long frameBytes = (long long)width * height * 4;
    fprintf(out, "%lld %lld\n", bytes / frameBytes, bytes % frameBytes);
    return fclose(out) == 0 ? 0 : 1;
}
