#include "media/graphics/GraphicsState.h"
