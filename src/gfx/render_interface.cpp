// The process-wide render interface pointer.
#include "gfx/render_interface.h"

RenderInterface* Renderer = nullptr;
