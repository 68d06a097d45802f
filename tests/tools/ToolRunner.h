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

inline std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// Runs the tool in `folder` when one is given (the view finds Data/ below its working folder).
inline ToolResult RunTool(const std::string& arguments, const std::string& folder = {}) {
    ToolResult result;
    const std::string cd = folder.empty() ? std::string() : "cd " + Quoted(folder) + " && ";
    const std::string command = cd + std::string(LUMIVOX_TOOL) + " " + arguments + " 2>/dev/null";
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
