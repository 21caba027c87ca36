#pragma once
// Deterministic content of a simulated recording. Header-only so Kelvado's
// tests can verify downloaded files byte for byte without running the tools.

#include <cstddef>
#include <cstdint>
#include <string>

namespace recorder {

// FNV-1a over the file name: different recordings get unrelated content.
inline std::uint64_t contentSeed(const std::string& fileName)
{
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char c : fileName) {
        h ^= c;
        h *= 0x100000001b3ULL;
    }
    return h;
}

// splitmix64 of the block index: random access, so any offset is cheap.
inline std::uint64_t contentBlock(std::uint64_t seed, std::uint64_t blockIndex)
{
    std::uint64_t z = seed + (blockIndex + 1) * 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// Fills out[0..n) with the bytes at offset..offset+n of recording fileName.
// Byte i is byte (i % 8) of block i / 8, least significant first, so the
// result does not depend on the host's byte order.
inline void recordingBytes(const std::string& fileName, std::uint64_t offset,
                           char* out, std::size_t n)
{
    const std::uint64_t seed = contentSeed(fileName);
    std::uint64_t block = offset / 8;
    unsigned skip = static_cast<unsigned>(offset % 8);
    std::size_t i = 0;
    while (i < n) {
        const std::uint64_t v = contentBlock(seed, block++);
        if (skip == 0 && n - i >= 8) {
            for (unsigned k = 0; k < 8; ++k)
                out[i + k] = static_cast<char>(static_cast<unsigned char>(v >> (8 * k)));
            i += 8;
            continue;
        }
        for (unsigned k = skip; k < 8 && i < n; ++k)
            out[i++] = static_cast<char>(static_cast<unsigned char>(v >> (8 * k)));
        skip = 0;
    }
}

} // namespace recorder
