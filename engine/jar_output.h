// Collects a captured run's output in fixed-size blocks and cuts it into lines, keeping a line
// that runs across a block boundary whole.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class OutputBlocks {
public:
    static constexpr size_t DefaultBlockSize = 512000;
    static constexpr size_t DefaultMaxBlocks = 500;

    explicit OutputBlocks(size_t blockSize = DefaultBlockSize, size_t maxBlocks = DefaultMaxBlocks);

    // Where the next read goes and how much fits there (the room left in the current block, a
    // new block when it is full); nullptr when every block is full.
    char* Space(size_t& room);
    // Records that `count` bytes were written at Space().
    void Commit(size_t count);
    bool Full() const;
    size_t TotalBytes() const { return total_; }
    size_t BlockCount() const { return blocks_.size(); }
    size_t MaxBytes() const { return blockSize_ * maxBlocks_; }

    // Appends the lines, in order, with the line-splitting rule of SplitOutputLines; releases
    // the blocks.
    void SplitInto(std::vector<std::string>& lines);

private:
    size_t blockSize_;
    size_t maxBlocks_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t usedInLast_ = 0;
    size_t total_ = 0;
};
