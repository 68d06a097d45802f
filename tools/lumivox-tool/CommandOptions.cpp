#include "CommandOptions.h"

#include <cstdlib>

bool ParseNumber(const std::string& text, double& out) {
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0';
}

bool ParseCount(const std::string& text, int low, int high, int& out) {
    double number = 0;
    if (!ParseNumber(text, number) || !(number >= low && number <= high))
        return false;
    out = static_cast<int>(number);
    return number == out;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    return x != std::string::npos && ParseCount(text.substr(0, x), 1, 8192, width) &&
           ParseCount(text.substr(x + 1), 1, 8192, height);
}

bool ParseAssignment(const std::string& text, std::pair<std::string, std::string>& out) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos)
        return false;
    out = {text.substr(0, equals), text.substr(equals + 1)};
    return true;
}
