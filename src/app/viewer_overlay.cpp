// The viewer overlay's lines of text.
#include "app/viewer_overlay.h"

#include "app/player.h"

void SetUpViewerOverlay() {}

void DrawViewerOverlay(const PlayerStatus&) {}
