#pragma once
// The program's start-up, in one place: creates the four process-wide objects in the order they
// depend on each other - the log first (log.txt is truncated before anything else can log), then
// the application, the camera and the alarm dispatcher - and connects the lower layers to the
// application, which they cannot include: the dispatcher reads the application's clock, and
// cube-map rendering sets and restores the application's viewport. Main.cpp runs it before main's
// own code; tests that need the wiring run it themselves. Running it again changes nothing.

#include "platform/GameFolders.h"

namespace qv {

void StartUp();

// The game's own start-up, before StartUp: chooses its data, settings, log and tree-file places
// (platform/GameFolders.h) and points the global log there, making its folder when needed.
void ChooseGameFolders(TGameFolders folders);

}  // namespace qv
