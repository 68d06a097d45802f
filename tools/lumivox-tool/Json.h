#pragma once
// A small JSON writer for the tool's one-object outputs.

#include <cstdint>
#include <string>
#include <string_view>

// `text` as a JSON string literal. Valid UTF-8 passes through; control characters and bytes that
// are not UTF-8 (frame names may hold anything) are escaped as \u00XX.
std::string JsonString(std::string_view text);

class JsonObject {
public:
    JsonObject& Add(std::string_view key, std::int64_t value);
    JsonObject& Add(std::string_view key, double value);
    JsonObject& Add(std::string_view key, std::string_view value);
    JsonObject& AddRaw(std::string_view key, std::string_view json);
    std::string Text() const { return "{" + body_ + "}"; }

private:
    void Key(std::string_view key);
    std::string body_;
};

// {"error": message}
std::string JsonError(std::string_view message);
