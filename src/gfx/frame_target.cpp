#include "gfx/frame_target.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>

#include "platform/platform.h"

namespace {

// Framebuffer-object entry points, looked up when offscreen frames are first asked for.
PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC RenderbufferStorageMultisample = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
PFNGLBLITFRAMEBUFFERPROC BlitFramebuffer = nullptr;

template <typename F>
bool Find(F* entry, const char* name)
{
    *entry = reinterpret_cast<F>(PlatformGLProcAddress(name));
    return *entry != nullptr;
}

bool FindFramebufferEntries()
{
    return Find(&GenFramebuffers, "glGenFramebuffers") && Find(&BindFramebuffer, "glBindFramebuffer") &&
           Find(&GenRenderbuffers, "glGenRenderbuffers") && Find(&BindRenderbuffer, "glBindRenderbuffer") &&
           Find(&RenderbufferStorageMultisample, "glRenderbufferStorageMultisample") &&
           Find(&FramebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           Find(&CheckFramebufferStatus, "glCheckFramebufferStatus") &&
           Find(&BlitFramebuffer, "glBlitFramebuffer");
}

// The offscreen frame, written by UseOffscreenFrames. With multisampling the scenes draw
// into `drawn` and each finished frame is resolved into `resolved`; without, one
// framebuffer serves as both.
struct OffscreenFrame {
    bool inUse = false;
    int width = 0, height = 0;
    GLuint drawn = 0, resolved = 0;
    bool resolvedThisFrame = false;
} g_offscreen;

// A framebuffer with a colour and a depth buffer of the frame's size; 0 on failure.
GLuint MakeFramebuffer(int width, int height, int samples, GLenum depthFormat)
{
    GLuint framebuffer = 0, buffers[2] = {0, 0};
    GenFramebuffers(1, &framebuffer);
    GenRenderbuffers(2, buffers);
    BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    BindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
    RenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
    FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
    BindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
    RenderbufferStorageMultisample(GL_RENDERBUFFER, samples, depthFormat, width, height);
    FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
    BindRenderbuffer(GL_RENDERBUFFER, 0);
    return CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE ? framebuffer : 0;
}

// The picture area as stored in the frame being drawn: the offscreen frame holds the
// picture upside down.
PictureArea PictureAreaInBuffer(int width, int height)
{
    PictureArea area = FitPictureArea(width, height);
    if (g_offscreen.inUse) area.y = height - area.y - area.height;
    return area;
}

void Resolve()
{
    if (g_offscreen.resolvedThisFrame || g_offscreen.drawn == g_offscreen.resolved) return;
    BindFramebuffer(GL_READ_FRAMEBUFFER, g_offscreen.drawn);
    BindFramebuffer(GL_DRAW_FRAMEBUFFER, g_offscreen.resolved);
    BlitFramebuffer(0, 0, g_offscreen.width, g_offscreen.height, 0, 0, g_offscreen.width, g_offscreen.height,
                    GL_COLOR_BUFFER_BIT, GL_NEAREST);
    g_offscreen.resolvedThisFrame = true;
}

}  // namespace

PictureArea FitPictureArea(int width, int height)
{
    if (width <= 0 || height <= 0) return {0, 0, 0, 0};
    PictureArea area{0, 0, width, height};
    // 64-bit products: no overflow for any size a display or the options allow.
    if (static_cast<long long>(width) * 3 > static_cast<long long>(height) * 4)
        area.width = static_cast<int>((static_cast<long long>(height) * 4 + 1) / 3);
    else
        area.height = static_cast<int>((static_cast<long long>(width) * 3 + 2) / 4);
    area.width = std::min(area.width, width);
    area.height = std::min(area.height, height);
    area.x = (width - area.width) / 2;
    area.y = (height - area.height) / 2;
    return area;
}

bool UseOffscreenFrames(int width, int height, int samples, std::string* error)
{
    if (!FindFramebufferEntries()) {
        *error = "the OpenGL driver offers no framebuffer objects";
        return false;
    }
    GLint maxSize = 0, maxSamples = 0, depthBits = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    if (width > maxSize || height > maxSize) {
        *error = "frames of " + std::to_string(width) + "x" + std::to_string(height) +
                 " are larger than the OpenGL driver can draw (" + std::to_string(maxSize) + " pixels a side)";
        return false;
    }
    samples = std::min(samples, static_cast<int>(maxSamples));
    if (samples < 2) samples = 0;
    // The depth precision of the window's own buffer, so that frames drawn off screen
    // are the frames the window shows.
    const GLenum depthFormat = depthBits >= 32 ? GL_DEPTH_COMPONENT32 : GL_DEPTH_COMPONENT24;
    const GLuint resolved = MakeFramebuffer(width, height, 0, depthFormat);
    const GLuint drawn = samples > 0 ? MakeFramebuffer(width, height, samples, depthFormat) : resolved;
    if (!resolved || !drawn) {
        BindFramebuffer(GL_FRAMEBUFFER, 0);
        *error = "the OpenGL driver cannot make an offscreen frame of " + std::to_string(width) + "x" +
                 std::to_string(height);
        return false;
    }
    g_offscreen = OffscreenFrame{true, width, height, drawn, resolved, false};
    BindFramebuffer(GL_FRAMEBUFFER, drawn);
    // The driver rasterises into the window's buffer upside down (its rows run from the
    // top). Drawn upside down here as well, every fragment lands exactly where it lands
    // in the window, so a written frame is the very frame the window shows. Nothing else
    // uses the projection matrix: the geometry arrives in normalised coordinates.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScalef(1.0f, -1.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    FitViewportToFrame();
    return true;
}

bool OffscreenFramesInUse() { return g_offscreen.inUse; }

int CurrentFrameSamples()
{
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    return samples;
}

void CurrentFrameSize(int* width, int* height)
{
    if (g_offscreen.inUse) {
        *width = g_offscreen.width;
        *height = g_offscreen.height;
        return;
    }
    PlatformDrawableSize(width, height);
}

void FitViewportToFrame()
{
    int width = 0, height = 0;
    CurrentFrameSize(&width, &height);
    const PictureArea area = PictureAreaInBuffer(width, height);
    if (area.width > 0 && area.height > 0) glViewport(area.x, area.y, area.width, area.height);
}

void ReadFinishedFrameBgra(std::vector<uint8_t>* pixels, int* width, int* height)
{
    CurrentFrameSize(width, height);
    const size_t rowBytes = static_cast<size_t>(*width) * 4;
    pixels->resize(rowBytes * *height);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (g_offscreen.inUse) {
        Resolve();
        BindFramebuffer(GL_READ_FRAMEBUFFER, g_offscreen.resolved);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        // Stored upside down: the rows come out top row first.
        glReadPixels(0, 0, *width, *height, GL_BGRA, GL_UNSIGNED_BYTE, pixels->data());
        BindFramebuffer(GL_FRAMEBUFFER, g_offscreen.drawn);
        return;
    }
    // Reused: a fresh buffer of this size would be mapped and faulted in anew each frame.
    static std::vector<uint8_t> bottomUp;
    bottomUp.resize(pixels->size());
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, *width, *height, GL_BGRA, GL_UNSIGNED_BYTE, bottomUp.data());
    for (int y = 0; y < *height; ++y)
        std::memcpy(pixels->data() + rowBytes * y, bottomUp.data() + rowBytes * (*height - 1 - y), rowBytes);
}

void BeginFrameCopy()
{
    if (!g_offscreen.inUse) {
        glReadBuffer(GL_BACK);
        return;
    }
    // Resolved now without marking the frame resolved: drawing may go on.
    if (g_offscreen.drawn != g_offscreen.resolved) {
        BindFramebuffer(GL_READ_FRAMEBUFFER, g_offscreen.drawn);
        BindFramebuffer(GL_DRAW_FRAMEBUFFER, g_offscreen.resolved);
        BlitFramebuffer(0, 0, g_offscreen.width, g_offscreen.height, 0, 0, g_offscreen.width, g_offscreen.height,
                        GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    BindFramebuffer(GL_READ_FRAMEBUFFER, g_offscreen.resolved);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
}

void EndFrameCopy()
{
    if (g_offscreen.inUse) BindFramebuffer(GL_FRAMEBUFFER, g_offscreen.drawn);
}

void ShowFinishedFrame()
{
    if (g_offscreen.inUse) {
        Resolve();
        int windowWidth = 0, windowHeight = 0;
        PlatformDrawableSize(&windowWidth, &windowHeight);
        const PictureArea from = PictureAreaInBuffer(g_offscreen.width, g_offscreen.height);
        const PictureArea to = FitPictureArea(windowWidth, windowHeight);
        BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        BindFramebuffer(GL_READ_FRAMEBUFFER, g_offscreen.resolved);
        const bool sameSize = from.width == to.width && from.height == to.height;
        // Turned the right way up on the way.
        BlitFramebuffer(from.x, from.y, from.x + from.width, from.y + from.height, to.x, to.y + to.height,
                        to.x + to.width, to.y, GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
        PlatformSwapBuffers();
        BindFramebuffer(GL_FRAMEBUFFER, g_offscreen.drawn);
        g_offscreen.resolvedThisFrame = false;
    } else {
        PlatformSwapBuffers();
    }
    FitViewportToFrame();
}
