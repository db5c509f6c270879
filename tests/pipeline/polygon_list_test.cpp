#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "pipeline/polygon_list.h"

namespace {

// The quicksort as laid out (middle pivot, unbounded scans, left part recursive, right
// part iterative), used as the reference for the exact order of entries, equal keys
// included, on keys that are all numbers.
void ReferenceSort(std::vector<PolygonListEntry>& e, int lo, int hi)
{
    for (;;) {
        if (lo >= hi) return;
        const float pivot = e[(lo + hi) / 2].key;
        int i = lo, j = hi;
        do {
            while (e[i].key > pivot) ++i;
            while (e[j].key < pivot) --j;
            if (i > j) break;
            std::swap(e[i], e[j]);
            ++i;
            --j;
        } while (i < j);
        if (lo < j) ReferenceSort(e, lo, j);
        if (i >= hi) return;
        lo = i;
    }
}

// A list whose entries carry the given keys and distinct face addresses.
struct KeyedList {
    std::vector<Face> faces;
    PolygonList list;
    explicit KeyedList(const std::vector<float>& keys) : faces(keys.size())
    {
        list = AllocatePolygonList(int32_t(keys.size()));
        BuildPolygonList(list, faces.data(), int32_t(keys.size()));
        for (size_t i = 0; i < keys.size(); ++i) list.entries[i].key = keys[i];
    }
    ~KeyedList() { FreePolygonList(&list); }
    std::vector<PolygonListEntry> Entries() const
    {
        return {list.entries, list.entries + list.capacity};
    }
};

std::vector<float> Keys(const std::vector<PolygonListEntry>& e)
{
    std::vector<float> k;
    for (const PolygonListEntry& x : e) k.push_back(x.key);
    return k;
}

// Same entries in any order: the faces match up and each keeps its key's bits.
bool SamePermutation(std::vector<PolygonListEntry> a, std::vector<PolygonListEntry> b)
{
    auto byFace = [](const PolygonListEntry& x, const PolygonListEntry& y) { return x.face < y.face; };
    std::sort(a.begin(), a.end(), byFace);
    std::sort(b.begin(), b.end(), byFace);
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.face == y.face && std::memcmp(&x.key, &y.key, sizeof(float)) == 0;
    });
}

void ExpectSortsLikeReference(const std::vector<float>& keys)
{
    KeyedList k(keys);
    std::vector<PolygonListEntry> expected = k.Entries();
    ReferenceSort(expected, 0, int(keys.size()) - 1);
    SortPolygonList(k.list, int32_t(keys.size()));
    const std::vector<PolygonListEntry> got = k.Entries();
    std::vector<float> descending = keys;
    std::sort(descending.begin(), descending.end(), std::greater<float>());
    ASSERT_EQ(Keys(got), descending);
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i].face, expected[i].face) << i;
}

}  // namespace

TEST(PolygonList, DepthKeysSumFaceDepthsInOrder)
{
    ScreenVertex v[6] = {};
    v[0].z = 1; v[1].z = 2; v[2].z = 3;
    v[3].z = 1.0f; v[4].z = 1e8f; v[5].z = -1e8f;   // (z2 + z1) + z0 = 1, other orders 0
    std::vector<Face> faces = {{{&v[0], &v[1], &v[2]}, {0, 1, 2}, 0},
                               {{&v[3], &v[4], &v[5]}, {3, 4, 5}, 0}};
    PolygonList list = AllocatePolygonList(2);
    EXPECT_EQ(BuildPolygonList(list, faces.data(), 2), 2);
    EXPECT_EQ(list.entries[1].face, &faces[1]);
    ComputeDepthKeys(list, faces.data(), 2);
    EXPECT_EQ(list.entries[0].key, 6.0f);
    EXPECT_EQ(list.entries[1].key, 1.0f);
    ComputeNegatedDepthKeys(list, faces.data(), 2);
    EXPECT_EQ(list.entries[0].key, -6.0f);
    EXPECT_EQ(list.entries[1].key, -1.0f);
    FreePolygonList(&list);
}

TEST(PolygonList, CountBeyondCapacityIsClamped)
{
    std::vector<Face> faces(10);
    ScreenVertex v{};
    for (Face& f : faces) f.vertex[0] = f.vertex[1] = f.vertex[2] = &v;
    PolygonList list = AllocatePolygonList(4);   // exact-size heap block: overruns trap
    EXPECT_EQ(BuildPolygonList(list, faces.data(), 10), 4);
    ComputeDepthKeys(list, faces.data(), 10);
    SortPolygonList(list, 10);
    EXPECT_EQ(PolygonListCount(list, -3), 0);
    EXPECT_EQ(PolygonListCount(list, 3), 3);
    FreePolygonList(&list);
    EXPECT_EQ(AllocatePolygonList(0).entries, nullptr);
    EXPECT_EQ(BuildPolygonList(list, faces.data(), 10), 0);   // freed list is empty
}

TEST(SortPolygonList, SmallCases)
{
    ExpectSortsLikeReference({});
    ExpectSortsLikeReference({4});
    ExpectSortsLikeReference({3, 1, 2});
    ExpectSortsLikeReference({5, 5, 5});
}

TEST(SortPolygonList, MatchesReferenceOnRandomAndAdversarialKeys)
{
    std::mt19937 rng(3);
    for (int n : {2, 3, 7, 64, 1000, 40000}) {
        std::vector<float> keys(n);
        std::uniform_real_distribution<float> d(-500, 500);
        for (float& k : keys) k = d(rng);
        ExpectSortsLikeReference(keys);
        std::sort(keys.begin(), keys.end());
        ExpectSortsLikeReference(keys);                            // ascending
        std::reverse(keys.begin(), keys.end());
        ExpectSortsLikeReference(keys);                            // already sorted
        std::vector<float> organ(n);
        for (int i = 0; i < n; ++i) organ[i] = float(std::min(i, n - 1 - i));
        ExpectSortsLikeReference(organ);
        ExpectSortsLikeReference(std::vector<float>(n, 2.5f));    // all equal
        std::uniform_int_distribution<int> few(0, 3);
        for (float& k : keys) k = float(few(rng));
        ExpectSortsLikeReference(keys);                            // heavy duplicates
    }
}

TEST(SortPolygonList, NotANumberKeysStayInBounds)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> d(-10, 10);
    for (int n : {2, 3, 5, 17, 300, 5000}) {
        for (int pattern = 0; pattern < 6; ++pattern) {
            std::vector<float> keys(n);
            for (int i = 0; i < n; ++i) {
                keys[i] = pattern == 1 ? float(i) : pattern == 2 ? float(-i) : d(rng);
                const bool isNan = pattern == 3 ? true                    // all NaN
                                 : pattern == 4 ? i == n / 2              // the pivot
                                 : pattern == 5 ? i == 0 || i == n - 1    // both ends
                                                : rng() % 4 == 0;
                if (isNan) keys[i] = nan;
            }
            // Sort a prefix of a larger list: the tail must come out untouched.
            std::vector<float> padded = keys;
            padded.insert(padded.end(), {1e30f, -1e30f, nan});
            KeyedList k(padded);
            const std::vector<PolygonListEntry> before = k.Entries();
            SortPolygonList(k.list, n);
            const std::vector<PolygonListEntry> after = k.Entries();
            EXPECT_TRUE(SamePermutation({before.begin(), before.begin() + n},
                                        {after.begin(), after.begin() + n}));
            for (int i = n; i < n + 3; ++i) EXPECT_EQ(after[i].face, before[i].face);
        }
    }
}
