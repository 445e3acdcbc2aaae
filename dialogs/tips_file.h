// The tips file: one tip per line, read in pieces of at most 999 characters; lines that begin
// with a blank, a tab or ";", and empty lines, are skipped. Reading cycles through the file.
#pragma once

#include <string>

class TipsFile {
public:
    static constexpr size_t kPieceLength = 999;

    // Reads the file whole (it is small); false when it cannot be opened.
    bool Open(const std::string& path);
    bool IsOpen() const { return open_; }
    // The file's status-change time as date text (weekday, month, day, time, year), trailing
    // white space removed; it changes when the file is replaced.
    std::string TimeStamp() const;

    // Byte position of the next read; a negative position cannot be reached.
    bool Seek(long position);
    long Position() const { return (long)pos_; }

    // The next tip, line feed included. At the end of the file reading starts again at its
    // beginning; a file with no usable line yields the empty text after one full pass.
    std::string NextTip();

private:
    // The next piece of text (line feed included, CR LF read as LF); false at the end.
    bool ReadPiece(std::string& piece);

    std::string path_;
    std::string bytes_;
    size_t pos_ = 0;
    bool open_ = false;
};
