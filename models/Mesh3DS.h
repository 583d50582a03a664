#pragma once
// The mesh record the database hands out is defined with the meshes built from it.

#include "scene/Mesh3DS.h"
