#include "pipeline/polygon_list.h"

#include <new>

PolygonList AllocatePolygonList(int32_t capacity)
{
    PolygonList list;
    if (capacity < 1) return list;
    list.entries = new (std::nothrow) PolygonListEntry[capacity]();
    if (list.entries) list.capacity = capacity;
    return list;
}

void FreePolygonList(PolygonList* list)
{
    delete[] list->entries;
    list->entries = nullptr;
    list->capacity = 0;
}

int32_t PolygonListCount(const PolygonList& list, int32_t count)
{
    if (count < 0 || !list.entries) return 0;
    return count < list.capacity ? count : list.capacity;
}

int32_t BuildPolygonList(PolygonList& list, Face* faces, int32_t count)
{
    const int32_t n = PolygonListCount(list, count);
    PolygonListEntry* __restrict e = list.entries;
    for (int32_t i = 0; i < n; ++i) e[i].face = faces + i;
    return n;
}

void ComputeDepthKeys(PolygonList& list, const Face* faces, int32_t count)
{
    const int32_t n = PolygonListCount(list, count);
    PolygonListEntry* __restrict e = list.entries;
    for (int32_t i = 0; i < n; ++i) {
        const Face& f = faces[i];
        e[i].key = f.vertex[2]->z + f.vertex[1]->z + f.vertex[0]->z;
    }
}

void ComputeNegatedDepthKeys(PolygonList& list, const Face* faces, int32_t count)
{
    const int32_t n = PolygonListCount(list, count);
    PolygonListEntry* __restrict e = list.entries;
    for (int32_t i = 0; i < n; ++i) {
        const Face& f = faces[i];
        e[i].key = -(f.vertex[2]->z + f.vertex[1]->z + f.vertex[0]->z);
    }
}

// The scans below rely on IEEE comparisons: a NaN key compares false both ways.
#if defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__
#error "polygon_list.cpp must be compiled without finite-math-only (e.g. -ffast-math)"
#endif

// Quicksort of e[lo..hi] (inclusive), largest key first. Middle pivot by value; the
// left part recurses, the right part loops, so the recursion depth is that of the left
// parts only. Keys equal to the pivot stop both scans and are exchanged, which keeps the
// partitions balanced on runs of equal keys.
//
// Why the scans need no bounds check, NaN keys included: a scan stops at the first entry
// whose key fails its comparison (is not greater, resp. not less, than the pivot). A NaN
// key fails both, so it stops both scans like a key equal to the pivot does, and a NaN
// pivot stops them at once. In the first round the pivot entry itself (x > x and x < x
// are false for every x) stops the upward scan at or before it and the downward scan at
// or after it. In each later round the entry just exchanged into the upper position came
// from a stopped upward scan, so it stops the next upward scan there at the latest;
// likewise the entry put into the lower position stops the next downward scan. Both
// scans therefore stay inside lo..hi.
// Every first round exchanges once, so both parts are smaller than lo..hi and the sort
// ends.
static void SortRange(PolygonListEntry* e, int32_t lo, int32_t hi)
{
    while (lo < hi) {
        const float pivot = e[lo + (hi - lo) / 2].key;   // floor((lo + hi) / 2), no overflow
        int32_t i = lo;
        int32_t j = hi;
        do {
            while (e[i].key > pivot) ++i;
            while (e[j].key < pivot) --j;
            if (i > j) break;
            const PolygonListEntry t = e[i];
            e[i] = e[j];
            e[j] = t;
            ++i;
            --j;
        } while (i < j);
        // When the scans meet on one entry (i = j) it belongs to both parts.
        if (lo < j) SortRange(e, lo, j);
        lo = i;
    }
}

void SortPolygonList(PolygonList& list, int32_t count)
{
    const int32_t n = PolygonListCount(list, count);
    if (n > 1) SortRange(list.entries, 0, n - 1);
}
