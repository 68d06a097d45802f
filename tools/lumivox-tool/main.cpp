// lumivox-tool: the program's libraries on the command line.

#include <cstdio>
#include <cstring>

#include "Commands.h"

namespace {

struct Subcommand {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* usage;
};

const Subcommand subcommands[] = {
    {"info", RunInfo,
     "info FILE.md2      print the model's counts, blocks, frame names, skin names and the skin\n"
     "                   found for it as JSON (also as --model FILE.md2)"},
    {"image", RunImage,
     "image FILE [--out OUT.png] [--level N]   print an image file's information as JSON;\n"
     "                   with --out, write level N of the texture made from it as PNG"},
    {"render", RunRender,
     "render [--model M.md2 [--skin S] [--ramp R]] [--size WxH] [--frames N] [--time-ms T]\n"
     "                   [--step-ms S] [--set FIELD=VALUE]... [--out FILE.png] [--save-settings]\n"
     "                   draw the program's picture headless; with --model, that model (skin\n"
     "                   found from it when not given) instead of the settings file's"},
    {"thumbnail", RunThumbnail,
     "thumbnail -s SIZE MODEL OUT.png   the model alone on a transparent background,\n"
     "                   the picture's long side SIZE pixels"},
    {"export", RunExport,
     "export --model M [--skin S] [--ramp R] [--block NAME] [--frames N] [--fps F] [--size WxH]\n"
     "                   [--set FIELD=VALUE]... --out OUT   the animation as numbered PNG files\n"
     "                   (OUT with %d, e.g. walk%03d.png) or an animated WebP (OUT.webp)"},
};

const char* const kPathNote = "paths may run through PAK and zip archives: .../pak0.pak/models/tank/tris.md2";

int Usage() {
    std::fprintf(stderr, "usage: lumivox-tool COMMAND [ARGS]\n");
    for (const Subcommand& s : subcommands)
        std::fprintf(stderr, "  %s\n", s.usage);
    std::fprintf(stderr, "%s\n", kPathNote);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    for (const Subcommand& s : subcommands) {
        if (std::strcmp(argv[1], s.name) == 0)
            return s.run(argc - 2, argv + 2);
    }
    return Usage();
}
