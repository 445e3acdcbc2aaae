#include "engine/jar_output.h"

#include <string_view>

void LineSplitter::Feed(std::string_view piece)
{
    auto emit = [this](std::string_view line) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        sink_.Line(line);
    };
    size_t start = 0;
    size_t lf = piece.find('\n');
    if (lf != std::string_view::npos && !carried_.empty()) {
        carried_.append(piece.substr(0, lf));
        emit(carried_);
        carried_.clear();
        start = lf + 1;
        lf = piece.find('\n', start);
    }
    for (; lf != std::string_view::npos; lf = piece.find('\n', start)) {
        emit(piece.substr(start, lf - start));
        start = lf + 1;
    }
    carried_.append(piece.substr(start));
}

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
    LineCollector collector(lines);
    LineSplitter splitter(collector);
    for (size_t b = 0; b < blocks_.size(); ++b) {
        splitter.Feed(std::string_view(blocks_[b].get(), b + 1 == blocks_.size() ? usedInLast_ : blockSize_));
        blocks_[b].reset();
    }
    blocks_.clear();
    usedInLast_ = 0;
    total_ = 0;
}
