// Preloaded into the game by the whole-program tests: a heap that has no
// memory left, so that the game meets a failing allocation as it would on
// a machine that has run out, without any switch in the game itself.
#include <cstddef>

// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp): replaces the C
// library's
extern "C" void* malloc(std::size_t /*size*/) { return nullptr; }
