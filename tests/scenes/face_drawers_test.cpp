// The face-list drawers and the vertex alpha, through the recording render interface.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fx/sorted_faces.h"
#include "fx/vertex_alpha.h"
#include "pipeline/clip.h"
#include "support/call_recorder.h"
#include "support/face_set.h"

namespace {

TEST(FaceFacing, IsTheTripleProductOfTheViewPositions)
{
    const ScreenVertex a = At(0, 0, 10), b = At(1, 0, 10), c = At(0, 1, 10);
    EXPECT_EQ(FaceFacing(a, b, c), -10.0f);
    EXPECT_EQ(FaceFacing(b, a, c), 10.0f);
    EXPECT_EQ(FaceFacing(At(0, 0, 10), At(0, 0, 20), At(1, 0, 15)), 0.0f);   // edge-on
}

TEST(DrawSortedFacesCulled, DrawsOnlyFacesWithPositiveFacingOnBothUnits)
{
    FaceSet set({At(0, 0, 10), At(1, 0, 10), At(0, 1, 10),        // k = -10: skipped
                 At(1, 0, 10), At(0, 0, 10), At(0, 1, 10),        // k = 10: drawn
                 At(0, 0, 10), At(0, 0, 20), At(1, 0, 15)});      // k = 0: skipped
    CallRecorder r;
    DrawSortedFacesCulled(r, ViewToScreen, set.list, set.Count());
    ASSERT_EQ(r.Ops(), std::vector<std::string>{"DrawTriangleDualTexture"});
    EXPECT_EQ(r.calls[0].vertices[0].x, 1.0f);
    EXPECT_EQ(r.calls[0].vertices[1].x, 0.0f);
}

TEST(DrawSortedFaces, FarOnlyFlagsGoThroughTheClipperWhichDrawsTheFaceWhole)
{
    FaceSet set({At(0, 0, 5000, ClipFar), At(10, 0, 5000, ClipFar), At(0, 10, 5000, ClipFar)});
    CallRecorder r;
    DrawSortedFaces(r, ViewToScreen, set.list, set.Count());
    ASSERT_EQ(r.Ops(), std::vector<std::string>{"DrawTriangle"});
    // The clipper's emission projected the records: 10 / 5000 across.
    EXPECT_FLOAT_EQ(r.calls[0].vertices[1].screenX, 0.002f);
}

TEST(DrawSortedFaces, DrawsEveryFaceWhateverItsWindingAndNothingForAnEmptyList)
{
    FaceSet set({At(0, 0, 10), At(1, 0, 10), At(0, 1, 10), At(1, 0, 10), At(0, 0, 10), At(0, 1, 10)});
    CallRecorder r;
    DrawSortedFaces(r, ViewToScreen, set.list, 0);
    EXPECT_TRUE(r.calls.empty());
    DrawSortedFaces(r, ViewToScreen, set.list, set.Count());
    EXPECT_EQ(r.Ops(), (std::vector<std::string>{"DrawTriangle", "DrawTriangle"}));
}

TEST(DrawSortedFrontFaces, SkipsBackAndEdgeOnFacesAndClipsFlaggedOnes)
{
    // The front face crosses the right plane: never sent to DrawTriangle whole.
    FaceSet set({At(0, 0, 10), At(1, 0, 10), At(0, 1, 10),                        // back
                 At(0, 0, 10), At(0, 0, 20), At(1, 0, 15),                        // edge-on
                 At(20, 0, 10, ClipRight), At(0, 0, 10), At(0, 1, 10)});          // front, flagged
    CallRecorder r;
    DrawSortedFrontFaces(r, ViewToScreen, set.list, set.Count());
    ASSERT_FALSE(r.calls.empty());
    for (const RecordedCall& call : r.calls) {
        EXPECT_EQ(call.op, "DrawTriangle");
        for (const ScreenVertex& v : call.vertices) EXPECT_LE(v.x, v.z * 1.0001f);   // clipped at x = z
    }
}

TEST(DrawSortedFrontFaces, DrawsExactlyTheFacesTurnedToTheEye)
{
    FaceSet set({At(0, 0, 10), At(0, 0, 20), At(1, 0, 15),     // edge-on (k = 0)
                 At(0, 0, 10), At(1, 0, 10), At(0, 1, 10),     // back (k = -10)
                 At(1, 0, 10), At(0, 0, 10), At(0, 1, 10)});   // front (k = 10)
    CallRecorder r;
    DrawSortedFrontFaces(r, ViewToScreen, set.list, 2);   // edge-on and back: nothing at all
    EXPECT_TRUE(r.calls.empty());
    DrawSortedFrontFaces(r, ViewToScreen, set.list, set.Count());
    ASSERT_EQ(r.Ops(), std::vector<std::string>{"DrawTriangle"});
    EXPECT_EQ(r.calls[0].vertices[0].x, 1.0f);
    EXPECT_EQ(r.calls[0].vertices[1].x, 0.0f);
}

TEST(DrawSortedFrontFaces, ReadsNoEntryBeyondTheCount)
{
    FaceSet set({At(1, 0, 10), At(0, 0, 10), At(0, 1, 10), At(1, 0, 10), At(0, 0, 10), At(0, 1, 10)});
    set.list.entries[1].face = nullptr;   // would crash if read
    CallRecorder r;
    DrawSortedFrontFaces(r, ViewToScreen, set.list, 1);
    EXPECT_EQ(r.Ops(), std::vector<std::string>{"DrawTriangle"});
}

TEST(SetVertexAlpha, ChangesOnlyTheAlphaOfTheGivenRecords)
{
    ScreenVertex v[3] = {At(1, 2, 3, 5), At(4, 5, 6, 9), At(7, 8, 9, 1)};
    v[0].u = 0.25f;
    ScreenVertex before[3];
    std::memcpy(before, v, sizeof v);
    SetVertexAlpha(v, 2, 0.375f);
    for (int i = 0; i < 3; ++i) {
        ScreenVertex expected = before[i];
        if (i < 2) expected.alpha = 0.375f;
        EXPECT_EQ(std::memcmp(&expected, &v[i], sizeof expected), 0) << i;
    }
    SetVertexAlpha(v, 0, 0.5f);
    SetVertexAlpha(v, -4, 0.5f);
    EXPECT_EQ(v[0].alpha, 0.375f);
}

}  // namespace
