#include "media/input/KeyInput.h"

// Player 1 only: the configuration and the frame's polling serve one player.
std::vector<cKeyInput> InputStates(1);
