#pragma once
// The tool's subcommands. Each takes the arguments after its name and returns the exit status.

int RunInfo(int argc, char** argv);
int RunImage(int argc, char** argv);
int RunRender(int argc, char** argv);
int RunThumbnail(int argc, char** argv);
int RunExport(int argc, char** argv);
