// The polygon list: one entry per face of a mesh, a depth key per entry, and the
// largest-key-first sort that orders the faces for drawing.
//
// Conventions: keys are sums of the three view-space z values of a face (distance in
// front of the eye); ComputeDepthKeys gives far faces large keys (sorted: back to front),
// ComputeNegatedDepthKeys near faces (sorted: front to back). Each frame runs
// BuildPolygonList, one key operation, SortPolygonList, then a face drawer, all with the
// same count. The key operations walk the face array itself and assume entry i still
// refers to face i.
// Overflow policy: a list never grows. Every operation works on the first
// PolygonListCount(list, count) entries, that is count clamped to 0..capacity, so a mesh
// with more faces than the list holds has its surplus faces left out instead of being
// written past the end. Drawers walk the same clamped count.
#pragma once

#include <cstdint>

#include "pipeline/mesh_blocks.h"

struct PolygonListEntry {
    Face* face;
    float key;
};

// A fixed array of entries owned by the scene that allocated it.
struct PolygonList {
    PolygonListEntry* entries = nullptr;
    int32_t capacity = 0;
};

// A list of capacity entries (face null, key 0). On allocation failure, or for a
// capacity below 1, the list is empty (no entries, capacity 0) and every operation on
// it does nothing.
PolygonList AllocatePolygonList(int32_t capacity);
// Releases what AllocatePolygonList made and leaves the list empty.
void FreePolygonList(PolygonList* list);

// The number of entries the operations below use for a requested count: 0..capacity.
int32_t PolygonListCount(const PolygonList& list, int32_t count);

// Entry i refers to faces[i] for each used entry; keys are left alone. Returns the
// number of entries built.
int32_t BuildPolygonList(PolygonList& list, Face* faces, int32_t count);
// Entry i's key := (z2 + z1) + z0 of faces[i]'s vertices 2, 1 and 0.
void ComputeDepthKeys(PolygonList& list, const Face* faces, int32_t count);
// Entry i's key := -((z2 + z1) + z0) of faces[i].
void ComputeNegatedDepthKeys(PolygonList& list, const Face* faces, int32_t count);
// Sorts the used entries by key, largest first; equal keys end in no defined order.
// Keys that are not numbers end in no defined place, but the sort never leaves the list.
void SortPolygonList(PolygonList& list, int32_t count);
