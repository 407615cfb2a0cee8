#include "platform/code_page.h"

#include <cstdint>

namespace tolvane {
namespace {

// Code points of the bytes 0x80 ... 0x9F in Windows-1252. The five unassigned
// bytes keep their C1 control value so that every byte has a character and
// converting back gives the same byte.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char32_t Windows1252CodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

// Length of the UTF-8 sequence starting at text[pos] and its code point. An
// invalid sequence yields the length of its maximal invalid subpart (at least
// one byte), kReplacement and valid == false. Follows the well-formed byte table of Unicode
// (no overlongs, no surrogates, nothing above U+10FFFF).
size_t DecodeUtf8At(std::string_view text, size_t pos, char32_t& code_point,
                    bool& valid) {
  valid = true;
  const auto byte = [&](size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  }
  size_t length;
  unsigned char second_low = 0x80;
  unsigned char second_high = 0xBF;
  char32_t value;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) second_low = 0xA0;
    if (lead == 0xED) second_high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) second_low = 0x90;
    if (lead == 0xF4) second_high = 0x8F;
  } else {
    code_point = kReplacement;
    valid = false;
    return 1;
  }
  size_t i = 1;
  for (; i < length; ++i) {
    if (pos + i >= text.size()) break;
    const unsigned char next = byte(pos + i);
    const unsigned char low = i == 1 ? second_low : 0x80;
    const unsigned char high = i == 1 ? second_high : 0xBF;
    if (next < low || next > high) break;
    value = (value << 6) | (next & 0x3F);
  }
  if (i < length) {
    code_point = kReplacement;
    valid = false;
    return i;
  }
  code_point = value;
  return length;
}

bool IsAscii(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool IsValidUtf8(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    char32_t c;
    bool valid;
    pos += DecodeUtf8At(text, pos, c, valid);
    if (!valid) return false;
  }
  return true;
}

std::string RepairUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t c;
    bool valid;
    pos += DecodeUtf8At(text, pos, c, valid);
    AppendUtf8(out, c);
  }
  return out;
}

std::string DecodeUtf16(std::string_view bytes, bool big_endian) {
  const auto unit = [&](size_t i) -> char32_t {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
    return big_endian ? (b0 << 8) | b1 : (b1 << 8) | b0;
  };
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  const size_t units = bytes.size() / 2;
  size_t i = 0;
  while (i < units) {
    const char32_t first = unit(2 * i);
    ++i;
    if (first >= 0xD800 && first <= 0xDBFF) {
      if (i < units) {
        const char32_t second = unit(2 * i);
        if (second >= 0xDC00 && second <= 0xDFFF) {
          ++i;
          AppendUtf8(out, 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00));
          continue;
        }
      }
      AppendUtf8(out, kReplacement);
    } else if (first >= 0xDC00 && first <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, first);
    }
  }
  if (bytes.size() % 2 != 0) AppendUtf8(out, kReplacement);
  return out;
}

bool StartsWith(const std::string& bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() &&
         std::string_view(bytes).substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string DecodeDocument(std::string bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) {
    const std::string_view text = std::string_view(bytes).substr(3);
    if (IsValidUtf8(text)) {
      bytes.erase(0, 3);
      return bytes;
    }
    std::string repaired = RepairUtf8(text);
    return repaired;
  }
  if (StartsWith(bytes, "\xFF\xFE")) {
    return DecodeUtf16(std::string_view(bytes).substr(2), false);
  }
  if (StartsWith(bytes, "\xFE\xFF")) {
    return DecodeUtf16(std::string_view(bytes).substr(2), true);
  }
  if (IsAscii(bytes)) return bytes;
  return Windows1252ToUtf8(bytes);
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (const char c : bytes) {
    AppendUtf8(out, Windows1252CodePoint(static_cast<unsigned char>(c)));
  }
  return out;
}

std::string Utf8ToWindows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    char32_t c;
    bool valid;
    pos += DecodeUtf8At(text, pos, c, valid);
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out += static_cast<char>(c);
      continue;
    }
    char mapped = '?';
    for (int i = 0; i < 32; ++i) {
      if (kHighControls[i] == c) {
        mapped = static_cast<char>(0x80 + i);
        break;
      }
    }
    out += mapped;
  }
  return out;
}

}  // namespace tolvane
