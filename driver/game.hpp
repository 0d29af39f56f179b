// The whole plot of one game, from the command line to the last fight.
#pragma once

#include <span>

#include "console/console.hpp"

namespace gravemoor {

inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_WRITE_ERROR = 1;    // the game's text could not be written
inline constexpr int EXIT_READ_ERROR = 1;     // the input failed while the name was read
inline constexpr int EXIT_OUT_OF_MEMORY = 1;  // no memory for the fighter: no game
inline constexpr int EXIT_USAGE = 255;        // not exactly one argument

// Plays one game. `args` is the argument vector, the program's own name
// first; a game needs exactly one argument after it, its seed. Returns
// EXIT_USAGE at once, without reading or writing anything, for any other
// count; EXIT_OUT_OF_MEMORY, likewise without reading or writing, when the
// fighter's record cannot be allocated; and EXIT_OK after the game, however
// it ended. Nothing else is returned.
int play_game(std::span<const char* const> args, Input& in, Output& out);

}  // namespace gravemoor
