#include "driver/game.hpp"

#include "combat/encounter.hpp"
#include "combat/lizardman.hpp"
#include "dice/dice.hpp"
#include "fighter/fighter.hpp"

namespace gravemoor {
namespace {

void tell_introduction(const Fighter& fighter, Output& out) {
  write_format(out, "%s - this is your fighters name for gravemoor game\n", fighter.name.data());
  write_format(out, "%d <- maxhp first rolled\n", fighter.max_hp);
  write_text(out,
             "You have been given certain arms and armors\n"
             "chain mail hauberk and apple acorn helm for armors\n"
             "also a heroes hand and a half sword a bastard sword\n"
             "\n    after years of fighting mannikins in the apprentice sheds of the kings men\n"
             "The wizard of the local towers of acumen asks you to relax while he sends you to\n"
             "a seperate location with a magical teleportation spell to vanquish monsters\n");
}

void play(Fighter& fighter, Input& in, Output& out) {
  write_line(out, "welcome to the gravemoor variant by tolvane\n");
  write_line(out, "enter your name... below");
  read_word(in, fighter.name);
  tell_introduction(fighter, out);
  fight_lizardman(fighter, out);
  // The fall is read from status, which only the lizardman fight sets.
  if (fighter.status == STATUS_ACTIVE) {
    write_line(out, "well done after returning to the barracks you can rest for some weeks.");
    fighter.hp = fighter.max_hp;
    random_encounter(fighter, out);
  }
}

}  // namespace

int play_game(std::span<const char* const> args, Input& in, Output& out) {
  if (args.size() != 2) return EXIT_USAGE;
  game_seed = parse_seed(args[1]);
  Fighter* const fighter = create_fighter();
  // Without its fighter there is no game to play; the caller says why.
  if (fighter == nullptr) return EXIT_OUT_OF_MEMORY;
  play(*fighter, in, out);
  release_fighter(fighter);
  return EXIT_OK;
}

}  // namespace gravemoor
