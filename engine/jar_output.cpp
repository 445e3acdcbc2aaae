#include "engine/jar_output.h"

#include <string_view>

OutputBlocks::OutputBlocks(size_t blockSize, size_t maxBlocks)
    : blockSize_(blockSize ? blockSize : 1), maxBlocks_(maxBlocks)
{
}

char* OutputBlocks::Space(size_t& room)
{
    if (blocks_.empty() || usedInLast_ == blockSize_) {
        if (blocks_.size() >= maxBlocks_) {
            room = 0;
            return nullptr;
        }
        blocks_.push_back(std::make_unique<char[]>(blockSize_));
        usedInLast_ = 0;
    }
    room = blockSize_ - usedInLast_;
    return blocks_.back().get() + usedInLast_;
}

void OutputBlocks::Commit(size_t count)
{
    usedInLast_ += count;
    total_ += count;
}

bool OutputBlocks::Full() const
{
    return blocks_.size() >= maxBlocks_ && usedInLast_ == blockSize_;
}

void OutputBlocks::SplitInto(std::vector<std::string>& lines)
{
    // The start of a line whose end is in a later block.
    std::string carried;
    for (size_t b = 0; b < blocks_.size(); ++b) {
        std::string_view block(blocks_[b].get(), b + 1 == blocks_.size() ? usedInLast_ : blockSize_);
        size_t start = 0;
        for (size_t lf = block.find('\n'); lf != std::string_view::npos; lf = block.find('\n', start)) {
            std::string line = carried;
            line.append(block.substr(start, lf - start));
            carried.clear();
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(std::move(line));
            start = lf + 1;
        }
        carried.append(block.substr(start));
        blocks_[b].reset();
    }
    blocks_.clear();
    usedInLast_ = 0;
    total_ = 0;
}
