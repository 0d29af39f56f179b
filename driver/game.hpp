// The whole plot of one game, from the command line to the last fight.
#pragma once

#include <span>

#include "console/console.hpp"

namespace gravemoor {

inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_WRITE_ERROR = 1;  // the game's text could not be written
inline constexpr int EXIT_USAGE = 255;      // not exactly one argument

// Plays one game. `args` is the argument vector, the program's own name
// first; a game needs exactly one argument after it, its seed. Returns
// EXIT_USAGE at once, without reading or writing anything, for any other
// count, and EXIT_OK after the game, however it ended.
int play_game(std::span<const char* const> args, Input& in, Output& out);

}  // namespace gravemoor
