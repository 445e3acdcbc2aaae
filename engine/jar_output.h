// Cuts a captured run's output into lines as it arrives.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Receives output lines one at a time, in order, as soon as each is whole. A line is valid only
// during the call.
class OutputLineSink {
public:
    virtual ~OutputLineSink() = default;
    virtual void Line(std::string_view line) = 0;
    // True once the reader wants no more: the run is ended there, and counts as stopped rather
    // than failed (no message).
    virtual bool Stopped() const { return false; }
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

