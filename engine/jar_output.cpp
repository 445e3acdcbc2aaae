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
