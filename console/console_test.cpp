#include "console/console.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/string_io.hpp"

namespace gravemoor {
namespace {

using testing::capture;
using testing::string_input;
using testing::StringSource;

TEST(Console, LineAndFormattedOutput) {
  EXPECT_EQ("one\n-7 <- two\nthree", capture([](Output& out) {
              write_line(out, "one");
              write_format(out, "%d <- %s\n", -7, "two");
              write_text(out, "three");
            }));
  const std::string long_word(1000, 'z');
  EXPECT_EQ("[" + long_word + "]-2147483648%2147483647", capture([&](Output& out) {
              write_format(out, "[%s]%d%%%d", long_word.c_str(), INT32_MIN, INT32_MAX);
            }));
  EXPECT_EQ("0 10 -10 9 -1000000000", capture([](Output& out) {
              write_format(out, "%d %d %d %d %d", 0, 10, -10, 9, -1000000000);
            }));
}

TEST(Console, OutputDrainsInBlocksOrLines) {
  std::vector<std::string> drained;
  Output out{[](void* context, std::string_view bytes) {
               static_cast<std::vector<std::string>*>(context)->emplace_back(bytes);
             },
             &drained};
  const std::string block(3000, 'b');
  write_text(out, block);
  write_text(out, block);                   // does not fit: the first block goes on
  write_text(out, std::string(5000, 'c'));  // larger than the buffer: passed straight on
  flush(out);
  flush(out);
  EXPECT_EQ((std::vector<std::string>{block, block, std::string(5000, 'c')}), drained);

  drained.clear();
  out.flush_lines = true;
  write_text(out, "prompt");
  write_line(out, " below");
  write_text(out, "a\nb");
  EXPECT_EQ((std::vector<std::string>{"prompt below\n", "a\nb"}), drained);
}

// Reads a word into a buffer the size of a fighter's name, followed by
// guard bytes that must stay untouched. Returns the word and how far the
// input was read.
std::pair<std::string, std::size_t> read_name(std::string_view input) {
  std::array<char, 52 + 8> buffer;
  buffer.fill('#');
  StringSource source{input};
  Input in = string_input(source);
  read_word(in, std::span<char>(buffer.data(), 52));
  for (std::size_t i = 52; i < buffer.size(); ++i) EXPECT_EQ('#', buffer[i]) << "byte " << i;
  return {buffer.data(), source.read};
}

TEST(Console, ReadWord) {
  using Result = std::pair<std::string, std::size_t>;
  EXPECT_EQ((Result{"Ann", 4}), read_name("Ann Lee"));
  EXPECT_EQ((Result{"Ann", 11}), read_name(" \t\r\n\v\f\nAnn\nBob"));
  EXPECT_EQ((Result{"", 0}), read_name(""));
  EXPECT_EQ((Result{"", 3}), read_name(" \n\t"));
  EXPECT_EQ((Result{"\x80\xFF\x01\x7F", 5}), read_name("\x80\xFF\x01\x7F "));
  EXPECT_EQ((Result{"An", 5}), read_name(std::string_view("An\0n ", 5)));
  EXPECT_EQ((Result{std::string(51, 'x'), 53}), read_name("  " + std::string(50, 'x') + "xyz"));
  EXPECT_EQ((Result{std::string(51, 'x'), 51}), read_name(std::string(51, 'x')));
}

}  // namespace
}  // namespace gravemoor
