// Damages listing text the ways a broken or hostile archiver output could: lines and tokens
// deleted or repeated, digits changed, huge numbers, long tokens, random bytes, keywords where
// they do not belong, mixed line ends, output cut short. Used by the parsers' fuzz test.
#pragma once

#include <cstddef>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

class ListingMutator {
public:
    explicit ListingMutator(unsigned seed) : random_(seed) {}

    size_t Below(size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(random_) : 0; }
    bool OneIn(size_t n) { return Below(n) == 0; }

    // `text` with 1 to 8 damages; `donors` give lines of other listings to splice in.
    std::string Mutate(const std::string& text, const std::vector<std::string>& donors)
    {
        std::vector<std::string> lines = Lines(text);
        size_t damages = 1 + Below(8);
        for (size_t d = 0; d < damages; ++d)
            DamageLines(lines, donors);
        std::string out = Join(lines);
        if (OneIn(6))
            out.resize(Below(out.size() + 1)); // cut short
        if (OneIn(6))
            InsertRandomBytes(out);
        return out;
    }

private:
    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', start)) {
            size_t end = lf > start && text[lf - 1] == '\r' ? lf - 1 : lf;
            lines.push_back(text.substr(start, end - start));
            start = lf + 1;
        }
        lines.push_back(text.substr(start));
        return lines;
    }

    std::string Join(const std::vector<std::string>& lines)
    {
        static const char* const ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r", "\n\r", "\r\r\n", ""};
        std::string out;
        for (const std::string& line : lines)
            out += line + (OneIn(10) ? ends[Below(std::size(ends))] : "\r\n");
        return out;
    }

    std::string HugeNumber()
    {
        static const char* const numbers[] = {"99999999999999999999999", "18446744073709551616", "9223372036854775808", "-9223372036854775809",
                                              "2147483648", "-2147483649", "4294967295", "100001", "0", "-1", "00000000000000000001",
                                              "1e308", "1,2,3,4", ",", "1.5e-400", "nan", "inf"};
        return numbers[Below(std::size(numbers))];
    }

    std::string LongToken()
    {
        static const char alphabet[] = "0123456789:)-.,ABDx\\";
        std::string token(1 + Below(4000), 'x');
        char fill = alphabet[Below(sizeof(alphabet) - 1)];
        for (char& c : token)
            c = OneIn(3) ? alphabet[Below(sizeof(alphabet) - 1)] : fill;
        return token;
    }

    std::string Keyword()
    {
        static const char* const words[] = {"ERROR ", "WARNING ", "Analyzing ", "Archive ", "Current chapter: ", "Total files listed: ",
                                            "Total bytes in files listed: ", "Whole archived data ratio: ", "Total chapters listed: ",
                                            "1) ", "9) \\", ") ", "12:30:00 ", "0 ....D 0 0 1 2026-01-01 10:00:00 2026-01-01 10:00:00 "};
        return words[Below(std::size(words))];
    }

    static std::vector<std::pair<size_t, size_t>> TokenSpans(const std::string& line)
    {
        std::vector<std::pair<size_t, size_t>> spans;
        size_t pos = 0;
        while (pos < line.size()) {
            while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
                ++pos;
            size_t start = pos;
            while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t')
                ++pos;
            if (pos > start)
                spans.emplace_back(start, pos - start);
        }
        return spans;
    }

    void DamageLines(std::vector<std::string>& lines, const std::vector<std::string>& donors)
    {
        if (lines.empty()) {
            lines.push_back(Keyword());
            return;
        }
        size_t i = Below(lines.size());
        std::string& line = lines[i];
        auto spans = TokenSpans(line);
        switch (Below(12)) {
        case 0:
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        case 1:
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i), line);
            break;
        case 2:
            std::swap(line, lines[Below(lines.size())]);
            break;
        case 3:
            if (!donors.empty())
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i), donors[Below(donors.size())]);
            break;
        case 4:
            if (!spans.empty()) {
                auto [start, size] = spans[Below(spans.size())];
                line.erase(start, size);
            }
            break;
        case 5:
            if (!spans.empty()) {
                auto [start, size] = spans[Below(spans.size())];
                line.insert(start, line.substr(start, size) + " ");
            }
            break;
        case 6: { // a digit changed
            std::vector<size_t> digits;
            for (size_t p = 0; p < line.size(); ++p)
                if (line[p] >= '0' && line[p] <= '9')
                    digits.push_back(p);
            if (!digits.empty())
                line[digits[Below(digits.size())]] = static_cast<char>('0' + Below(10));
            break;
        }
        case 7:
            if (!spans.empty()) {
                auto [start, size] = spans[Below(spans.size())];
                line.replace(start, size, HugeNumber());
            }
            break;
        case 8:
            if (!spans.empty()) {
                auto [start, size] = spans[Below(spans.size())];
                line.replace(start, size, LongToken());
            } else {
                line += LongToken();
            }
            break;
        case 9:
            line.insert(OneIn(2) ? 0 : Below(line.size() + 1), Keyword());
            break;
        case 10: // blanks and tabs changed
            for (char& c : line)
                if (c == ' ' && OneIn(4))
                    c = OneIn(2) ? '\t' : '\v';
            break;
        default:
            InsertRandomBytes(line);
            break;
        }
    }

    void InsertRandomBytes(std::string& text)
    {
        size_t count = 1 + Below(16);
        std::string bytes;
        for (size_t b = 0; b < count; ++b)
            bytes += static_cast<char>(Below(256));
        text.insert(Below(text.size() + 1), bytes);
    }

    std::mt19937 random_;
};
