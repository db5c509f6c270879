#include "gfx/webgl_render_interface.h"

#include <vector>

#include "gfx/device.h"
#include "image/image.h"

RenderInterface* Renderer = nullptr;

// In a page every call reaches WebGLRenderInterface; the base class's GL 1.1 drawing has
// no WebGL counterpart, so its own operations do nothing here.
RenderInterface::RenderInterface() : NextTextureId(FirstTextureIdBase) {}
void RenderInterface::SetDepthTest(bool) {}
void RenderInterface::UpdateTexture(TextureId, const Image&) {}
TextureId RenderInterface::CreateTexture(const Image&) { return NoTexture; }
void RenderInterface::DrawTriangle(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) {}
void RenderInterface::DrawTriangleAffine(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) {}
void RenderInterface::DrawTriangleDualTexture(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) {}
void RenderInterface::DrawQuad(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&,
                               const ScreenVertex&) {}
void RenderInterface::BindTexture(TextureId) {}
void RenderInterface::BindSecondTexture(TextureId) {}
void RenderInterface::ClearFrame() {}
void RenderInterface::PresentFrame() {}
void RenderInterface::SetBlendMode(BlendMode) {}

namespace {

// Identity matrices throughout, so the position is already in clip space; the depth is
// w = 1/z as natively. Colours clamp as fixed-function colours do. Lighting with GL's
// default light, material and normal gives 0.2 × 0.2 + 0.8 = 0.84 grey, opaque; sphere
// mapping reflects the eye ray (the vertex position) about the default normal (0, 0, 1).
const char* const VertexShader = R"(#version 300 es
in vec3 position;
in vec4 colour;
in vec4 coord0;
in vec2 coord1;
uniform bool lit;
uniform bool sphereMap;
out vec4 vColour;
out vec4 vCoord0;
out vec2 vCoord1;
void main() {
    gl_Position = vec4(position, 1.0);
    vColour = lit ? vec4(0.84, 0.84, 0.84, 1.0) : clamp(colour, 0.0, 1.0);
    vCoord0 = coord0;
    if (sphereMap) {
        vec3 u = normalize(position);
        vec3 r = vec3(u.x, u.y, -u.z);
        float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
        vCoord1 = r.xy / m + 0.5;
    } else {
        vCoord1 = coord1;
    }
}
)";

// Unit 0 modulates the colour; unit 1 modulates the result, or adds to its colour while
// still modulating its alpha (GL_COMBINE with GL_ADD for RGB only).
const char* const FragmentShader = R"(#version 300 es
precision highp float;
in vec4 vColour;
in vec4 vCoord0;
in vec2 vCoord1;
uniform sampler2D unit0;
uniform sampler2D unit1;
uniform bool useUnit0;
uniform bool useUnit1;
uniform bool addUnit1;
out vec4 fragment;
void main() {
    vec4 c = vColour;
    if (useUnit0) c *= texture(unit0, vCoord0.xy / vCoord0.w);
    if (useUnit1) {
        vec4 t = texture(unit1, vCoord1);
        c = addUnit1 ? vec4(min(c.rgb + t.rgb, 1.0), c.a * t.a) : c * t;
    }
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

bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

}  // namespace

bool WebGLRenderInterface::Initialise()
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
    addUnit1_ = glGetUniformLocation(program_, "addUnit1");
    lit_ = glGetUniformLocation(program_, "lit");
    sphereMap_ = glGetUniformLocation(program_, "sphereMap");

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
bool WebGLRenderInterface::UnitDraws(int unit) const
{
    return enabled_[unit] && textures_.count(bound_[unit].name) != 0;
}

void WebGLRenderInterface::Flush()
{
    if (clearPending_) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        clearPending_ = false;
    }
    if (vertices_.empty()) return;
    glUniform1i(useUnit0_, UnitDraws(0));
    glUniform1i(useUnit1_, UnitDraws(1));
    glUniform1i(addUnit1_, addOnUnit1_);
    glUniform1i(lit_, lighting_);
    glUniform1i(sphereMap_, sphereMapUnit1_);
    glBufferData(GL_ARRAY_BUFFER, vertices_.size() * sizeof(float), vertices_.data(), GL_STREAM_DRAW);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices_.size() / FloatsPerVertex));
    vertices_.clear();
}

void WebGLRenderInterface::Emit(float x, float y, float depth, const ScreenVertex& c, float s, float t,
                                float q, float s1, float t1)
{
    if (clearPending_) Flush();
    const float v[FloatsPerVertex] = {x, y, depth, c.red, c.green, c.blue, c.alpha, s, t, 0.0f, q, s1, t1};
    vertices_.insert(vertices_.end(), v, v + FloatsPerVertex);
}

// (u·w, v·w, 0, w) divides back to (u, v) per fragment, and w = 1/z is also the depth.
void WebGLRenderInterface::EmitPerspective(const ScreenVertex& p)
{
    const float w = 1.0f / p.z;
    Emit(p.screenX, p.screenY, w, p, p.u * w, p.v * w, w, unit1S_, unit1T_);
}

void WebGLRenderInterface::DrawTriangle(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3)
{
    EmitPerspective(p1);
    EmitPerspective(p2);
    EmitPerspective(p3);
}

void WebGLRenderInterface::DrawTriangleAffine(const ScreenVertex& p1, const ScreenVertex& p2,
                                              const ScreenVertex& p3)
{
    for (const ScreenVertex* p : {&p1, &p2, &p3})
        Emit(p->screenX, p->screenY, 0.0f, *p, p->u, p->v, 1.0f, unit1S_, unit1T_);
}

void WebGLRenderInterface::DrawTriangleDualTexture(const ScreenVertex& p1, const ScreenVertex& p2,
                                                   const ScreenVertex& p3)
{
    for (const ScreenVertex* p : {&p1, &p2, &p3})
        Emit(p->screenX, p->screenY, 1.0f / p->z, *p, p->u, p->v, 1.0f, p->u2, p->v2);
    unit1S_ = p3.u2;
    unit1T_ = p3.v2;
}

// Split as GL splits a quadrilateral: (1, 2, 4) and (2, 3, 4).
void WebGLRenderInterface::DrawQuad(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3,
                                    const ScreenVertex& p4)
{
    for (const ScreenVertex* p : {&p1, &p2, &p4, &p2, &p3, &p4}) EmitPerspective(*p);
}

void WebGLRenderInterface::SetDepthTest(bool enabled)
{
    Flush();
    if (enabled)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
}

void WebGLRenderInterface::SelectUnit(int unit)
{
    activeUnit_ = unit;
    glActiveTexture(GL_TEXTURE0 + unit);
}

void WebGLRenderInterface::Bind(int unit, TextureId id)
{
    Flush();
    SelectUnit(unit);
    bound_[unit] = id;
    const auto texture = textures_.find(id.name);
    glBindTexture(GL_TEXTURE_2D, texture == textures_.end() ? 0 : texture->second);
}

// Repeat wrapping and bilinear filters on the bound texture of the active unit.
static void SetUploadParameters()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

void WebGLRenderInterface::UpdateTexture(TextureId id, const Image& image)
{
    if (textures_.count(id.name) == 0) return;
    Bind(activeUnit_, id);
    SetUploadParameters();
    // A size GL 1.1 would refuse leaves the texture as it was, as it did there.
    if (!PowerOfTwo(image.Width()) || !PowerOfTwo(image.Height())) return;
    // GL 1.1 kept this level as RGB: the alpha reads as opaque.
    std::vector<uint8_t> opaque(image.Pixels(), image.Pixels() + static_cast<size_t>(image.Width()) * image.Height() * 4);
    for (size_t i = 3; i < opaque.size(); i += 4) opaque[i] = 255;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.Width(), image.Height(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 opaque.data());
}

TextureId WebGLRenderInterface::CreateTexture(const Image& image)
{
    NextTextureId = NextTextureId + 1;
    const TextureId id{NextTextureId};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    textures_[id.name] = texture;
    Bind(activeUnit_, id);
    SetUploadParameters();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.Width(), image.Height(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.Pixels());
    glGenerateMipmap(GL_TEXTURE_2D);
    return id;
}

void WebGLRenderInterface::BindTexture(TextureId id)
{
    Bind(0, id);   // unit 0 always modulates
}

void WebGLRenderInterface::BindSecondTexture(TextureId id)
{
    Bind(1, id);
    addOnUnit1_ = false;   // GL_MODULATE on unit 1
}

// The browser shows the canvas only when the frame's callback returns, and the frame is
// cleared right after it is presented: the clear waits for the next drawing.
void WebGLRenderInterface::ClearFrame()
{
    Flush();
    clearPending_ = true;
}

void WebGLRenderInterface::PresentFrame()
{
    Flush();
    DevicePresent();
}

void WebGLRenderInterface::SetEnabled(int unit, bool enabled)
{
    enabled_[unit] = enabled;
}

// GL 1.1 also takes parameters for the default texture, which never draws; WebGL has no
// default texture to take them.
bool WebGLRenderInterface::ActiveUnitHasTexture() const
{
    return textures_.count(bound_[activeUnit_].name) != 0;
}

void WebGLRenderInterface::SetFilters(GLint minFilter, GLint magFilter)
{
    if (!ActiveUnitHasTexture()) return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}

void WebGLRenderInterface::SetBlend(bool enabled, GLenum source, GLenum destination)
{
    if (!enabled) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    glBlendFunc(source, destination);
}

void WebGLRenderInterface::SetBlendMode(BlendMode mode)
{
    Flush();
    switch (mode) {
    case BlendMode::OpaqueBilinear:
        SetEnabled(activeUnit_, true);
        SetFilters(GL_LINEAR, GL_LINEAR);
        glDisable(GL_BLEND);
        break;
    case BlendMode::AdditiveKeepingTextureMatrix:
    case BlendMode::Additive:
        SetEnabled(activeUnit_, true);
        SetBlend(true, GL_ONE, GL_ONE);
        break;
    case BlendMode::MultiplyDestination:
        SetEnabled(activeUnit_, true);
        SetBlend(true, GL_ONE_MINUS_SRC_ALPHA, GL_SRC_COLOR);
        break;
    case BlendMode::AlphaBlend:
        SetFilters(GL_LINEAR, GL_LINEAR);
        SetEnabled(activeUnit_, true);
        SetBlend(true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BlendMode::DualTextureAlphaBlend:
    case BlendMode::DualTextureAlphaBlendToo:
        SelectUnit(0);
        SetEnabled(0, true);
        SelectUnit(1);
        SetEnabled(1, true);
        SetBlend(true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BlendMode::LitSphereMapAdded:
        SetBlend(true, GL_SRC_ALPHA, GL_ONE);
        SelectUnit(0);
        lighting_ = true;
        SetEnabled(0, true);
        SelectUnit(1);
        SetEnabled(1, true);
        addOnUnit1_ = true;
        sphereMapUnit1_ = true;
        break;
    case BlendMode::OpaqueTrilinear:
        if (ActiveUnitHasTexture()) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        SetEnabled(activeUnit_, true);
        glDisable(GL_BLEND);
        break;
    case BlendMode::OpaqueNearest:
        SetEnabled(activeUnit_, true);
        SetFilters(GL_NEAREST, GL_NEAREST);
        glDisable(GL_BLEND);
        break;
    default:
        break;   // modes without an entry change nothing
    }
}
