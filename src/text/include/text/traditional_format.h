#pragma once
// The layout of the Simplified to Traditional table, shared by the program
// that writes it at build time and the converter that maps it.
#include <cstdint>

namespace pagora::traditional {

inline constexpr char kMagic[4] = {'P', 'G', 'T', 'C'};
inline constexpr std::uint32_t kVersion = 3;

// Characters below this have a slot in the info array; above it every
// character stays as it is.
inline constexpr std::uint32_t kInfoChars = 0x30000;

// One info word per character: where its candidates are, how long phrases
// starting with it can be, and flags.
inline constexpr std::uint32_t kCandIndexMask = 0xFFFF;
inline constexpr int kCandCountShift = 16; // 4 bits: 0 = itself only
inline constexpr int kPhraseLenShift = 20; // 4 bits: longest Simplified phrase starting with it
inline constexpr int kTaiwanLenShift = 24; // 4 bits: longest Taiwan phrase starting with it
inline constexpr std::uint32_t kTaiwanVariant = 1u << 28;
inline constexpr std::uint32_t kChangesToSimplified = 1u << 29;
// A phrase starting with it may change what the characters alone give.
inline constexpr std::uint32_t kPhrasePivot = 1u << 30;
inline constexpr std::uint32_t kMaxPhrase = 15;

enum Section : std::uint32_t {
    kInfo,     // u32[kInfoChars]
    kCands,    // u32 code points
    kPhrases,  // PhraseSlot[power of two]
    kPool,     // u32 code points of phrase keys and values
    kContext,  // ContextSlot[power of two]; a == 0 holds the count of b alone
    kVariants, // u32 pairs (from, to), sorted
    kPrefixes, // u64[kPrefixWords]: bits of the first two and three characters of every phrase
    kSections
};

struct Header {
    char magic[4];
    std::uint32_t version;
    std::uint32_t total; // characters counted in the context
    std::uint32_t reserved;
    std::uint32_t offset[kSections]; // bytes from the start, multiples of 4
    std::uint32_t size[kSections];   // bytes
};

// Segment phrases are the keys of every phrase the conversion tables list
// (no value): a Taiwan phrase replaces nothing that straddles one of them,
// as the tables' own converter segments.
enum PhraseKind : std::uint32_t { kSimplifiedPhrase = 0, kTaiwanPhrase = 1, kSegmentPhrase = 2 };

// An empty slot has keyLength 0. For a Simplified phrase the value has the
// key's length; its score is whether the phrase tables list it (bit 31)
// and 1000 x log(1 + word weight) in the low bits.
struct PhraseSlot {
    std::uint32_t keyOffset; // in pool entries
    std::uint16_t keyLength;
    std::uint16_t kind;
    std::uint32_t valueOffset;
    std::uint16_t valueLength;
    std::uint16_t reserved;
    std::uint32_t score;
    std::uint32_t hash;
};
inline constexpr std::uint32_t kListedPhrase = 1u << 31;
// A Taiwan phrase's score: classical text writes its key too.
inline constexpr std::uint32_t kClassicalToo = 1;

struct ContextSlot {
    std::uint32_t a, b, count; // empty when count is 0
};

inline constexpr std::uint32_t kLineMark = '#';

inline constexpr int kPrefixBits = 20;
inline constexpr std::uint32_t kPrefixWords = (2u << kPrefixBits) / 64;

inline std::uint32_t hashStep(std::uint32_t h, std::uint32_t c)
{
    return (h ^ c) * 0x01000193u;
}
inline constexpr std::uint32_t kHashStart = 0x811C9DC5u;
inline std::uint32_t hashMix(std::uint32_t h, std::uint32_t kind)
{
    h ^= kind * 0x9E3779B9u;
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    return h;
}
// The bit of kPrefixes for a phrase's first length (2 or 3) characters,
// hashed as hashStep does.
inline std::uint32_t prefixBit(std::uint32_t hash, std::uint32_t length)
{
    return (hashMix(hash, 100 + length) >> (32 - kPrefixBits)) + (length == 2 ? 0 : 1u << kPrefixBits);
}

inline std::uint32_t contextHash(std::uint32_t a, std::uint32_t b)
{
    return hashMix(hashStep(hashStep(kHashStart, a), b), 7);
}

} // namespace pagora::traditional
