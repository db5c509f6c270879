// One alpha for a run of vertex records.
#include "fx/vertex_alpha.h"

void SetVertexAlpha(ScreenVertex* vertices, int32_t count, float alpha)
{
    for (int32_t i = 0; i < count; ++i) vertices[i].alpha = alpha;
}
