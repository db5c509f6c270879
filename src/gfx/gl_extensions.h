// The two multitexture entry points, looked up when the render interface is created.
// Null until then, and null when the driver lacks GL_ARB_multitexture.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

namespace glext {
extern PFNGLACTIVETEXTUREARBPROC glActiveTextureARB;
extern PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB;
}
