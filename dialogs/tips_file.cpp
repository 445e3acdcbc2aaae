#include "dialogs/tips_file.h"

#include <sys/stat.h>

#include <cctype>
#include <ctime>
#include <fstream>
#include <iterator>

bool TipsFile::Open(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    path_ = path;
    pos_ = 0;
    open_ = true;
    return true;
}

std::string TipsFile::TimeStamp() const
{
    struct stat status{};
    if (stat(path_.c_str(), &status) != 0)
        return std::string();
    time_t changed = status.st_ctime;
    const char* text = std::ctime(&changed);
    std::string stamp = text ? text : "";
    while (!stamp.empty() && std::isspace((unsigned char)stamp.back()))
        stamp.pop_back();
    return stamp;
}

bool TipsFile::Seek(long position)
{
    if (!open_ || position < 0)
        return false;
    pos_ = (size_t)position;
    return true;
}

bool TipsFile::ReadPiece(std::string& piece)
{
    piece.clear();
    while (pos_ < bytes_.size() && piece.size() < kPieceLength) {
        char c = bytes_[pos_];
        if (c == '\r' && pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n') {
            ++pos_;
            continue;  // CR LF reads as one line feed, as a text-mode read gives it
        }
        ++pos_;
        piece += c;
        if (c == '\n')
            break;
    }
    return !piece.empty();
}

std::string TipsFile::NextTip()
{
    if (!open_)
        return std::string();
    bool wrapped = false;
    std::string piece;
    for (;;) {
        if (!ReadPiece(piece)) {
            // A second end of file without a usable line: the file has none.
            if (wrapped)
                return std::string();
            wrapped = true;
            pos_ = 0;
            continue;
        }
        char first = piece[0];
        if (first != ' ' && first != '\t' && first != '\n' && first != ';')
            return piece;
    }
}
