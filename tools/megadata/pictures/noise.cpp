#include "pictures/noise.h"

#include <cmath>

uint32_t Hash3(int32_t x, int32_t y, int32_t seed)
{
    uint32_t h = uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ uint32_t(seed) * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

float HashUnit(int32_t x, int32_t y, int32_t seed)
{
    return float(Hash3(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

namespace {

int Wrap(int i, int period)
{
    int m = i % period;
    return m < 0 ? m + period : m;
}

}  // namespace

float ValueNoise(float x, float y, int periodX, int periodY, int32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    int x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
    int y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
    float a = HashUnit(x0, y0, seed), b = HashUnit(x1, y0, seed);
    float c = HashUnit(x0, y1, seed), d = HashUnit(x1, y1, seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float Fbm(float x, float y, int periodX, int periodY, int octaves, int32_t seed)
{
    float sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * ValueNoise(x, y, periodX, periodY, seed + o * 101);
        total += weight;
        weight *= 0.5f;
        x *= 2;
        y *= 2;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / total;
}

float NextUnit(Rng& rng)
{
    uint32_t s = rng.state;
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    rng.state = s;
    return float(s >> 8) * (1.0f / 16777216.0f);
}

float NextRange(Rng& rng, float lo, float hi) { return lo + (hi - lo) * NextUnit(rng); }
