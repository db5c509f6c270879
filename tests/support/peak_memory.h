// The process's peak resident memory, for tests that bound what a load may cost. Under
// AddressSanitizer the shadow memory swamps the figures, so such tests measure nothing there.
#pragma once

#include <sys/resource.h>

#include "platform/address_sanitizer.h"

#if defined(ZIRCON_ADDRESS_SANITIZER)
constexpr bool MeasuringMemory = false;
#else
constexpr bool MeasuringMemory = true;
#endif

inline long PeakResidentKb()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
