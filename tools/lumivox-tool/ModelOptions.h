#pragma once
// The options that name what a command reads or draws: --model M [--skin S] [--ramp R]. Paths
// may run through PAK and zip archives. Shared by the commands that take a model.

#include <string>

#include "app/ModelChoice.h"

enum class OptionResult { NotMine, Taken, Bad };

// Looks at argv[i]: when it is one of the options and a value follows, takes both (i moves to
// the value) into `choice`. Bad when the option lacks its value or is given twice.
OptionResult ParseModelOption(int argc, char** argv, int& i, ModelChoice& choice);

// The usage text of the options, for the commands' own usage lines.
constexpr const char* kModelOptionsUsage = "[--model M.md2 [--skin S] [--ramp R]]";

// Empty when the options fit together (--skin and --ramp need --model); else the problem.
std::string CheckModelOptions(const ModelChoice& choice);
