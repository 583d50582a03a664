#pragma once
// The ghost classes a level file can name: the one registry the ghost collection creates from,
// the trace names actors by (each ghost keeps the class reference it was created from) and
// `qv-tool check` knows. A new kind is its own files plus one row in GhostClasses.cpp; the keys
// it reads are rows of LevelSchema.h under its class name.
//
// Names are case-sensitive; a name no kind has makes a plain TGhostObject.

#include <span>
#include <string_view>
#include <type_traits>

#include "game/GhostObject.h"

namespace qv {

struct TGhostKind {
  const TGhostClass* Class;  // name and virtual constructor
  std::string_view Base;     // the kind it derives from, "" for the plain ghost
};

// Every kind, the plain ghost first; a base before the kinds derived from it.
std::span<const TGhostKind> GhostKinds();

// The class named exactly `name`, or the plain ghost.
const TGhostClass& GhostClassNamed(std::string_view name);

// True when `kind` is `base` or derives from it; false for names no kind has.
bool GhostKindIsA(std::string_view kind, std::string_view base);

// A registry row for T, derived from Base (checked while compiling).
template <class T, class Base>
TGhostKind GhostKindOf() {
  static_assert(std::is_base_of_v<Base, T> && !std::is_same_v<Base, T>);
  return {&T::Class(), Base::Class().Name};
}

}  // namespace qv
