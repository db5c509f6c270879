// WebGL2RenderInterface: the render interface on WebGL 2.
#include "gfx/webgl2_render_interface.h"

#include <emscripten/html5.h>

#include <cstring>
#include <memory>
#include <vector>

#include "gfx/device.h"
#include "image/image.h"
#include "image/png_load.h"
#include "platform/platform.h"

namespace {

// Identity matrices throughout, so the position is already in clip space; the depth is
// w = 1/z as natively. Colours clamp as fixed-function colours do.
const char* const VertexShader = R"(#version 300 es
in vec3 position;
in vec4 colour;
in vec4 coord0;
in vec2 coord1;
out vec4 vColour;
out vec4 vCoord0;
out vec2 vCoord1;
void main() {
    gl_Position = vec4(position, 1.0);
    vColour = clamp(colour, 0.0, 1.0);
    vCoord0 = coord0;
    vCoord1 = coord1;
}
)";

// Each unit in use modulates the colour (GL_MODULATE).
const char* const FragmentShader = R"(#version 300 es
precision highp float;
in vec4 vColour;
in vec4 vCoord0;
in vec2 vCoord1;
uniform sampler2D unit0;
uniform sampler2D unit1;
uniform bool useUnit0;
uniform bool useUnit1;
out vec4 fragment;
void main() {
    vec4 c = vColour;
    if (useUnit0) c *= texture(unit0, vCoord0.xy / vCoord0.w);
    if (useUnit1) c *= texture(unit1, vCoord1);
    fragment = c;
}
)";

GLuint CompileShader(GLenum kind, const char* source)
{
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

enum Attribute : GLuint { Position, Colour, Coord0, Coord1 };

}  // namespace

bool WebGL2RenderInterface::Initialise()
{
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, VertexShader);
    const GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, FragmentShader);
    if (!vertex || !fragment) return false;
    program_ = glCreateProgram();
    glAttachShader(program_, vertex);
    glAttachShader(program_, fragment);
    glBindAttribLocation(program_, Position, "position");
    glBindAttribLocation(program_, Colour, "colour");
    glBindAttribLocation(program_, Coord0, "coord0");
    glBindAttribLocation(program_, Coord1, "coord1");
    glLinkProgram(program_);
    GLint linked = 0;
    glGetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (!linked) return false;
    glUseProgram(program_);
    glUniform1i(glGetUniformLocation(program_, "unit0"), 0);
    glUniform1i(glGetUniformLocation(program_, "unit1"), 1);
    useUnit0_ = glGetUniformLocation(program_, "useUnit0");
    useUnit1_ = glGetUniformLocation(program_, "useUnit1");

    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    glGenBuffers(1, &buffer_);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    const GLsizei stride = FloatsPerVertex * sizeof(float);
    auto attribute = [&](Attribute a, int size, int offset) {
        glEnableVertexAttribArray(a);
        glVertexAttribPointer(a, size, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(offset * sizeof(float)));
    };
    attribute(Position, 3, 0);
    attribute(Colour, 4, 3);
    attribute(Coord0, 4, 7);
    attribute(Coord1, 2, 11);
    glActiveTexture(GL_TEXTURE0);
    return true;
}

// A unit samples only when texturing is enabled on it and its texture has an image: GL
// 1.1 leaves a unit bound to the default texture (or to a name never filled) out.
bool WebGL2RenderInterface::UnitDraws(int unit) const
{
    return enabled_[unit] && textures_.count(bound_[unit].name) != 0;
}

void WebGL2RenderInterface::Flush()
{
    if (clearPending_) {
        // A new frame fills the whole canvas, whose size the page may have changed since
        // the last (to follow the device's pixels on a resize or a turn).
        int width = 0, height = 0;
        PlatformDrawableSize(&width, &height);
        if (width > 0 && height > 0) glViewport(0, 0, width, height);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        clearPending_ = false;
    }
    if (vertices_.empty()) return;
    glUniform1i(useUnit0_, UnitDraws(0));
    glUniform1i(useUnit1_, UnitDraws(1));
    glBufferData(GL_ARRAY_BUFFER, vertices_.size() * sizeof(float), vertices_.data(), GL_STREAM_DRAW);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices_.size() / FloatsPerVertex));
    vertices_.clear();
}

void WebGL2RenderInterface::Emit(float x, float y, float depth, const ScreenVertex& c, float s, float t,
                                float q, float s1, float t1)
{
    if (clearPending_) Flush();
    const float v[FloatsPerVertex] = {x, y, depth, c.red, c.green, c.blue, c.alpha, s, t, 0.0f, q, s1, t1};
    vertices_.insert(vertices_.end(), v, v + FloatsPerVertex);
}

// (u·w, v·w, 0, w) divides back to (u, v) per fragment, and w = 1/z is also the depth.
void WebGL2RenderInterface::EmitPerspective(const ScreenVertex& p)
{
    const float w = 1.0f / p.z;
    Emit(p.screenX, p.screenY, w, p, p.u * w, p.v * w, w, unit1S_, unit1T_);
}

void WebGL2RenderInterface::DrawTriangle(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3)
{
    EmitPerspective(p1);
    EmitPerspective(p2);
    EmitPerspective(p3);
}

void WebGL2RenderInterface::DrawTriangleAffine(const ScreenVertex& p1, const ScreenVertex& p2,
                                              const ScreenVertex& p3)
{
    for (const ScreenVertex* p : {&p1, &p2, &p3})
        Emit(p->screenX, p->screenY, 0.0f, *p, p->u, p->v, 1.0f, unit1S_, unit1T_);
}

void WebGL2RenderInterface::DrawTriangleDualTexture(const ScreenVertex& p1, const ScreenVertex& p2,
                                                   const ScreenVertex& p3)
{
    for (const ScreenVertex* p : {&p1, &p2, &p3})
        Emit(p->screenX, p->screenY, 1.0f / p->z, *p, p->u, p->v, 1.0f, p->u2, p->v2);
    unit1S_ = p3.u2;
    unit1T_ = p3.v2;
}

// Split as GL splits a quadrilateral: (1, 2, 4) and (2, 3, 4).
void WebGL2RenderInterface::DrawQuad(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3,
                                    const ScreenVertex& p4)
{
    for (const ScreenVertex* p : {&p1, &p2, &p4, &p2, &p3, &p4}) EmitPerspective(*p);
}

void WebGL2RenderInterface::SetDepthTest(bool enabled)
{
    Flush();
    depthTest_ = enabled;
    if (enabled)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
}

void WebGL2RenderInterface::SelectUnit(int unit)
{
    activeUnit_ = unit;
    glActiveTexture(GL_TEXTURE0 + unit);
}

// WebGL's texture for one of our names; 0 (none) for a name without an image.
template <typename Textures>
static GLuint WebGLName(const Textures& textures, TextureId id)
{
    const auto texture = textures.find(id.name);
    return texture == textures.end() ? 0 : texture->second.name;
}

void WebGL2RenderInterface::Bind(int unit, TextureId id)
{
    Flush();
    SelectUnit(unit);
    bound_[unit] = id;
    glBindTexture(GL_TEXTURE_2D, WebGLName(textures_, id));
}

// The texture's image and mipmaps into the texture bound on the active unit, with repeat
// wrapping and its filters (bilinear when new).
void WebGL2RenderInterface::Upload(const Texture& texture, const uint8_t* pixels)
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, texture.magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, texture.minFilter);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texture.width, texture.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glGenerateMipmap(GL_TEXTURE_2D);
}

// A picture loaded from a data file is loaded from it again for a restore; one made in
// memory is kept.
TextureId WebGL2RenderInterface::CreateTexture(const Image& image)
{
    const TextureId id{++nextTextureId_};
    Texture& texture = textures_[id.name];
    texture.source = image.Source();
    texture.width = image.Width();
    texture.height = image.Height();
    if (texture.source.empty() && image.Pixels())
        texture.pixels.assign(image.Pixels(), image.Pixels() + static_cast<size_t>(texture.width) * texture.height * 4);
    glGenTextures(1, &texture.name);
    Bind(activeUnit_, id);
    Upload(texture, image.Pixels());
    return id;
}

bool WebGL2RenderInterface::Restore()
{
    program_ = buffer_ = vertexArray_ = keptTexture_ = 0;
    keptWidth_ = keptHeight_ = 0;
    vertices_.clear();
    if (!Initialise()) return false;
    for (auto& [ourName, texture] : textures_) {
        glGenTextures(1, &texture.name);
        glBindTexture(GL_TEXTURE_2D, texture.name);
        if (texture.source.empty()) {
            Upload(texture, texture.pixels.empty() ? nullptr : texture.pixels.data());
            continue;
        }
        const std::unique_ptr<Image> image(LoadPngImage(texture.source.c_str()));
        if (!image || image->Width() != texture.width || image->Height() != texture.height) return false;
        Upload(texture, image->Pixels());
    }
    if (depthTest_)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
    ApplyBlend();
    for (int unit : {1, 0}) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, WebGLName(textures_, bound_[unit]));
    }
    glActiveTexture(GL_TEXTURE0 + activeUnit_);
    return true;
}

void WebGL2RenderInterface::BindTexture(TextureId id)
{
    Bind(0, id);   // unit 0 always modulates
}

void WebGL2RenderInterface::BindSecondTexture(TextureId id)
{
    Bind(1, id);
}

// The browser shows the canvas only when the frame's callback returns, and the frame is
// cleared right after it is presented: the clear waits for the next drawing.
void WebGL2RenderInterface::ClearFrame()
{
    Flush();
    clearPending_ = true;
}

void WebGL2RenderInterface::PresentFrame()
{
    Flush();
    DevicePresent();
}

void WebGL2RenderInterface::SetEnabled(int unit, bool enabled)
{
    enabled_[unit] = enabled;
}

// GL 1.1 also takes parameters for the default texture, which never draws; WebGL has no
// default texture to take them.
bool WebGL2RenderInterface::ActiveUnitHasTexture() const
{
    return textures_.count(bound_[activeUnit_].name) != 0;
}

WebGL2RenderInterface::Texture* WebGL2RenderInterface::BoundOnActiveUnit()
{
    const auto texture = textures_.find(bound_[activeUnit_].name);
    return texture == textures_.end() ? nullptr : &texture->second;
}

void WebGL2RenderInterface::SetFilters(GLint minFilter, GLint magFilter)
{
    Texture* texture = BoundOnActiveUnit();
    if (!texture) return;
    texture->minFilter = minFilter;
    texture->magFilter = magFilter;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}

// The shadowed blending into GL.
void WebGL2RenderInterface::ApplyBlend()
{
    if (!blend_) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    glBlendFunc(blendSource_, blendDestination_);
}

void WebGL2RenderInterface::SetBlendMode(BlendMode mode)
{
    Flush();
    const auto blendBy = [this](GLenum source, GLenum destination) {
        blend_ = true;
        blendSource_ = source;
        blendDestination_ = destination;
    };
    if (mode == BlendMode::OpaqueBothUnits) {
        SelectUnit(0);
        SetEnabled(0, true);
        SelectUnit(1);
    }
    SetEnabled(activeUnit_, true);
    switch (mode) {
    case BlendMode::OpaqueBilinear:
        SetFilters(GL_LINEAR, GL_LINEAR);
        blend_ = false;
        break;
    case BlendMode::OpaqueNearest:
        SetFilters(GL_NEAREST, GL_NEAREST);
        blend_ = false;
        break;
    case BlendMode::OpaqueTrilinearMinFilter:
        if (Texture* texture = BoundOnActiveUnit()) {
            texture->minFilter = GL_LINEAR_MIPMAP_LINEAR;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        }
        blend_ = false;
        break;
    case BlendMode::OpaqueBothUnits:
        blend_ = false;
        break;
    case BlendMode::AlphaBlendBilinear:
        SetFilters(GL_LINEAR, GL_LINEAR);
        blendBy(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BlendMode::AdditiveFiltersKept:
        blendBy(GL_ONE, GL_ONE);
        break;
    case BlendMode::AdditiveNearest:
        SetFilters(GL_NEAREST, GL_NEAREST);
        blendBy(GL_ONE, GL_ONE);
        break;
    }
    ApplyBlend();
}

// The drawing buffer's own size, which the browser may keep below the canvas's.
static void DrawingBufferSize(int* width, int* height)
{
    *width = *height = 0;
    emscripten_webgl_get_drawing_buffer_size(emscripten_webgl_get_current_context(), width, height);
}

void WebGL2RenderInterface::ReadFrame(std::vector<uint8_t>* bgra, int* width, int* height)
{
    Flush();
    DrawingBufferSize(width, height);
    const size_t rowBytes = static_cast<size_t>(*width) * 4;
    std::vector<uint8_t> rgba(rowBytes * *height);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, *width, *height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    bgra->resize(rgba.size());
    // Rows come bottom first; the canvas has no alpha.
    for (int y = 0; y < *height; ++y) {
        const uint8_t* from = &rgba[rowBytes * (*height - 1 - y)];
        uint8_t* to = &(*bgra)[rowBytes * y];
        for (int x = 0; x < *width; ++x, from += 4, to += 4) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = 255;
        }
    }
}

void WebGL2RenderInterface::KeepFrame()
{
    Flush();
    int width = 0, height = 0;
    DrawingBufferSize(&width, &height);
    if (width <= 0 || height <= 0) return;
    if (!keptTexture_) glGenTextures(1, &keptTexture_);
    glBindTexture(GL_TEXTURE_2D, keptTexture_);
    // The drawing buffer has no alpha: an unsized RGB copy takes it as it is.
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, width, height, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, WebGLName(textures_, bound_[activeUnit_]));
    keptWidth_ = width;
    keptHeight_ = height;
}

void WebGL2RenderInterface::DrawKeptFrame()
{
    if (!keptTexture_) return;
    Flush();
    int width = 0, height = 0;
    DrawingBufferSize(&width, &height);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const bool blend = glIsEnabled(GL_BLEND), depthTest = glIsEnabled(GL_DEPTH_TEST);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, keptTexture_);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    // The same size: texel centre on pixel centre over the whole buffer; another size:
    // the kept buffer scaled into the viewport.
    if (width == keptWidth_ && height == keptHeight_) glViewport(0, 0, width, height);
    static const ScreenVertex white{0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 1};
    const float corners[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
    for (const auto& c : corners)
        Emit(c[0] * 2 - 1, c[1] * 2 - 1, 0.0f, white, c[0], c[1], 1.0f, 0.0f, 0.0f);
    glUniform1i(useUnit0_, 1);
    glUniform1i(useUnit1_, 0);
    glBufferData(GL_ARRAY_BUFFER, vertices_.size() * sizeof(float), vertices_.data(), GL_STREAM_DRAW);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices_.size() / FloatsPerVertex));
    vertices_.clear();

    // Back to the shadowed state; the next Flush sets the uniforms from it again.
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    if (blend) glEnable(GL_BLEND);
    if (depthTest) glEnable(GL_DEPTH_TEST);
    glBindTexture(GL_TEXTURE_2D, WebGLName(textures_, bound_[0]));
    glActiveTexture(GL_TEXTURE0 + activeUnit_);
}
