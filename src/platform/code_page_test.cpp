#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvane {
namespace {

using namespace std::string_literals;

const std::string kFffd = "\xEF\xBF\xBD";

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::string expected;
};

TEST(DecodeDocumentTest, SelectsEncodingByByteOrderMarkAndRepairs) {
  const DecodeCase cases[] = {
      // No byte order mark: Windows-1252, one character per byte.
      {"empty", "", ""},
      {"ascii", "{\"a\":1}", "{\"a\":1}"},
      {"ascii with NUL", "a\0b"s, "a\0b"s},
      {"latin-1 range", "\xE4\xF6\xFC\xDF\xA0\xFF", "äöüß\u00A0ÿ"},
      {"code page block", "\x80\x82\x8A\x9F", "€‚ŠŸ"},
      {"ascii runs between", "\x80" "0123456789abcdefg" "\xE4" "xy" "\x9F" "0123456789",
       "€0123456789abcdefgäxyŸ0123456789"},
      {"unassigned bytes", "\x81\x8D\x8F\x90\x9D",
       "\u0081\u008D\u008F\u0090\u009D"},
      {"utf-8 without mark is not utf-8", "\xC3\xA4", "Ã¤"},
      {"lone FE is no mark", "\xFE", "þ"},
      {"lone EF BB is no mark", "\xEF\xBB", "ï»"},

      // UTF-8 mark: dropped; valid text kept, invalid parts repaired.
      {"utf-8 mark only", "\xEF\xBB\xBF", ""},
      {"utf-8 valid", "\xEF\xBB\xBF" "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80",
       "aä€😀"},
      {"utf-8 keeps a second mark", "\xEF\xBB\xBF\xEF\xBB\xBF", "\uFEFF"},
      {"utf-8 NUL", "\xEF\xBB\xBF" "a\0b"s, "a\0b"s},
      {"utf-8 literal U+FFFD stays", "\xEF\xBB\xBF\xEF\xBF\xBD", kFffd},
      {"truncated 3-byte then ascii", "\xEF\xBB\xBF\xE2\x82" "A",
       kFffd + "A"},
      {"surrogate ED A0 80", "\xEF\xBB\xBF\xED\xA0\x80",
       kFffd + kFffd + kFffd},
      {"overlong C0 80", "\xEF\xBB\xBF\xC0\x80", kFffd + kFffd},
      {"overlong E0 80 80", "\xEF\xBB\xBF\xE0\x80\x80", kFffd + kFffd + kFffd},
      {"overlong F0 80 80 80", "\xEF\xBB\xBF\xF0\x80\x80\x80",
       kFffd + kFffd + kFffd + kFffd},
      {"above U+10FFFF", "\xEF\xBB\xBF\xF4\x90\x80\x80",
       kFffd + kFffd + kFffd + kFffd},
      {"F5 and FF leads", "\xEF\xBB\xBF\xF5\xFF", kFffd + kFffd},
      {"lone continuation bytes", "\xEF\xBB\xBF\x80\xBF" "a",
       kFffd + kFffd + "a"},
      {"truncated 4-byte at end", "\xEF\xBB\xBF\xF0\x9F\x98", kFffd},
      {"truncated 2-byte at end", "\xEF\xBB\xBF" "a\xC3", "a" + kFffd},
      {"truncated then valid", "\xEF\xBB\xBF\xF0\x9F\xC3\xA4",
       kFffd + "ä"},
      {"highest code point", "\xEF\xBB\xBF\xF4\x8F\xBF\xBF",
       "\xF4\x8F\xBF\xBF"},
      {"last before surrogates", "\xEF\xBB\xBF\xED\x9F\xBF", "\xED\x9F\xBF"},

      // UTF-16 little-endian.
      {"utf-16le mark only", "\xFF\xFE", ""},
      {"utf-16le text", "\xFF\xFE{\0\xE4\0\xAC\x20"s, "{ä€"},
      {"utf-16le NUL", "\xFF\xFE" "a\0\0\0b\0"s, "a\0b"s},
      {"utf-16le pair", "\xFF\xFE\x3D\xD8\x00\xDE"s, "😀"},
      {"utf-16le lone high at end", "\xFF\xFE\x3D\xD8", kFffd},
      {"utf-16le high then ascii", "\xFF\xFE\x3D\xD8" "a\0"s, kFffd + "a"},
      {"utf-16le two highs then low", "\xFF\xFE\x3D\xD8\x3D\xD8\x00\xDE"s,
       kFffd + "😀"},
      {"utf-16le lone low", "\xFF\xFE\x00\xDE" "a\0"s, kFffd + "a"},
      {"utf-16le odd byte", "\xFF\xFE" "a\0b"s, "a" + kFffd},
      {"utf-16le high then odd byte", "\xFF\xFE\x3D\xD8\x00"s,
       kFffd + kFffd},
      {"utf-16le mark of FF FE FE FF", "\xFF\xFE\xFE\xFF", "\uFFFE"},

      // UTF-16 big-endian.
      {"utf-16be mark only", "\xFE\xFF", ""},
      {"utf-16be text", "\xFE\xFF\0{\0\xE4\x20\xAC"s, "{ä€"},
      {"utf-16be pair", "\xFE\xFF\xD8\x3D\xDE\x00"s, "😀"},
      {"utf-16be lone low", "\xFE\xFF\xDE\x00"s, kFffd},
      {"utf-16be odd byte", "\xFE\xFF\0a\0"s, "a" + kFffd},

      // The UTF-8 mark wins over the UTF-16 ones only by coming first.
      {"utf-8 mark then FF FE", "\xEF\xBB\xBF\xFF\xFE", kFffd + kFffd},
  };
  for (const DecodeCase& c : cases) {
    EXPECT_EQ(DecodeDocument(c.bytes), c.expected) << c.name;
  }
}

TEST(DecodeDocumentTest, AsciiIsMovedNotCopied) {
  std::string bytes(100000, 'x');
  const char* buffer = bytes.data();
  const std::string text = DecodeDocument(std::move(bytes));
  EXPECT_EQ(text.data(), buffer);
  EXPECT_EQ(text.size(), 100000u);
}

TEST(DecodeDocumentTest, Windows1252GrowsInItsBufferWhenThereIsRoom) {
  std::string bytes = std::string(100000, 'x') + "\xE4\x80";
  bytes.reserve(bytes.size() + 16);
  const char* buffer = bytes.data();
  const std::string text = DecodeDocument(std::move(bytes));
  EXPECT_EQ(text.data(), buffer);
  EXPECT_EQ(text, std::string(100000, 'x') + "ä€");
}

TEST(DecodeDocumentTest, ValidUtf8KeepsItsBuffer) {
  std::string bytes = "\xEF\xBB\xBF" + std::string(100000, 'x') + "ä";
  const char* buffer = bytes.data();
  const std::string text = DecodeDocument(std::move(bytes));
  EXPECT_EQ(text.data(), buffer);
  EXPECT_EQ(text, std::string(100000, 'x') + "ä");
}

TEST(CodePageTest, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  // "\xEF" first would form a byte order mark; start the document with "x".
  const std::string document = "x" + all + all;
  const std::string text = DecodeDocument(document);
  EXPECT_EQ(text, Windows1252ToUtf8(document));
  EXPECT_EQ(Utf8ToWindows1252(text), document);
  // A UTF-8 file without a mark comes back byte for byte.
  const std::string utf8 = "x\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\xED\xA0\x80";
  EXPECT_EQ(Utf8ToWindows1252(DecodeDocument(utf8)), utf8);
}

TEST(CodePageTest, EncodesToWindows1252) {
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"plain\r\n", "plain\r\n"},
      {"a\0b"s, "a\0b"s},
      {"äöüÄÖÜß©ÿ", "\xE4\xF6\xFC\xC4\xD6\xDC\xDF\xA9\xFF"},
      {"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ",
       "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94"
       "\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F"},
      {"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D"},
      // Other C1 controls and characters outside the code page.
      {"\u0080\u0085\u009F", "???"},
      {"Ωa€", "?a\x80"},
      {"中文😀", "???"},
      {"\uFFFD", "?"},
      // Invalid UTF-8 (the loader never produces it): one "?" per subpart.
      {"\xE2\x82" "A", "?A"},
      {"\xC0\x80", "??"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToWindows1252(c.text), c.expected) << c.text;
  }
}

}  // namespace
}  // namespace tolvane
