#include "combat/victory.hpp"

namespace gravemoor {

void show_victory(Output& out) {
  // The word sits left of centre: that is the banner's design.
  constexpr std::string_view edge = "###################################################";
  constexpr std::string_view blank = "#                                                 #";
  constexpr std::string_view word = "#                 Victory!                        #";
  for (const std::string_view line : {edge, blank, blank, blank, word, blank, blank, blank, edge}) {
    write_line(out, line);
  }
}

}  // namespace gravemoor
