#include "pictures/palette.h"

#include <cmath>

namespace {

Colour Ramp(const Colour* stops, int count, float t)
{
    t = Clamp01(t) * float(count - 1);
    int i = int(std::floor(t));
    if (i >= count - 1) return stops[count - 1];
    return Mix(stops[i], stops[i + 1], t - float(i));
}

}  // namespace

Colour ZirconRamp(float t)
{
    static const Colour stops[] = {palette::Abyss, palette::Midnight, palette::Zircon, palette::Ice, palette::Frost};
    return Ramp(stops, 5, t);
}

Colour EmberRamp(float t)
{
    static const Colour stops[] = {palette::Abyss, palette::Violet, palette::Orchid, palette::Amber, palette::Frost};
    return Ramp(stops, 5, t);
}
