// Seeded mutations of real inputs for fuzz-style tests: the same seed gives the same damage, so a
// failure found by a long run is repeated by giving its seed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace testsupport {

class ByteMutator {
public:
    explicit ByteMutator(uint64_t seed) : state_(seed) {}

    // splitmix64: small, fast, and good enough to choose damage.
    uint64_t Next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0..n-1; 0 when n is 0.
    size_t Below(size_t n) { return n == 0 ? 0 : size_t(Next() % n); }

    void FlipBits(std::string& bytes, int count)
    {
        for (int i = 0; i < count && !bytes.empty(); ++i)
            bytes[Below(bytes.size())] ^= char(1u << Below(8));
    }
    // Flips bits only within [from, from + length).
    void FlipBitsIn(std::string& bytes, size_t from, size_t length, int count)
    {
        for (int i = 0; i < count && from < bytes.size() && length > 0; ++i)
            bytes[from + Below(std::min(length, bytes.size() - from))] ^= char(1u << Below(8));
    }
    void Truncate(std::string& bytes) { bytes.resize(Below(bytes.size())); }
    void Overwrite(std::string& bytes, size_t maxRun)
    {
        if (bytes.empty())
            return;
        size_t at = Below(bytes.size()), run = 1 + Below(maxRun);
        for (size_t i = at; i < bytes.size() && i < at + run; ++i)
            bytes[i] = char(Next());
    }
    void DeleteSpan(std::string& bytes, size_t maxRun)
    {
        if (!bytes.empty())
            bytes.erase(Below(bytes.size()), 1 + Below(maxRun));
    }
    void DuplicateSpan(std::string& bytes, size_t maxRun)
    {
        if (bytes.empty())
            return;
        size_t at = Below(bytes.size());
        bytes.insert(at, bytes.substr(at, 1 + Below(maxRun)));
    }
    // A little-endian 64-bit field set to a large value: all ones, a high bit, or random.
    void HugeField(std::string& bytes, size_t at)
    {
        uint64_t values[] = {~uint64_t(0), uint64_t(1) << (32 + Below(31)), Next(), uint64_t(1) << 31};
        uint64_t v = values[Below(4)];
        for (size_t i = 0; i < 8 && at + i < bytes.size(); ++i)
            bytes[at + i] = char(v >> (8 * i));
    }
    // An unsigned LEB128 number of up to ten bytes put in at a random place (counts, sizes, lengths).
    void InsertHugeVarint(std::string& bytes)
    {
        std::string number;
        size_t length = 1 + Below(10);
        for (size_t i = 0; i + 1 < length; ++i)
            number += char(0x80 | Below(128));
        number += char(Below(128));
        bytes.insert(Below(bytes.size() + 1), number);
    }
    std::string RandomBytes(size_t size)
    {
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = char(Next());
        return bytes;
    }

private:
    uint64_t state_;
};

} // namespace testsupport
