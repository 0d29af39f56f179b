#pragma once

#include "console/console.hpp"

namespace gravemoor {

// Writes the nine-line "Victory!" banner. Draws no dice.
void show_victory(Output& out);

}  // namespace gravemoor
