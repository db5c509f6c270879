// Every texture and mesh the scenes draw, loaded once before the music starts. Each
// handle below is written by LoadResources only.
#pragma once

#include <string>

#include "gfx/render_interface.h"
#include "model/mesh.h"

// What a load that failed reports to its caller: the text of the "FATAL ERROR" box the
// program shows for it. Empty when everything loaded.
struct [[nodiscard]] LoadFailure {
    std::string text;
    bool Failed() const { return !text.empty(); }
};

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

// The loaded meshes; each written once by LoadResources. The two balls are separate
// copies of the same object, so one scene's deformation never shows in the other.
extern Mesh BallMeshA;
extern Mesh BallMeshB;
extern Mesh FrontMesh;

// Loads every resource in its fixed order and draws the loading screen once. Stops at
// the first failure, with the picture decoding workers stopped.
LoadFailure LoadResources();

// Starts decoding the data set's pictures on worker threads, so that they are ready when
// LoadResources uploads them (it starts the decoding itself if nobody has). Call it once
// the data folder is set.
void StartPictureDecoding();
// Waits for the workers and drops every picture not yet taken. A program that ends before
// LoadResources has finished calls it first.
void StopPictureDecoding();

// A texture made from a PNG data file into *texture. A file that cannot be loaded fails
// with "Can't load image <name>".
LoadFailure LoadTexture(const char* fileName, TextureId* texture);
// Fills an empty mesh from the named object of a 3DS data file. A file that cannot be
// opened fails with "Can't open model <name>"; a missing object leaves the mesh empty,
// is said on standard error, and is no failure: the demo plays on.
LoadFailure LoadModel(Mesh* mesh, const char* fileName, const char* objectName);
