#include "Json.h"

#include <cmath>
#include <cstdio>

#include "platform/os/Utf8.h"

namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", byte);
    out += escape;
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscaped(out, c);
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (std::size_t length = Utf8SequenceLength(text.substr(i))) {
            out.append(text.substr(i, length));
            i += length - 1;
        } else {
            AppendEscaped(out, c);
        }
    }
    return out + "\"";
}

void JsonObject::Key(std::string_view key) {
    if (!body_.empty())
        body_ += ", ";
    body_ += JsonString(key) + ": ";
}

JsonObject& JsonObject::Add(std::string_view key, std::int64_t value) {
    Key(key);
    body_ += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, double value) {
    Key(key);
    if (!std::isfinite(value)) {
        body_ += "null";
        return *this;
    }
    char number[32];
    std::snprintf(number, sizeof number, "%.9g", value);
    body_ += number;
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view value) {
    Key(key);
    body_ += JsonString(value);
    return *this;
}

JsonObject& JsonObject::AddRaw(std::string_view key, std::string_view json) {
    Key(key);
    body_ += json;
    return *this;
}

std::string JsonError(std::string_view message) { return JsonObject().Add("error", message).Text(); }
