#include "Unprefixed.h"
#include "platform/Fine.h"
#include <ft2build.h>
