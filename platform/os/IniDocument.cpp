#include "platform/os/IniDocument.h"

#include <algorithm>

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

std::string_view Trim(std::string_view text) {
    text = TrimLeft(text);
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool ContainsName(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, name); });
}

// "[name]" gives "name"; a header without its closing bracket runs to the end of the line.
std::optional<std::string_view> SectionNameOf(std::string_view line) {
    line = TrimLeft(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    return Trim(line.substr(0, line.find(']')));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
    std::size_t valueStart; // where the value begins in the line, after "key =" and its blanks
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    const std::string_view content = TrimLeft(line);
    if (content.empty() || content.front() == ';' || content.front() == '[') {
        return std::nullopt;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    std::size_t valueStart = equals + 1;
    while (valueStart < line.size() && (line[valueStart] == ' ' || line[valueStart] == '\t')) {
        ++valueStart;
    }
    return KeyLine{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), valueStart};
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool IsContent(std::string_view line) {
    const std::string_view content = Trim(line);
    return !content.empty() && content.front() != ';';
}

} // namespace

IniDocument::IniDocument(std::string_view text) {
    if (text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
        byteOrderMark = kUtf8ByteOrderMark;
        text.remove_prefix(kUtf8ByteOrderMark.size());
    }
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        if (newline == std::string_view::npos) {
            lines.push_back({std::string(text), ""});
            break;
        }
        const bool crlf = newline > 0 && text[newline - 1] == '\r';
        const std::size_t length = crlf ? newline - 1 : newline;
        lines.push_back({std::string(text.substr(0, length)), crlf ? "\r\n" : "\n"});
        text.remove_prefix(newline + 1);
    }
}

std::string IniDocument::Text() const {
    std::string text = byteOrderMark;
    for (const Line& line : lines) {
        text += line.text;
        text += line.ending;
    }
    return text;
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key) const {
    const std::optional<SectionLines> found = FindSection(section);
    if (!found) {
        return std::nullopt;
    }
    const std::optional<std::size_t> index = FindKey(*found, key);
    if (!index) {
        return std::nullopt;
    }
    return std::string(Unquote(ParseKeyLine(lines[*index].text)->value));
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : lines) {
        const std::optional<std::string_view> name = SectionNameOf(line.text);
        if (name && !ContainsName(names, *name)) {
            names.emplace_back(*name);
        }
    }
    return names;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    const std::optional<SectionLines> found = FindSection(section);
    if (!found) {
        return names;
    }
    for (std::size_t i = found->header + 1; i < found->end; ++i) {
        const std::optional<KeyLine> keyLine = ParseKeyLine(lines[i].text);
        if (keyLine && !ContainsName(names, keyLine->key)) {
            names.emplace_back(keyLine->key);
        }
    }
    return names;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    const std::optional<SectionLines> found = FindSection(section);
    if (!found) {
        if (!lines.empty() && !Trim(lines.back().text).empty()) {
            InsertLine(lines.size(), "");
        }
        InsertLine(lines.size(), "[" + std::string(section) + "]");
        InsertLine(lines.size(), std::string(key) + "=" + std::string(value));
        return;
    }
    if (const std::optional<std::size_t> index = FindKey(*found, key)) {
        std::string& text = lines[*index].text;
        text = text.substr(0, ParseKeyLine(text)->valueStart) + std::string(value);
        return;
    }
    InsertLine(LastKeyLine(*found) + 1, std::string(key) + "=" + std::string(value));
}

void IniDocument::RemoveKey(std::string_view section, std::string_view key) {
    const std::optional<SectionLines> found = FindSection(section);
    if (!found) {
        return;
    }
    if (const std::optional<std::size_t> index = FindKey(*found, key)) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*index));
    }
}

// Comments and blank lines after the section's last entry stay: they usually introduce the next one.
void IniDocument::RemoveSection(std::string_view section) {
    const std::optional<SectionLines> found = FindSection(section);
    if (!found) {
        return;
    }
    const auto first = lines.begin() + static_cast<std::ptrdiff_t>(found->header);
    const auto last = lines.begin() + static_cast<std::ptrdiff_t>(LastContentLine(*found));
    lines.erase(first, last + 1);
}

std::optional<IniDocument::SectionLines> IniDocument::FindSection(std::string_view section) const {
    for (std::size_t header = 0; header < lines.size(); ++header) {
        const std::optional<std::string_view> name = SectionNameOf(lines[header].text);
        if (!name || !SameName(*name, section)) {
            continue;
        }
        std::size_t end = header + 1;
        while (end < lines.size() && !SectionNameOf(lines[end].text)) {
            ++end;
        }
        return SectionLines{header, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::FindKey(const SectionLines& section, std::string_view key) const {
    for (std::size_t i = section.header + 1; i < section.end; ++i) {
        const std::optional<KeyLine> keyLine = ParseKeyLine(lines[i].text);
        if (keyLine && SameName(keyLine->key, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniDocument::LastKeyLine(const SectionLines& section) const {
    std::size_t last = section.header;
    for (std::size_t i = section.header + 1; i < section.end; ++i) {
        if (ParseKeyLine(lines[i].text)) {
            last = i;
        }
    }
    return last;
}

std::size_t IniDocument::LastContentLine(const SectionLines& section) const {
    std::size_t last = section.header;
    for (std::size_t i = section.header + 1; i < section.end; ++i) {
        if (IsContent(lines[i].text)) {
            last = i;
        }
    }
    return last;
}

// New lines follow the file's own convention, so a file written on Windows keeps its CRLF.
std::string IniDocument::NewLineEnding() const {
    for (const Line& line : lines) {
        if (!line.ending.empty()) {
            return line.ending;
        }
    }
    return "\n";
}

void IniDocument::InsertLine(std::size_t index, std::string text) {
    const std::string ending = NewLineEnding();
    if (index > 0 && lines[index - 1].ending.empty()) {
        lines[index - 1].ending = ending;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), Line{std::move(text), ending});
}
