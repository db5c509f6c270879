// The render interface on WebGL 2, for the page. It keeps the GL 1.1 interface's meaning:
// the same texture names, units and filters, the same blend states, depth as 1/z tested
// GEQUAL against 0. The fixed-function state that WebGL lacks (texturing enabled per unit)
// is kept here and handed to one small shader as uniforms. Triangles gather in one vertex buffer and
// are drawn when a state they depend on changes, or the frame ends. Every GL object it makes
// can be made again in a context the browser lost and restored (Restore): a texture from the
// data file its picture came from, or from its own copy for a picture made in memory.
#pragma once

#include <GLES3/gl3.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "gfx/render_interface.h"

class WebGL2RenderInterface : public RenderInterface {
public:
    // False when the shaders do not build; the interface cannot draw then.
    bool Initialise();
    // Makes every GL object again in a context that was lost and restored (its old names
    // are gone with it): the shaders, the vertex buffer, and each texture with its image,
    // mipmaps and filters, then the shadowed state (depth test, blending, bound textures).
    // The kept picture is not made again: DrawKeptFrame draws nothing until KeepFrame. False
    // when the shaders do not build or a picture cannot be loaded again.
    bool Restore();

    void SetDepthTest(bool enabled) override;
    TextureId CreateTexture(const Image& image) override;
    void DrawTriangle(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3) override;
    void DrawTriangleAffine(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3) override;
    void DrawTriangleDualTexture(const ScreenVertex& p1, const ScreenVertex& p2,
                                 const ScreenVertex& p3) override;
    void DrawQuad(const ScreenVertex& p1, const ScreenVertex& p2, const ScreenVertex& p3,
                  const ScreenVertex& p4) override;
    void BindTexture(TextureId id) override;
    void BindSecondTexture(TextureId id) override;
    void ClearFrame() override;
    void PresentFrame() override;
    void SetBlendMode(BlendMode mode) override;
    void ReadFrame(std::vector<uint8_t>* bgra, int* width, int* height) override;
    void KeepFrame() override;
    void DrawKeptFrame() override;

    // Draws the gathered triangles.
    void Flush();

private:
    // x, y, depth; red, green, blue, alpha; s, t, r, q of unit 0; s, t of unit 1.
    static constexpr int FloatsPerVertex = 13;

    void Emit(float x, float y, float depth, const ScreenVertex& colour, float s, float t, float q,
              float s1, float t1);
    void EmitPerspective(const ScreenVertex& p);
    void SelectUnit(int unit);
    void Bind(int unit, TextureId id);
    void SetEnabled(int unit, bool enabled);
    void SetFilters(GLint minFilter, GLint magFilter);
    bool UnitDraws(int unit) const;
    bool ActiveUnitHasTexture() const;
    void ApplyBlend();

    // A texture as WebGL holds it, with what it takes to make it again.
    struct Texture {
        GLuint name = 0;                        // WebGL's
        std::string source;                     // the data file of its picture, or empty:
        std::vector<uint8_t> pixels;            // then its own copy of the picture
        int width = 0, height = 0;
        GLint minFilter = GL_LINEAR, magFilter = GL_LINEAR;
    };
    void Upload(const Texture& texture, const uint8_t* pixels);
    Texture* BoundOnActiveUnit();

    uint32_t nextTextureId_ = FirstTextureIdBase;   // the name most recently handed out
    GLuint program_ = 0, buffer_ = 0, vertexArray_ = 0;
    // The kept picture, at the drawing buffer's size then, and that size.
    GLuint keptTexture_ = 0;
    int keptWidth_ = 0, keptHeight_ = 0;
    GLint useUnit0_ = -1, useUnit1_ = -1;
    std::vector<float> vertices_;
    bool clearPending_ = false;
    std::unordered_map<uint32_t, Texture> textures_;   // our texture names -> WebGL's

    // The fixed-function state, as GL 1.1 would hold it.
    int activeUnit_ = 0;
    TextureId bound_[2];
    bool enabled_[2] = {true, false};   // the device enables texturing on unit 0
    float unit1S_ = 0, unit1T_ = 0;     // unit 1's current coordinates, kept between draws
    bool depthTest_ = true;             // the device enables depth testing
    bool blend_ = false;
    GLenum blendSource_ = GL_ONE, blendDestination_ = GL_ZERO;
};
