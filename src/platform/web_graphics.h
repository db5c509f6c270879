// A page's WebGL context may be taken back by the browser at any time (a phone switching
// tabs, memory pressure) and given back later with nothing in it. While it is lost, play
// holds: no frame is drawn (PlatformGraphicsHeld) and the page holds its music at the same
// moment. Once the browser restores it, the page decodes the data set's pictures again and
// the restore callback makes every GL resource again; play goes on from where it stood.
#pragma once

// Sets the call that makes the graphics again in a restored context (true when it did),
// given context; null stops watching the canvas's context.
void PlatformOnGraphicsRestored(bool (*restore)(void* context), void* context);
// True from the context's loss until its resources are made again.
bool PlatformGraphicsHeld();
