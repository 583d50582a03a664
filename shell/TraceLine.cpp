#include "shell/TraceLine.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "game/PlayerObject.h"
#include "platform/BitmapFont.h"
#include "shell/MyGLWindow.h"

namespace qv {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendActor(std::string& out, const TGhostObject& actor, const std::string& name) {
  const TVector& p = actor.Position();
  out += "{\"name\":" + JsonString(name) + ",\"class\":\"" + ActorClassName(actor) +
         "\",\"state\":" + std::to_string(actor.State()) + ",\"pos\":[" + JsonFloat(p.x) + "," +
         JsonFloat(p.y) + "," + JsonFloat(p.z) + "],\"heading\":" + JsonFloat(actor.Heading()) +
         ",\"tilt\":" + JsonFloat(actor.Tilt()) + ",\"vspeed\":" + JsonFloat(actor.VerticalSpeed) +
         "}";
}

}  // namespace

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else if (c >= 0x80 && c < 0xA0) {
      // Codes the code page leaves empty become U+FFFD.
      const char32_t mapped = Windows1252ToUnicode(static_cast<unsigned char>(c));
      AppendUtf8(out, mapped ? mapped : 0xFFFD);
    } else {
      AppendUtf8(out, c);
    }
  }
  return out + "\"";
}

std::string JsonFloat(float value) {
  if (!std::isfinite(value)) return "null";
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

const char* ActorClassName(const TGhostObject& actor) { return actor.Kind->Name; }

std::string TraceLine(const TMyGLWindow& window, long frame) {
  TWorld& world = *window.GetWorld();
  const TPlayerObject& player = world.GetPlayer();
  TGhostObjects& ghosts = world.GetGhosts();
  const TGhostObject* seeker = ghosts.GetSeeker();
  const auto nameOf = [&player](const TGhostObject& actor) {
    return &actor == &player ? std::string("Player") : actor.Name;
  };

  std::string stateLine;
  std::string messages;
  for (const TOverlayLine& line : window.Overlay()) {
    if (line.kind == TOverlayKind::GameState) stateLine = line.text;
    if (line.kind != TOverlayKind::Message) continue;
    if (!messages.empty()) messages += ',';
    messages += JsonString(line.text);
  }

  std::string out =
      "{\"frame\":" + std::to_string(frame) + ",\"time_ms\":" + std::to_string(window.FrameTime()) +
      ",\"level\":" + std::to_string(window.CurrentLevel()) + ",\"game\":\"" +
      (!seeker             ? "none"
       : seeker == &player ? "player"
                           : "ghost") +
      "\",\"seeker\":" + (seeker ? JsonString(nameOf(*seeker)) : "null") +
      ",\"state_line\":" + JsonString(stateLine) + ",\"messages\":[" + messages + "],\"actors\":[";
  AppendActor(out, player, "Player");
  for (int i = 0; i < ghosts.GhostCount(); ++i) {
    out += ',';
    const TGhostObject& ghost = ghosts.GhostAt(i);
    AppendActor(out, ghost, nameOf(ghost));
  }
  return out + "]}";
}

}  // namespace qv
