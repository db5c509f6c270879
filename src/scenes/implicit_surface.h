// The implicit-surface scene's record and timing: five tumbling ring-like shapes melt
// into one surface, rebuilt by marching cubes every frame.
#pragma once

#include <cstdint>

#include "fx/field_polygonizer.h"
#include "fx/shape_field.h"
#include "gfx/screen_vertex.h"
#include "model/mesh.h"
#include "pipeline/polygon_list.h"
#include "pipeline/vector_math.h"
#include "scenes/scene_kit.h"

constexpr int32_t SurfaceMeshVertexRoom = 20000;
constexpr int32_t SurfaceMeshFaceRoom = 40000;
constexpr int32_t SurfacePolygonListSize = 50000;

// The greetings flash on three beats, fading by one step per designed frame afterwards.
constexpr TimeWindow GreetingsWindows[] = {{69038, 69400}, {72038, 72400}, {75038, 75400}};
constexpr double GreetingsFadeStep = 0.02;

// The camera's phase is (demoTime - SurfaceCameraOrigin) × 0.0001; the carried phase is
// that of the previous frame plus SurfacePhaseStep per designed frame (0 on entry), and
// the shapes and squares move with it.
constexpr int32_t SurfaceCameraOrigin = 57046;
constexpr double SurfacePhaseStep = 0.003;

// The scene's working state, written only by its routines.
struct ImplicitSurfaceScene {
    ShapeField field;
    FieldSurface fieldSurface;   // the field polygonized, copied into the mesh below
    Mesh surface;
    PolygonList list;
    Camera camera{};
    Matrix matrix{};
    ScreenVertex greetingsBlock[4] = {};
    float flashLevel = 0.0f;
    float phase = 0.0f;   // the carried phase: 0 on entry, the shapes and squares move with it
};
