#pragma once
#include "models/File3DS.h"
