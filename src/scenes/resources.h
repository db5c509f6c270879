// Every texture and mesh the scenes draw, loaded once before the music starts.
#pragma once

#include "gfx/render_interface.h"

extern TextureId WhiteFlashTexture;
extern TextureId LoadingTexture;
extern TextureId EnvMapTexture;
extern TextureId RadialMapTexture;
extern TextureId VertNoiseTexture;
extern TextureId EnvMap2Texture;
extern TextureId ToriRadialTexture;
extern TextureId BackdropTexture;
extern TextureId LineNoiseTexture;
extern TextureId CreditsTexture;
extern TextureId OndTexture;
extern TextureId GridTexture;
extern TextureId VortexTexture;
extern TextureId TorusDesignTexture;
extern TextureId GreetsTexture;

// Loads every resource in its fixed order and draws the loading screen once.
void LoadResources();
