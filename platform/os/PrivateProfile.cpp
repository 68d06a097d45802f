#include "platform/os/PrivateProfile.h"

#include "platform/os/IniDocument.h"
#include "platform/os/TextFile.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

IniDocument ReadDocument(LPCSTR fileName) {
    std::string text;
    if (fileName == nullptr || ReadTextFile(fileName, text) != FileReadStatus::Read) {
        return IniDocument();
    }
    return IniDocument(text);
}

DWORD CopyValue(std::string_view value, LPSTR out, DWORD size) {
    const auto count = static_cast<DWORD>(std::min<std::size_t>(value.size(), size - 1));
    std::memcpy(out, value.data(), count);
    out[count] = '\0';
    return count;
}

// Names separated by NULs and closed by a second NUL; a list that does not fit is cut and still
// closed by two NULs, returning size - 2 as Win32 does.
DWORD CopyNameList(const std::vector<std::string>& names, LPSTR out, DWORD size) {
    std::string list;
    for (const std::string& name : names) {
        list += name;
        list += '\0';
    }
    if (list.size() + 1 <= size) {
        std::memcpy(out, list.data(), list.size());
        out[list.size()] = '\0';
        if (list.empty() && size >= 2) {
            out[1] = '\0';
        }
        return static_cast<DWORD>(list.size());
    }
    if (size < 2) {
        out[0] = '\0';
        return 0;
    }
    std::memcpy(out, list.data(), size - 2);
    out[size - 2] = '\0';
    out[size - 1] = '\0';
    return size - 2;
}

// Win32 drops trailing blanks from the default string.
std::string_view DefaultText(LPCSTR defaultValue) {
    std::string_view text = defaultValue != nullptr ? defaultValue : "";
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

int DigitValue(char c, unsigned base) {
    int digit = 99;
    if (c >= '0' && c <= '9') {
        digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        digit = c - 'A' + 10;
    }
    return static_cast<unsigned>(digit) < base ? digit : -1;
}

// Like Win32, digits beyond 32 bits wrap around and parsing stops at the first non-digit.
UINT ParseProfileInt(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    UINT value = 0;
    for (char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0) {
            break;
        }
        value = value * base + static_cast<UINT>(digit);
    }
    return negative ? 0u - value : value;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

std::string_view TrimmedStart(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

// A section name with ']' or a key with '=' (or one read back as a comment or header) would be
// read back as something else; a line break would split the entry.
bool CanWrite(LPCSTR section, LPCSTR key, LPCSTR value) {
    const std::string_view sectionText = section;
    if (HasLineBreak(sectionText) || sectionText.find(']') != std::string_view::npos) {
        return false;
    }
    if (key != nullptr) {
        const std::string_view keyText = key;
        const std::string_view keyStart = TrimmedStart(keyText);
        if (HasLineBreak(keyText) || keyText.find('=') != std::string_view::npos ||
            (!keyStart.empty() && (keyStart.front() == ';' || keyStart.front() == '['))) {
            return false;
        }
    }
    return value == nullptr || !HasLineBreak(value);
}

} // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR out, DWORD size,
                               LPCSTR fileName) {
    if (out == nullptr || size == 0) {
        return 0;
    }
    const IniDocument document = ReadDocument(fileName);
    if (section == nullptr) {
        return CopyNameList(document.SectionNames(), out, size);
    }
    if (key == nullptr) {
        return CopyNameList(document.KeyNames(section), out, size);
    }
    if (const std::optional<std::string> value = document.Find(section, key)) {
        return CopyValue(*value, out, size);
    }
    return CopyValue(DefaultText(defaultValue), out, size);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
    if (section == nullptr || key == nullptr) {
        return static_cast<UINT>(defaultValue);
    }
    const std::optional<std::string> value = ReadDocument(fileName).Find(section, key);
    if (!value || value->empty()) {
        return static_cast<UINT>(defaultValue);
    }
    return ParseProfileInt(*value);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
    if (section == nullptr || fileName == nullptr || !CanWrite(section, key, value)) {
        return FALSE;
    }
    std::string oldText;
    const FileReadStatus status = ReadTextFile(fileName, oldText);
    if (status == FileReadStatus::Failed) {
        return FALSE; // replacing a file we cannot read would lose its contents
    }
    IniDocument document(oldText);
    if (key == nullptr) {
        document.RemoveSection(section);
    } else if (value == nullptr) {
        document.RemoveKey(section, key);
    } else {
        document.Set(section, key, value);
    }
    const std::string newText = document.Text();
    const bool fileExists = status == FileReadStatus::Read;
    if ((fileExists && newText == oldText) || (!fileExists && newText.empty())) {
        return TRUE;
    }
    return ReplaceTextFile(fileName, newText) ? TRUE : FALSE;
}
