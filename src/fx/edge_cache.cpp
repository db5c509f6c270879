// Emptying the edge caches by frame number.
#include "fx/edge_cache.h"

#include <cstring>

void EmptyEdgeCache(EdgeVertexTable& cache)
{
    // The tag has 16 bits; when the frame numbers run out, the slots are wiped once.
    if (++cache.frame == 0xffff) {
        std::memset(cache.slots, 0, sizeof cache.slots);
        cache.frame = 0;
    }
}

void EmptyEdgeCache(EdgeVertexHash& cache)
{
    if (++cache.frame == (uint64_t(1) << 31) - 1) {
        std::memset(cache.slots, 0, sizeof cache.slots);
        cache.frame = 0;
    }
}
