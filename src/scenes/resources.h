// Every texture and mesh the scenes draw, loaded once before the music starts.
#pragma once

#include <functional>
#include <string>

#include "gfx/render_interface.h"
#include "model/mesh.h"

// What a load that failed reports to its caller: the text of the "FATAL ERROR" box the
// program shows for it. Empty when everything loaded.
struct [[nodiscard]] LoadFailure {
    std::string text;
    bool Failed() const { return !text.empty(); }
};

// The pictures, as textures of the render interface they were loaded through, named for
// what they show (tools/megadata's picture catalogue describes each).
struct SceneTextures {
    TextureId whiteFlash;              // near-white closing picture
    TextureId loading;                 // the "loading" sign
    TextureId studioReflections;       // reflections repeated over the implicit surface
    TextureId slicedBallSkin;          // wrapped round the sliced ball
    TextureId vertNoise;               // vertical streaks
    TextureId ballReflections;         // the twisting ball's reflection map
    TextureId ringsBackground;         // rings: behind the shapes above, the sliced ball below
    TextureId titleCreditsBackground;  // the credits backdrop above, the title picture below
    TextureId lineNoise;               // horizontal scan lines
    TextureId credits;                 // the three credit bands
    TextureId creditsModelSkin;        // the credits model's translucent skin
    TextureId latticePanel;            // one glowing panel of the closing lattice
    TextureId swirlsBackground;        // swirls: behind the twisting ball above, the lattice below
    TextureId squareEmblem;            // the round emblem on the spinning squares
    TextureId greetingsCard;           // the greetings text
};

// Everything the scenes draw, as loaded. The scenes that change a mesh (deformations,
// alphas) draw their own copies of it; the player holds the one load.
struct Resources {
    SceneTextures textures;
    Mesh ball;      // the sliced and the twisting ball's sphere
    Mesh crystal;   // the credits' model
};

// A load: the resources, or the failure that stopped it.
struct LoadedResources {
    Resources resources;
    LoadFailure failure;
};

// Loads every resource in its fixed order through the render interface. Once the first
// two pictures are in, the loading screen is drawn and presentLoadingScreen is called to
// show it. Stops at the first failure, with the picture decoding workers stopped and the
// meshes read so far freed.
LoadedResources LoadResources(RenderInterface& render, const std::function<void()>& presentLoadingScreen);

// Frees the meshes and leaves them empty. The textures belong to the render interface and
// go with it.
void FreeResources(Resources* resources);

// Starts decoding the data set's pictures on worker threads, so that they are ready when
// LoadResources uploads them (it starts the decoding itself if nobody has). Call it once
// the data folder is set.
void StartPictureDecoding();
// Waits for the workers and drops every picture not yet taken. A program that ends before
// LoadResources has finished calls it first.
void StopPictureDecoding();

// A texture made from a PNG data file into *texture. A file that cannot be loaded fails
// with "Can't load image <name>".
LoadFailure LoadTexture(RenderInterface& render, const char* fileName, TextureId* texture);
// Fills an empty mesh from the named object of a 3DS data file. A file that cannot be
// opened fails with "Can't open model <name>"; a missing object leaves the mesh empty,
// is said on standard error, and is no failure: the demo plays on.
LoadFailure LoadModel(Mesh* mesh, const char* fileName, const char* objectName);
