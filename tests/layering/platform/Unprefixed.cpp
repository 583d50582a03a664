#include "Unprefixed.h"
#include <ft2build.h>
#include "platform/Fine.h"
