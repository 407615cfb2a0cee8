#include "platform/code_page.h"

#include <cstdint>
#include <cstring>

#include "platform/byte_scan.h"
#include "platform/large_buffer.h"

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

// The decoders below run twice over their input: once with a SizeSink to learn
// the exact length of the result, once with an AppendSink into a string of
// that length. Large documents then need no reallocation and no spare room.
class SizeSink {
 public:
  void Put(char32_t c) { size_ += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }
  void PutAscii(std::string_view run) { size_ += run.size(); }
  size_t Size() const { return size_; }

 private:
  size_t size_ = 0;
};

// Writes into a buffer that the SizeSink pass made large enough.
class AppendSink {
 public:
  explicit AppendSink(char* out) : out_(out) {}
  void Put(char32_t c) {
    if (c < 0x80) {
      *out_++ = static_cast<char>(c);
    } else if (c < 0x800) {
      *out_++ = static_cast<char>(0xC0 | (c >> 6));
      *out_++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      *out_++ = static_cast<char>(0xE0 | (c >> 12));
      *out_++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *out_++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *out_++ = static_cast<char>(0xF0 | (c >> 18));
      *out_++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      *out_++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *out_++ = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  void PutAscii(std::string_view run) {
    std::memcpy(out_, run.data(), run.size());
    out_ += run.size();
  }
  const char* End() const { return out_; }

 private:
  char* out_;
};

// Runs a decoder once to size the result and once to fill it.
template <typename Decode>
std::string DecodeExactly(std::string_view input, Decode decode) {
  SizeSink size;
  decode(input, size);
  std::string out;
  out.reserve(size.Size());
  AdviseHugePages(out.data(), out.capacity());
  out.resize(size.Size());
  AppendSink sink(out.data());
  decode(input, sink);
  return out;
}

// Decodes the UTF-8 sequence that starts at text[pos] (its lead byte is not
// ASCII). Returns the number of bytes taken and sets the code point. An invalid
// sequence takes its maximal invalid subpart (at least one byte) and yields
// kReplacement with valid == false. The byte ranges are those of well-formed
// UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
size_t DecodeUtf8Sequence(std::string_view text, size_t pos,
                          char32_t& code_point, bool& valid) {
  const unsigned char lead = static_cast<unsigned char>(text[pos]);
  size_t length;
  unsigned char second_low = 0x80;
  unsigned char second_high = 0xBF;
  char32_t value;
  valid = true;
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  }
  // The common two-byte case (Latin letters) first.
  if (lead >= 0xC2 && lead <= 0xDF && pos + 1 < text.size() &&
      (static_cast<unsigned char>(text[pos + 1]) & 0xC0) == 0x80) {
    code_point = ((lead & 0x1F) << 6) | (text[pos + 1] & 0x3F);
    return 2;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) second_low = 0xA0;   // overlong below U+0800
    if (lead == 0xED) second_high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) second_low = 0x90;   // overlong below U+10000
    if (lead == 0xF4) second_high = 0x8F;  // above U+10FFFF
  } else {
    code_point = kReplacement;
    valid = false;
    return 1;
  }
  size_t taken = 1;
  for (; taken < length && pos + taken < text.size(); ++taken) {
    const unsigned char next = static_cast<unsigned char>(text[pos + taken]);
    const unsigned char low = taken == 1 ? second_low : 0x80;
    const unsigned char high = taken == 1 ? second_high : 0xBF;
    if (next < low || next > high) break;
    value = (value << 6) | (next & 0x3F);
  }
  valid = taken == length;
  code_point = valid ? value : kReplacement;
  return taken;
}

bool IsValidUtf8(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    pos = SkipAscii(text, pos);
    if (pos == text.size()) break;
    char32_t c;
    bool valid;
    pos += DecodeUtf8Sequence(text, pos, c, valid);
    if (!valid) return false;
  }
  return true;
}

template <typename Sink>
void RepairUtf8(std::string_view text, Sink& sink) {
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t run_end = SkipAscii(text, pos);
    sink.PutAscii(text.substr(pos, run_end - pos));
    pos = run_end;
    if (pos == text.size()) break;
    char32_t c;
    bool valid;
    pos += DecodeUtf8Sequence(text, pos, c, valid);
    sink.Put(c);
  }
}

template <bool kBigEndian>
struct Utf16Decoder {
  template <typename Sink>
  void operator()(std::string_view bytes, Sink& sink) const {
    const auto unit = [&](size_t i) -> char32_t {
      const auto b0 = static_cast<unsigned char>(bytes[2 * i]);
      const auto b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
      return kBigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0;
    };
    const size_t units = bytes.size() / 2;
    size_t i = 0;
    while (i < units) {
      const char32_t first = unit(i++);
      if (first < 0xD800 || first > 0xDFFF) {
        sink.Put(first);
      } else if (first <= 0xDBFF && i < units && unit(i) >= 0xDC00 &&
                 unit(i) <= 0xDFFF) {
        sink.Put(0x10000 + ((first - 0xD800) << 10) + (unit(i++) - 0xDC00));
      } else {
        sink.Put(kReplacement);  // unpaired surrogate
      }
    }
    if (bytes.size() % 2 != 0) sink.Put(kReplacement);  // truncated last unit
  }
};

struct Windows1252Decoder {
  template <typename Sink>
  void operator()(std::string_view bytes, Sink& sink) const {
    size_t pos = 0;
    while (pos < bytes.size()) {
      const size_t run_end = SkipAscii(bytes, pos);
      sink.PutAscii(bytes.substr(pos, run_end - pos));
      pos = run_end;
      for (; pos < bytes.size() && static_cast<unsigned char>(bytes[pos]) >= 0x80; ++pos) {
        const auto byte = static_cast<unsigned char>(bytes[pos]);
        sink.Put(byte < 0xA0 ? kHighControls[byte - 0x80] : byte);
      }
    }
  }
};

struct Utf8Repairer {
  template <typename Sink>
  void operator()(std::string_view text, Sink& sink) const {
    RepairUtf8(text, sink);
  }
};

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

// The Windows-1252 byte of a code point, or '?' when the code page lacks it.
char Windows1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (size_t i = 0; i < 32; ++i) {
    if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}


// Decodes Windows-1252 text in its own buffer. Each byte from 0x80 on takes
// two or three bytes of UTF-8, so the text grows: it is decoded from its
// last byte to its first, and each character lands at or after the place of
// its byte. Documents carry few such bytes, and the file reader leaves room
// for them, so a large document is neither copied nor held twice.
std::string Windows1252ToUtf8InPlace(std::string text) {
  SizeSink size;
  Windows1252Decoder()(text, size);
  size_t in = text.size();
  size_t out = size.Size();
  text.resize(out);
  char* data = text.data();
  // Once out meets in, everything before is ASCII and already in place.
  while (out > in) {
    const size_t run_start = SkipAsciiBackward(std::string_view(data, in));
    out -= in - run_start;
    std::memmove(data + out, data + run_start, in - run_start);
    in = run_start - 1;
    const auto byte = static_cast<unsigned char>(data[in]);
    char encoded[4];
    AppendSink sink(encoded);
    sink.Put(byte < 0xA0 ? kHighControls[byte - 0x80] : byte);
    const size_t length = static_cast<size_t>(sink.End() - encoded);
    out -= length;
    std::memcpy(data + out, encoded, length);
  }
  return text;
}

}  // namespace

std::string DecodeDocument(std::string bytes) {
  const std::string_view view(bytes);
  if (StartsWith(view, "\xEF\xBB\xBF")) {
    if (IsValidUtf8(view.substr(3))) {
      bytes.erase(0, 3);
      return bytes;
    }
    return DecodeExactly(view.substr(3), Utf8Repairer());
  }
  if (StartsWith(view, "\xFF\xFE")) {
    return DecodeExactly(view.substr(2), Utf16Decoder<false>());
  }
  if (StartsWith(view, "\xFE\xFF")) {
    return DecodeExactly(view.substr(2), Utf16Decoder<true>());
  }
  if (SkipAscii(view, 0) == view.size()) return bytes;
  return Windows1252ToUtf8InPlace(std::move(bytes));
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  return DecodeExactly(bytes, Windows1252Decoder());
}

std::string Utf8ToWindows1252(std::string_view text) {
  // Every character takes at least one byte of UTF-8 and gives one byte.
  std::string out(text.size(), '\0');
  char* next = out.data();
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t run_end = SkipAscii(text, pos);
    std::memcpy(next, text.data() + pos, run_end - pos);
    next += run_end - pos;
    pos = run_end;
    if (pos == text.size()) break;
    char32_t c;
    bool valid;
    pos += DecodeUtf8Sequence(text, pos, c, valid);
    *next++ = Windows1252Byte(c);
  }
  out.resize(static_cast<size_t>(next - out.data()));
  return out;
}

}  // namespace tolvane
