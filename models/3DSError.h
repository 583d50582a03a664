#pragma once
// E3DSError: the model reader's failure, raised for every malformed or unreadable .3ds file.
// Raise3DSError sounds the system's error beep first, as every model-file error does.

#include <stdexcept>
#include <string>
#include <string_view>

namespace qv {

class E3DSError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The subsystem's six fixed messages ("\r" breaks a message into two lines).
inline constexpr std::string_view kMsg3DSNoMemory = "Not enough memory to complete operation.";
inline constexpr std::string_view kMsg3DSInvalidChunk =
    "An invalid Chunk structure was encountered while reading\r"
    "the database. Usually caused by a corrupt database or file.";
inline constexpr std::string_view kMsg3DSNotCreated =
    "The database passed as an argument has not be created yet.";
inline constexpr std::string_view kMsg3DSWrongKind =
    "The database passed as an argument is the wrong kind of\r"
    "database for this function.";
inline constexpr std::string_view kMsg3DSWrongType =
    "The Name passed to the functions exists but is not the type of object asked for.\r"
    "For example asking for a mesh object with the GetCameraByName3DS function.";
inline constexpr std::string_view kMsg3DSInvalidIndex = "Invalid index %d.";

// Beeps, then throws E3DSError(message).
[[noreturn]] void Raise3DSError(std::string_view message);
// Beeps, then throws E3DSError with the message's "%d" replaced by `index`.
[[noreturn]] void Raise3DSErrorIndex(std::string_view message, long long index);

}  // namespace qv
