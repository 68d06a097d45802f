#pragma once
// File names with a number in them, for a sequence of pictures: "walk%03d.png" gives walk001.png,
// walk002.png, ... The pattern holds one %d, optionally with a 0 flag and a width up to 9, and
// %% for a percent sign; nothing else follows a %.

#include <string>

class NumberedName {
public:
    // False, with the reason in `error`, when `pattern` is not such a name.
    bool Parse(const std::string& pattern, std::string& error);
    std::string For(int number) const;

private:
    std::string before_;
    std::string after_;
    int width_ = 0;
    bool zeros_ = false;
};
