#include "platform/byte_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvane {
namespace {

// Every length around the word, the block of sixteen and the run of four
// blocks, with the one byte that matters at every position: the overlapping
// last word or block and short texts must neither miss it nor invent it.
TEST(ByteScanTest, FindsTheOneByteAtEveryPositionOfEveryLength) {
  struct Case {
    char byte;
    bool ascii;
    bool control;
    bool last_controls;  // 0x18 to 0x1F
  };
  const Case cases[] = {
      {'\x80', false, false, false}, {'\xFF', false, false, false}, {'\x1F', true, true, true},
      {'\x18', true, true, true},    {'\x17', true, true, false},   {'\x98', false, false, false},
      {'\0', true, true, false},     {' ', true, false, false},     {'\x7F', true, false, false},
  };
  for (size_t length = 0; length <= 80; ++length) {
    const std::string plain(length, 'a');
    EXPECT_TRUE(IsAsciiText(plain)) << length;
    EXPECT_FALSE(HasControlByte(plain)) << length;
    EXPECT_TRUE(IsPrintableAscii(plain)) << length;
    EXPECT_FALSE(HasByte18To1F(plain)) << length;
    EXPECT_EQ(SkipAscii(plain, 0), length);
    EXPECT_EQ(SkipAsciiBackward(plain), 0u);
    for (const Case& c : cases) {
      for (size_t pos = 0; pos < length; ++pos) {
        std::string text = plain;
        text[pos] = c.byte;
        EXPECT_EQ(IsAsciiText(text), c.ascii) << length << " " << pos << " " << int(c.byte);
        EXPECT_EQ(HasControlByte(text), c.control) << length << " " << pos << " " << int(c.byte);
        EXPECT_EQ(IsPrintableAscii(text), c.ascii && !c.control) << length << " " << pos << " " << int(c.byte);
        EXPECT_EQ(HasByte18To1F(text), c.last_controls) << length << " " << pos << " " << int(c.byte);
        EXPECT_EQ(SkipAsciiBackward(text), c.ascii ? 0 : pos + 1) << length << " " << pos;
        for (const size_t from : {size_t{0}, pos / 2, pos}) {
          EXPECT_EQ(SkipAscii(text, from), c.ascii ? length : pos) << length << " " << pos << " " << from;
        }
      }
    }
  }
}

TEST(ByteScanTest, CopiesEveryLengthExactlyAndNothingBeyond) {
  for (size_t length = 0; length <= 40; ++length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text += static_cast<char>('A' + i);
    std::string target(length + 8, '.');
    CopyBytes(target.data() + 4, text);
    EXPECT_EQ(target, std::string(4, '.') + text + std::string(4, '.')) << length;
  }
}

}  // namespace
}  // namespace tolvane
