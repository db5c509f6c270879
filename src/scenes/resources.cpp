#include "scenes/resources.h"

#include "fx/screen_quad.h"
#include "image/png_load.h"
#include "model/mesh.h"
#include "model/mesh_load.h"

TextureId WhiteFlashTexture = 0;
TextureId LoadingTexture = 0;
TextureId EnvMapTexture = 0;
TextureId RadialMapTexture = 0;
TextureId VertNoiseTexture = 0;
TextureId EnvMap2Texture = 0;
TextureId ToriRadialTexture = 0;
TextureId BackdropTexture = 0;
TextureId LineNoiseTexture = 0;
TextureId CreditsTexture = 0;
TextureId OndTexture = 0;
TextureId GridTexture = 0;
TextureId VortexTexture = 0;
TextureId TorusDesignTexture = 0;
TextureId GreetsTexture = 0;

namespace {

// Every loaded picture stays allocated, and referenced, for the life of the process.
constexpr int TextureCount = 15;
Image* LoadedImages[TextureCount];
int LoadedImageCount = 0;

// A texture from a PNG data file.
TextureId LoadTexture(const char* fileName)
{
    Image* image = LoadPngImage(fileName);
    if (LoadedImageCount < TextureCount) LoadedImages[LoadedImageCount++] = image;
    return Renderer->CreateTexture(*image);
}

// The loading picture as a 255 × 255-pixel square at the top-left of a cleared screen.
void DrawLoadingScreen()
{
    static ScreenVertex block[4];
    Renderer->SetRenderState(1, 0);
    Renderer->ClearFrame();
    Renderer->BindTexture(LoadingTexture);
    Renderer->SetBlendMode(BlendOpaqueBilinear);
    Renderer->SetBlendMode(BlendAlpha);
    DrawScreenQuad(block, 0.0f, 0.0f, 255.0f, 255.0f, 1.0f, 1.0f, 2.0f, 2.0f, 1.0f);
    Renderer->PresentFrame();
}

}  // namespace

void LoadResources()
{
    WhiteFlashTexture = LoadTexture("megadata\\whiteflash.png");
    LoadingTexture = LoadTexture("megadata\\loading.png");
    DrawLoadingScreen();

    EnvMapTexture = LoadTexture("megadata\\envmap.png");
    RadialMapTexture = LoadTexture("megadata\\radialmap.png");
    VertNoiseTexture = LoadTexture("megadata\\vertnoise.png");
    EnvMap2Texture = LoadTexture("megadata\\envmap2.png");
    ToriRadialTexture = LoadTexture("megadata\\tori_radial_bg1024.png");
    BackdropTexture = LoadTexture("megadata\\backdropbg_megademo1024.png");
    LineNoiseTexture = LoadTexture("megadata\\linenoise.png");
    CreditsTexture = LoadTexture("megadata\\credits1024.png");
    OndTexture = LoadTexture("megadata\\ondtexture512.png");
    GridTexture = LoadTexture("megadata\\grid128.png");
    VortexTexture = LoadTexture("megadata\\vortex_kasser1024.png");
    TorusDesignTexture = LoadTexture("megadata\\torusdesign.png");
    GreetsTexture = LoadTexture("megadata\\greets.png");

    LoadMesh3ds(&BallMeshA, "megadata\\ball2420.3ds", "GeoSphere0");
    LoadMesh3ds(&BallMeshB, "megadata\\ball2420.3ds", "GeoSphere0");
    LoadMesh3ds(&FrontMesh, "megadata\\ting5.3ds", "front");
}
