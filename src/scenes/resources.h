// Every texture and mesh the scenes draw, loaded once before the music starts. Each
// handle below is written by LoadResources only.
#pragma once

#include "gfx/render_interface.h"
#include "model/mesh.h"

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

// Loads every resource in its fixed order and draws the loading screen once.
void LoadResources();

// Starts decoding the data set's pictures on worker threads, so that they are ready when
// LoadResources uploads them (it starts the decoding itself if nobody has). Call it once
// the data folder is set.
void StartPictureDecoding();
// Waits for the workers and drops every picture not yet taken. A program that ends before
// LoadResources has finished calls it first.
void StopPictureDecoding();

// A texture made from a PNG data file. A file that cannot be loaded ends the program
// with the "FATAL ERROR" box "Can't load image <name>".
TextureId LoadTexture(const char* fileName);
// Fills an empty mesh from the named object of a 3DS data file. A file that cannot be
// opened ends the program with "Can't open model <name>"; a missing object leaves the
// mesh empty and the demo plays on.
void LoadModel(Mesh* mesh, const char* fileName, const char* objectName);
