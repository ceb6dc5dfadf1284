#include "app/scene_keys.h"

// The desktop's own name of the save key, for its messages.
const char* const SAVE_KEY_NAME = "F5";
