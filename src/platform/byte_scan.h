#pragma once

// Tests and copies over the bytes of a text, eight bytes at a time, for the
// line sinks that see every byte of the unit. Most pieces of a line are a
// few bytes long, so short texts take no library call either.

#include <cstdint>
#include <cstring>
#include <string_view>

namespace tolvane {

namespace byte_scan {

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

inline uint64_t LoadWord(const char* AFrom) {
  uint64_t word;
  std::memcpy(&word, AFrom, sizeof word);
  return word;
}

// Not zero exactly when a byte of the word is below ALimit (at most 0x80).
constexpr uint64_t BytesBelow(uint64_t AWord, unsigned ALimit) {
  return (AWord - kOnes * ALimit) & ~AWord & kHighBits;
}

// AWordTest over the text's words, or-ed; the last word overlaps the one
// before it. A text of fewer than eight bytes goes through AByteTest byte by
// byte instead.
template <typename TWordTest, typename TByteTest>
[[gnu::always_inline]] inline uint64_t OrOverWords(std::string_view AText, TWordTest AWordTest, TByteTest AByteTest) {
  const size_t size = AText.size();
  uint64_t found = 0;
  if (size < 8) {
    for (const char c : AText) found |= AByteTest(static_cast<unsigned char>(c));
    return found;
  }
  for (size_t pos = 0; pos + 8 <= size; pos += 8) found |= AWordTest(LoadWord(AText.data() + pos));
  return found | AWordTest(LoadWord(AText.data() + size - 8));
}

}  // namespace byte_scan

// True when every byte is below 0x80: the text is the same in UTF-8 and in
// Windows-1252.
inline bool IsAsciiText(std::string_view AText) {
  return byte_scan::OrOverWords(
             AText, [](uint64_t AWord) { return AWord & byte_scan::kHighBits; },
             [](unsigned char AByte) -> uint64_t { return AByte >= 0x80; }) == 0;
}

// The position of the first non-ASCII byte at or after pos (or the size),
// tested eight bytes at a time.
inline size_t SkipAscii(std::string_view AText, size_t APos) {
  const size_t size = AText.size();
  while (APos + 8 <= size && (byte_scan::LoadWord(AText.data() + APos) & byte_scan::kHighBits) == 0) APos += 8;
  while (APos < size && static_cast<unsigned char>(AText[APos]) < 0x80) ++APos;
  return APos;
}

// True when a byte is a control character (below 0x20).
inline bool HasControlByte(std::string_view AText) {
  return byte_scan::OrOverWords(
             AText, [](uint64_t AWord) { return byte_scan::BytesBelow(AWord, 0x20); },
             [](unsigned char AByte) -> uint64_t { return AByte < 0x20; }) != 0;
}

// True when a byte is one of 0x18 to 0x1F, the last eight control
// characters.
inline bool HasByte18To1F(std::string_view AText) {
  return byte_scan::OrOverWords(
             AText,
             [](uint64_t AWord) {
               // Bytes of the block become zero; a zero byte sets its high
               // bit after the subtraction, and no byte without one does.
               const uint64_t other = (AWord & (byte_scan::kOnes * 0xF8)) ^ (byte_scan::kOnes * 0x18);
               return (other - byte_scan::kOnes) & ~other & byte_scan::kHighBits;
             },
             [](unsigned char AByte) -> uint64_t { return (AByte & 0xF8) == 0x18; }) != 0;
}

// Copies the text to ATo, which has room for it; a text of up to sixteen
// bytes is copied by at most two overlapping moves.
inline void CopyBytes(char* ATo, std::string_view AText) {
  const size_t size = AText.size();
  const char* from = AText.data();
  if (size >= 16) {
    std::memcpy(ATo, from, size);
  } else if (size >= 8) {
    const uint64_t head = byte_scan::LoadWord(from);
    const uint64_t tail = byte_scan::LoadWord(from + size - 8);
    std::memcpy(ATo, &head, 8);
    std::memcpy(ATo + size - 8, &tail, 8);
  } else if (size >= 4) {
    uint32_t head;
    uint32_t tail;
    std::memcpy(&head, from, 4);
    std::memcpy(&tail, from + size - 4, 4);
    std::memcpy(ATo, &head, 4);
    std::memcpy(ATo + size - 4, &tail, 4);
  } else {
    for (size_t i = 0; i < size; ++i) ATo[i] = from[i];
  }
}

}  // namespace tolvane
