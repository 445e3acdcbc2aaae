// A set of chapter numbers: which chapters hold one stored version of a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jar {

// Kept as sorted, disjoint, non-adjacent ranges.
class ChapterSet {
public:
    struct Range { uint32_t first, last; };
    bool Contains(uint32_t chapter) const;
    bool Intersects(uint32_t first, uint32_t last) const;
    // The highest chapter of the set within first..last; 0 when none.
    uint32_t HighestWithin(uint32_t first, uint32_t last) const;
    void Add(uint32_t chapter);
    void Remove(uint32_t chapter);
    bool Empty() const { return ranges_.empty(); }
    uint32_t First() const { return ranges_.empty() ? 0 : ranges_.front().first; }
    uint32_t Last() const { return ranges_.empty() ? 0 : ranges_.back().last; }
    // "3" or "2-5": first and last chapter.
    std::string Text() const;
    const std::vector<Range>& Ranges() const { return ranges_; }
    void SetRanges(std::vector<Range> ranges) { ranges_ = std::move(ranges); }

private:
    std::vector<Range> ranges_;
};

} // namespace jar
