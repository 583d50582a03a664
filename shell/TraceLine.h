#pragma once
// The trace of a game: after every frame, one JSON object on one line (JSON Lines) with what the
// frame showed and where every actor stood:
//   {"frame":n,"time_ms":t,"level":l,"game":"none"|"player"|"ghost","seeker":name|null,
//    "state_line":text,"messages":[lines, oldest first],"actors":[{"name":..,"class":..,
//    "state":s,"pos":[x,y,z],"heading":h,"tilt":t,"vspeed":v}, ...]}
// The player comes first (name "Player"), then the ghosts in collection order, named after their
// sections. Floats are written in the shortest form that reads back as the same single-precision
// value (null for a value JSON cannot hold, such as NaN); texts are the game's Windows-1252 bytes
// turned into UTF-8.

#include <string>

namespace qv {

class TGhostObject;
class TMyGLWindow;

// The trace line of the frame the window drew last (without the line end); `frame` counts from 1.
std::string TraceLine(const TMyGLWindow& window, long frame);

// The class an actor was made as.
const char* ActorClassName(const TGhostObject& actor);

// `text` (Windows-1252) as a JSON string, quotes included.
std::string JsonString(const std::string& text);
// `value` as a JSON number that reads back as the same float; null when not finite.
std::string JsonFloat(float value);

}  // namespace qv
