#pragma once
// The text of a private-profile (INI) file held line by line, so an edit changes only the lines
// it must and every other byte, line endings included, is written back as it was.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view text);

    std::string Text() const;

    // The value of `key` in the first section named `section`, without surrounding blanks and
    // without one pair of matching quotes. Names compare case-insensitively, blanks trimmed.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;

    // Replaces the value of an existing key in place, or adds the key at the end of its section,
    // or adds the section at the end of the text.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    void RemoveKey(std::string_view section, std::string_view key);
    void RemoveSection(std::string_view section);

private:
    struct Line {
        std::string text;
        std::string ending; // "\n", "\r\n", or empty for a last line without one
    };
    // A section: its header line and one past its last line.
    struct SectionLines {
        std::size_t header;
        std::size_t end;
    };

    std::optional<SectionLines> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(const SectionLines& lines, std::string_view key) const;
    std::size_t LastKeyLine(const SectionLines& lines) const;
    std::size_t LastContentLine(const SectionLines& lines) const;
    std::string NewLineEnding() const;
    void InsertLine(std::size_t index, std::string text);

    std::string byteOrderMark;
    std::vector<Line> lines;
};
