#pragma once
// Reading the values of the tool's options.

#include <string>
#include <utility>

// A whole decimal number, nothing before or after it.
bool ParseNumber(const std::string& text, double& out);
// A whole number from `low` to `high`.
bool ParseCount(const std::string& text, int low, int high, int& out);
// WIDTHxHEIGHT, each from 1 to 8192.
bool ParseSize(const std::string& text, int& width, int& height);
// FIELD=VALUE, as --set takes it.
bool ParseAssignment(const std::string& text, std::pair<std::string, std::string>& out);
