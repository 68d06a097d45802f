#include "NumberedName.h"

#include <cctype>

bool NumberedName::Parse(const std::string& pattern, std::string& error) {
    bool numbered = false;
    std::string* text = &before_;
    before_.clear();
    after_.clear();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            *text += pattern[i];
            continue;
        }
        std::size_t j = i + 1;
        if (j < pattern.size() && pattern[j] == '%') {
            *text += '%';
            i = j;
            continue;
        }
        const bool zeros = j < pattern.size() && pattern[j] == '0';
        if (zeros)
            ++j;
        int width = 0;
        if (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j])))
            width = pattern[j++] - '0';
        if (numbered || j >= pattern.size() || pattern[j] != 'd') {
            error = "--out wants one %d (like walk%03d.png) and %% for a percent sign: " + pattern;
            return false;
        }
        numbered = true;
        zeros_ = zeros;
        width_ = width;
        text = &after_;
        i = j;
    }
    if (!numbered)
        error = "--out has no %d to number the pictures: " + pattern;
    return numbered;
}

std::string NumberedName::For(int number) const {
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width_)
        digits.insert(0, static_cast<std::size_t>(width_) - digits.size(), zeros_ ? '0' : ' ');
    return before_ + digits + after_;
}
