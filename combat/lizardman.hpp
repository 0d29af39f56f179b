#pragma once

#include "console/console.hpp"
#include "fighter/fighter.hpp"

namespace gravemoor {

// Plays the scripted first fight against a lizardman of 3 to 17 hit points
// until one side falls. Both sides need 14 on a d20; the lizardman's hits do
// a d6 of damage. On a victory the banner is shown and the fighter gains 750
// experience; a fighter who falls (even in the same round) is marked
// STATUS_FALLEN.
void fight_lizardman(Fighter& fighter, Output& out);

}  // namespace gravemoor
