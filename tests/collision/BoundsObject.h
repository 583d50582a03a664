#pragma once
// The bounds-only test object moved to tests/support, shared by every suite.
#include "tests/support/BoundsObject.h"
