#pragma once

// Tests and copies over the bytes of a text, sixteen bytes at a time where
// the processor has SSE2 and eight elsewhere, for the document's readers and
// the line sinks that see every byte of the unit. Most pieces of a line are a
// few bytes long, so short texts take no library call either.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
inline __m128i LoadBlock(const char* AFrom) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(AFrom)); }

// True when ABlockTest marks a byte (sets its high bit) in any block of
// sixteen bytes of a text of at least sixteen; the last block overlaps the
// one before it.
template <typename TBlockTest>
[[gnu::always_inline]] inline bool AnyInBlocks(std::string_view AText, TBlockTest ABlockTest) {
  const size_t size = AText.size();
  __m128i found = _mm_setzero_si128();
  for (size_t pos = 0; pos + 16 <= size; pos += 16) {
    found = _mm_or_si128(found, ABlockTest(LoadBlock(AText.data() + pos)));
  }
  found = _mm_or_si128(found, ABlockTest(LoadBlock(AText.data() + size - 16)));
  return _mm_movemask_epi8(found) != 0;
}
#endif

}  // namespace byte_scan

// True when every byte is below 0x80: the text is the same in UTF-8 and in
// Windows-1252.
inline bool IsAsciiText(std::string_view AText) {
#if defined(__SSE2__)
  if (AText.size() >= 16) return !byte_scan::AnyInBlocks(AText, [](__m128i ABlock) { return ABlock; });
#endif
  return byte_scan::OrOverWords(
             AText, [](uint64_t AWord) { return AWord & byte_scan::kHighBits; },
             [](unsigned char AByte) -> uint64_t { return AByte >= 0x80; }) == 0;
}

// The position of the first non-ASCII byte at or after pos (or the size),
// tested sixteen bytes at a time where the processor has SSE2 and eight
// bytes at a time elsewhere. Whole documents go through it.
inline size_t SkipAscii(std::string_view AText, size_t APos) {
  const size_t size = AText.size();
#if defined(__SSE2__)
  // Documents are mostly ASCII: four blocks are tested together first.
  for (; APos + 64 <= size; APos += 64) {
    const char* from = AText.data() + APos;
    const __m128i any = _mm_or_si128(_mm_or_si128(byte_scan::LoadBlock(from), byte_scan::LoadBlock(from + 16)),
                                     _mm_or_si128(byte_scan::LoadBlock(from + 32), byte_scan::LoadBlock(from + 48)));
    if (_mm_movemask_epi8(any) != 0) break;
  }
  for (; APos + 16 <= size; APos += 16) {
    // The high bit of every byte, one bit per byte.
    if (const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(byte_scan::LoadBlock(AText.data() + APos)))) {
      return APos + static_cast<size_t>(std::countr_zero(high));
    }
  }
#endif
  while (APos + 8 <= size && (byte_scan::LoadWord(AText.data() + APos) & byte_scan::kHighBits) == 0) APos += 8;
  while (APos < size && static_cast<unsigned char>(AText[APos]) < 0x80) ++APos;
  return APos;
}

// The start of the run of ASCII bytes that ends the text, tested like
// SkipAscii from the end.
inline size_t SkipAsciiBackward(std::string_view AText) {
  size_t end = AText.size();
#if defined(__SSE2__)
  for (; end >= 16; end -= 16) {
    if (_mm_movemask_epi8(byte_scan::LoadBlock(AText.data() + end - 16)) != 0) break;
  }
#endif
  while (end >= 8 && (byte_scan::LoadWord(AText.data() + end - 8) & byte_scan::kHighBits) == 0) end -= 8;
  while (end > 0 && static_cast<unsigned char>(AText[end - 1]) < 0x80) --end;
  return end;
}

// True when a byte is a control character (below 0x20).
inline bool HasControlByte(std::string_view AText) {
#if defined(__SSE2__)
  if (AText.size() >= 16) {
    // A byte is at most 0x1F exactly when its unsigned maximum with 0x1F is 0x1F.
    const __m128i last_control = _mm_set1_epi8(0x1F);
    return byte_scan::AnyInBlocks(AText, [&](__m128i ABlock) {
      return _mm_cmpeq_epi8(_mm_max_epu8(ABlock, last_control), last_control);
    });
  }
#endif
  return byte_scan::OrOverWords(
             AText, [](uint64_t AWord) { return byte_scan::BytesBelow(AWord, 0x20); },
             [](unsigned char AByte) -> uint64_t { return AByte < 0x20; }) != 0;
}

// True when a byte is one of 0x18 to 0x1F, the last eight control
// characters. Whole documents go through it: sixteen bytes at a time where
// the processor has SSE2.
inline bool HasByte18To1F(std::string_view AText) {
#if defined(__SSE2__)
  if (AText.size() >= 16) {
    const __m128i top_five_bits = _mm_set1_epi8(static_cast<char>(0xF8));
    const __m128i first = _mm_set1_epi8(0x18);
    return byte_scan::AnyInBlocks(AText, [&](__m128i ABlock) {
      return _mm_cmpeq_epi8(_mm_and_si128(ABlock, top_five_bits), first);
    });
  }
#endif
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

// True when every byte is 0x20 to 0x7F: no control character, and the text
// is the same in UTF-8 and in Windows-1252. Those bytes are the ones that are
// not below 0x20 as signed bytes.
inline bool IsPrintableAscii(std::string_view AText) {
#if defined(__SSE2__)
  if (AText.size() >= 16) {
    const __m128i first_printable = _mm_set1_epi8(0x20);
    return !byte_scan::AnyInBlocks(AText, [&](__m128i ABlock) { return _mm_cmplt_epi8(ABlock, first_printable); });
  }
#endif
  return byte_scan::OrOverWords(
             AText, [](uint64_t AWord) { return (AWord & byte_scan::kHighBits) | byte_scan::BytesBelow(AWord, 0x20); },
             [](unsigned char AByte) -> uint64_t { return AByte < 0x20 || AByte >= 0x80; }) == 0;
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
