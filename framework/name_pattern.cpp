#include "framework/name_compare.h"

#include <vector>

namespace {

// The characters of UTF-8 text, each as the bytes that spell it (a stray byte stands alone).
std::vector<std::string_view> Characters(std::string_view text)
{
    std::vector<std::string_view> characters;
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        size_t k = 1;
        while (k < length && i + k < text.size() && (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80)
            ++k;
        characters.push_back(text.substr(i, k));
        i += k;
    }
    return characters;
}

bool SameCharacter(std::string_view a, std::string_view b)
{
    if (a.size() == 1 && b.size() == 1) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        return lower(a[0]) == lower(b[0]);
    }
    return a == b || SameNameIgnoringCase(a, b);
}

} // namespace

bool MatchesNamePattern(std::string_view pattern, std::string_view name)
{
    std::vector<std::string_view> p = Characters(pattern), n = Characters(name);
    // After a '*' fails further on, it takes one more character and the rest is tried again.
    size_t i = 0, k = 0, star = std::string_view::npos, resume = 0;
    while (k < n.size()) {
        if (i < p.size() && p[i] == "*") {
            star = i++;
            resume = k;
        } else if (i < p.size() && (p[i] == "?" || SameCharacter(p[i], n[k]))) {
            ++i;
            ++k;
        } else if (star != std::string_view::npos) {
            i = star + 1;
            k = ++resume;
        } else {
            return false;
        }
    }
    while (i < p.size() && p[i] == "*")
        ++i;
    return i == p.size();
}
