#include "scenes/resources.h"

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

void LoadResources()
{
}
