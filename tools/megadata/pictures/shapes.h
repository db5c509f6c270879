// Signed distances of simple shapes (negative inside) and their anti-aliased coverage,
// used to draw emblems, rings and panels at any size.
#pragma once

struct Vec2 {
    float x = 0, y = 0;
};

// Distance to the segment a-b, minus half the stroke width.
float SdSegment(Vec2 p, Vec2 a, Vec2 b, float halfWidth);
// Distance to a ring of the given radius and half thickness around c.
float SdRing(Vec2 p, Vec2 c, float radius, float halfWidth);
// Distance to a regular polygon with n corners, circumradius r, first corner at angle a0.
float SdRegularPolygon(Vec2 p, Vec2 c, int n, float r, float a0);
// Distance to a convex polygon given counter-clockwise in a y-down frame... any winding.
float SdConvexPolygon(Vec2 p, const Vec2* corners, int n);

// Coverage 0..1 of a pixel whose centre has signed distance d, for a pixel of size px.
float Coverage(float d, float px = 1.0f);
