// The play through from 0 at the fixed 60 fps clock that the whole-demo frame tests
// compare against: one run of the program (the frames_play_through fixture,
// play_through_capture.cpp) writes its frames once into ZIRCON_PLAY_THROUGH_DIR, and the
// tests read them from there. The moments it holds: a frame every 500 ms from 0 to 94000
// (the reference frames) and every moment the seek tests land on.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// A start inside a scene and the frames compared after it.
struct Landing {
    const char* scene;
    int32_t start;                  // on the 60 fps grid (a multiple of 50 ms)
    std::vector<int32_t> compared;  // the landing frame and later ones
};

// Two starts in each scene: the first and later frames of each.
inline const std::vector<Landing> Starts = {
    {"opening", 3000, {3000, 5000}},         {"opening", 9000, {9000, 17300}},
    {"sliced ball", 20000, {20000, 21000}},  {"sliced ball", 26500, {26500, 28500}},
    {"twisting ball", 35000, {35000, 36200}}, {"twisting ball", 39000, {39000, 41000}},
    {"credits", 45300, {45300, 46500}},      {"credits", 51200, {51200, 53000}},
    {"implicit surface", 60000, {60000, 61000}}, {"implicit surface", 76000, {76000, 77500}},
    {"closing", 84000, {84000, 86000}},      {"closing", 89500, {89500, 91000}},
};

// Seeks by key from a start, then F12 saves the frame at the time given: every kind of
// seek, in the three scenes that carry the most.
struct KeySeek {
    const char* what;
    int32_t start;
    const char* keys;   // a --keys script
    int32_t shot;       // the demo time F12 saves
};
inline const std::vector<KeySeek> Seeks = {
    {"Right into the opening", 0, "1000 right\n1500 f12\n1600 escape\n", 6500},
    {"Home back to the opening", 20000, "500 home\n4000 f12\n4100 escape\n", 3500},
    {"Right inside the twisting ball, over two beats", 31000, "1000 right\n2000 f12\n2100 escape\n", 38000},
    {"Left twice back into the twisting ball", 45000, "500 left\n500 left\n1200 f12\n1300 escape\n", 36200},
    {"Page Up to the twisting ball, then Right", 48000, "500 pageup\n500 right\n1500 f12\n1600 escape\n", 36000},
    {"Page Down to the closing, then Right twice", 70000, "500 pagedown\n500 right\n500 right\n1000 f12\n1100 escape\n",
     88500},
    {"Left inside the closing", 89000, "1000 left\n1500 f12\n1600 escape\n", 85500},
};

// Every 500 ms of the whole demo.
inline std::vector<int32_t> ReferenceTimes()
{
    std::vector<int32_t> times;
    for (int32_t t = 0; t <= 94000; t += 500) times.push_back(t);
    return times;
}

// The moments the play through writes, in order, each once.
inline std::vector<int32_t> PlayThroughTimes()
{
    std::vector<int32_t> times = ReferenceTimes();
    for (const Landing& l : Starts) times.insert(times.end(), l.compared.begin(), l.compared.end());
    for (const KeySeek& s : Seeks) times.push_back(s.shot);
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    return times;
}

// The options of the play through's run, the same for the frames the tests make themselves.
inline const char* PlayThroughOptions() { return "--fps 60 --no-dialogs"; }

inline std::string PlayThroughFolder() { return ZIRCON_PLAY_THROUGH_DIR; }
