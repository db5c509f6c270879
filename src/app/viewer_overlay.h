// The viewer overlay (Tab): demo time, scene, frame rate and frame time in a corner of
// the picture, drawn over the finished scene before the frame is presented.
#pragma once

class RenderInterface;
struct PlayerStatus;

// Makes the overlay's font texture; once, after loading.
void SetUpViewerOverlay(RenderInterface& render);
void DrawViewerOverlay(RenderInterface& render, const PlayerStatus& status);
