// Caches of the vertex emitted on each grid edge in the current frame, two layouts.
//
// An edge joins two neighbouring grid points; it is named exactly by its key, built from
// its lower end (x, y, z) and its axis (0 x, 1 y, 2 z) with z slowest, so that the edges
// of one slice of cells, which the polygonizer visits together, lie close together. Both
// layouts are emptied in O(1) by moving to a new frame number, allocate nothing per frame
// and return -1 for an edge that holds no vertex. Vertex indices must lie in 0..65535.
#pragma once

#include <cstdint>

#include "fx/shape_field.h"

constexpr int FieldEdgeKeyCount = 3 * FieldPointCount;   // 73167

constexpr int32_t FieldEdgeKey(int x, int y, int z, int axis)
{
    return 3 * ((z * FieldGridSize + y) * FieldGridSize + x) + axis;
}

// A zero-filled cache (as a value-initialised one starts) is empty: slots are tagged with the
// frame number + 1, and a zero slot matches no frame.

// One 32-bit slot per grid edge: frame tag in the high half, vertex in the low half.
struct EdgeVertexTable {
    uint32_t slots[FieldEdgeKeyCount];
    uint32_t frame;   // 0..65534; slots of this frame carry frame + 1
};

// Open addressing with linear probing over 2^16 slots, which holds every vertex a frame
// can have. Slot: frame tag (31 bits) | key (17 bits) | vertex (16 bits).
constexpr int EdgeHashBits = 16;
struct EdgeVertexHash {
    uint64_t slots[1 << EdgeHashBits];
    uint64_t frame;   // below 2^31 - 1; slots of this frame carry frame + 1
};

void EmptyEdgeCache(EdgeVertexTable& cache);
void EmptyEdgeCache(EdgeVertexHash& cache);

inline int32_t FindEdgeVertex(const EdgeVertexTable& cache, int32_t key)
{
    const uint32_t slot = cache.slots[key];
    return (slot >> 16) == cache.frame + 1 ? int32_t(slot & 0xffff) : -1;
}

inline void RecordEdgeVertex(EdgeVertexTable& cache, int32_t key, int32_t vertex)
{
    cache.slots[key] = ((cache.frame + 1) << 16) | uint32_t(vertex);
}

inline uint32_t EdgeHashStart(int32_t key)
{
    // Fibonacci hashing: the top bits of key × 2^32/φ.
    return (uint32_t(key) * 2654435769u) >> (32 - EdgeHashBits);
}

inline int32_t FindEdgeVertex(const EdgeVertexHash& cache, int32_t key)
{
    const uint64_t tag = cache.frame + 1;
    const uint64_t wanted = (tag << 33) | (uint64_t(key) << 16);
    const uint32_t mask = (1u << EdgeHashBits) - 1;
    for (uint32_t i = EdgeHashStart(key);; i = (i + 1) & mask) {
        const uint64_t slot = cache.slots[i];
        if ((slot >> 33) != tag) return -1;                       // free in this frame
        if ((slot & ~uint64_t(0xffff)) == wanted) return int32_t(slot & 0xffff);
    }
}

// The caller records each key at most once per frame and at most 2^16 - 1 keys per frame,
// so a free slot always ends the probe.
inline void RecordEdgeVertex(EdgeVertexHash& cache, int32_t key, int32_t vertex)
{
    const uint64_t tag = cache.frame + 1;
    const uint32_t mask = (1u << EdgeHashBits) - 1;
    uint32_t i = EdgeHashStart(key);
    while ((cache.slots[i] >> 33) == tag) i = (i + 1) & mask;
    cache.slots[i] = (tag << 33) | (uint64_t(key) << 16) | uint64_t(vertex);
}

// The layout the polygonizer uses (the faster one in bench_field).
using SurfaceEdgeCacheType = EdgeVertexTable;
