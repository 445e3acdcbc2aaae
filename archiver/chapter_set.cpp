#include "archiver/chapter_set.h"

#include <algorithm>

namespace jar {

bool ChapterSet::Contains(uint32_t chapter) const { return Intersects(chapter, chapter); }

bool ChapterSet::Intersects(uint32_t first, uint32_t last) const
{
    for (const Range& r : ranges_)
        if (r.first <= last && r.last >= first)
            return true;
    return false;
}

uint32_t ChapterSet::HighestWithin(uint32_t first, uint32_t last) const
{
    for (auto r = ranges_.rbegin(); r != ranges_.rend(); ++r)
        if (r->first <= last && r->last >= first)
            return std::min(r->last, last);
    return 0;
}

void ChapterSet::Add(uint32_t chapter)
{
    if (Contains(chapter))
        return;
    ranges_.push_back({chapter, chapter});
    std::sort(ranges_.begin(), ranges_.end(), [](const Range& a, const Range& b) { return a.first < b.first; });
    std::vector<Range> merged;
    for (const Range& r : ranges_) {
        if (!merged.empty() && merged.back().last + 1 >= r.first)
            merged.back().last = std::max(merged.back().last, r.last);
        else
            merged.push_back(r);
    }
    ranges_ = std::move(merged);
}

void ChapterSet::Remove(uint32_t chapter)
{
    std::vector<Range> kept;
    for (const Range& r : ranges_) {
        if (chapter < r.first || chapter > r.last) {
            kept.push_back(r);
            continue;
        }
        if (r.first < chapter)
            kept.push_back({r.first, chapter - 1});
        if (chapter < r.last)
            kept.push_back({chapter + 1, r.last});
    }
    ranges_ = std::move(kept);
}

std::string ChapterSet::Text() const
{
    if (ranges_.empty())
        return "0";
    if (First() == Last())
        return std::to_string(First());
    return std::to_string(First()) + "-" + std::to_string(Last());
}

} // namespace jar
