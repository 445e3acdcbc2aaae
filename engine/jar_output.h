// Cuts a captured run's output into lines as it arrives, and collects it in fixed-size blocks
// where the whole text is wanted at once.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Receives output lines one at a time, in order, as soon as each is whole. A line is valid only
// during the call.
class OutputLineSink {
public:
    virtual ~OutputLineSink() = default;
    virtual void Line(std::string_view line) = 0;
};

// Appends each line to a list.
class LineCollector : public OutputLineSink {
public:
    explicit LineCollector(std::vector<std::string>& lines) : lines_(lines) {}
    void Line(std::string_view line) override { lines_.emplace_back(line); }

private:
    std::vector<std::string>& lines_;
};

// Cuts output that arrives in pieces into lines: a line ends at every line feed, a carriage
// return just before it is dropped, and text after the last line feed is not a line. Lines
// inside one piece reach the sink as views into it; only a line that runs across pieces is
// copied.
class LineSplitter {
public:
    explicit LineSplitter(OutputLineSink& sink) : sink_(sink) {}
    void Feed(std::string_view piece);
    // The text after the last line feed so far.
    std::string_view Unfinished() const { return carried_; }

private:
    OutputLineSink& sink_;
    std::string carried_;
};

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

    // Appends the lines, in order, with the line-splitting rule of LineSplitter; releases the
    // blocks.
    void SplitInto(std::vector<std::string>& lines);

private:
    size_t blockSize_;
    size_t maxBlocks_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t usedInLast_ = 0;
    size_t total_ = 0;
};
