// The one record of display objects; zero-initialised, so every field is null at program start.
#include "display/display_resources.h"

DisplayResources displayResources = {};
