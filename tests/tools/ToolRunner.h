#pragma once
// Runs lumivox-tool and captures what it prints.

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

struct ToolResult {
    int exitStatus = -1;
    std::string out;
};

// `prefix` goes in front of the tool on the shell's command line (a change of folder, variables).
inline ToolResult RunTool(const std::string& arguments, const std::string& prefix = "") {
    ToolResult result;
    const std::string command = prefix + std::string(LUMIVOX_TOOL) + " " + arguments + " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        result.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}
