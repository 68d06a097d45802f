#pragma once
// The toolbar's picture strip (resource 128): 12 pictures of 16 x 15 pixels in the 16 standard
// colours, one letter per pixel. '.' is the button face (drawn transparent).

#include "platform/ui/ResourceTables.h"

constexpr int TOOLBAR_IMAGE_WIDTH = 16;
constexpr int TOOLBAR_IMAGE_HEIGHT = 15;
constexpr int TOOLBAR_IMAGE_COUNT = 12;

inline constexpr PaletteEntry kSixteenColours[] = {
    {'k', 0x000000}, {'r', 0x800000}, {'g', 0x008000}, {'y', 0x808000}, {'b', 0x000080}, {'m', 0x800080},
    {'t', 0x008080}, {'s', 0xC0C0C0}, {'d', 0x808080}, {'R', 0xFF0000}, {'G', 0x00FF00}, {'Y', 0xFFFF00},
    {'B', 0x0000FF}, {'M', 0xFF00FF}, {'C', 0x00FFFF}, {'W', 0xFFFFFF},
};

inline constexpr const char* kToolbarImages[TOOLBAR_IMAGE_COUNT][TOOLBAR_IMAGE_HEIGHT] = {
    {// load: an open folder
     "................", "................", "................", ".kkkk...........", "kYYYYk..........",
     "kYYYYYkkkkkkk...", "kYYYYYYYYYYYk...", "kYYkkkkkkkkkkkk.", "kYkyyyyyyyyyyyk.", "kYkyyyyyyyyyyk..",
     "kkyyyyyyyyyyyk..", "kkyyyyyyyyyyk...", "kkkkkkkkkkkkk...", "................", "................"},
    {// mesh file: a triangle split into triangles
     "................", ".......b........", "......b.b.......", ".....b...b......", ".....bbbbb......",
     "....bb...bb.....", "...b.b...b.b....", "...bbbbbbbbb....", "..bb...b...bb...", ".b.b...b...b.b..",
     ".b..b..b..b..b..", "bbbbbbbbbbbbbbb.", "................", "................", "................"},
    {// animation file: a strip of film
     "................", "................", "kkkkkkkkkkkkkkkk", "kWkWkWkWkWkWkWkW", "kkkkkkkkkkkkkkkk",
     "kCCCCkCCCCkCCCCk", "kCgCCkCCgCkCCCgk", "kCggCkCggCkCCggk", "kCCCCkCCCCkCCCCk", "kkkkkkkkkkkkkkkk",
     "kWkWkWkWkWkWkWkW", "kkkkkkkkkkkkkkkk", "................", "................", "................"},
    {// solid: a shaded box
     "................", "................", ".....kkkkkkkkk..", "....kCCCCCCCCkk.", "...kCCCCCCCCkbk.",
     "..kkkkkkkkkkbbk.", "..kBBBBBBBBkbbk.", "..kBBBBBBBBkbbk.", "..kBBBBBBBBkbbk.", "..kBBBBBBBBkbbk.",
     "..kBBBBBBBBkbk..", "..kBBBBBBBBkk...", "..kkkkkkkkkk....", "................", "................"},
    {// wire-frame: the same box drawn by its edges
     "................", "................", ".....bbbbbbbbb..", "....b.......bb..", "...b.......b.b..",
     "..bbbbbbbbbb..b.", "..b........b..b.", "..b........b..b.", "..b........b..b.", "..b........b..b.",
     "..b........b.b..", "..b........bb...", "..bbbbbbbbbb....", "................", "................"},
    {// first-person camera: an eye
     "................", "................", "................", ".....kkkkkk.....", "...kk......kk...",
     "..k...bbbb...k..", ".k...bBBBBb...k.", "k...bBBkkBBb...k", ".k...bBBBBb...k.", "..k...bbbb...k..",
     "...kk......kk...", ".....kkkkkk.....", "................", "................", "................"},
    {// look-at camera: a camera aimed at a target
     "................", "...........RRR..", "..........R...R.", ".........R..R..R", ".........R.RRR.R",
     ".........R..R..R", "..........R...R.", "...........RRR..", "kkkkkk...d......", "kddddkkkd.......",
     "kdWWdkkd........", "kddddkkk........", "kkkkkk..........", "................", "................"},
    {// camera reset: a turning arrow
     "................", "................", "......gggg......", "....gg....gg....", "...g........g...",
     "..g..........g..", "..g.........ggg.", "..g..........g..", "..g.............", "..g.............",
     "...g........g...", "....gg....gg....", "......gggg......", "................", "................"},
    {// normal vectors: arrows standing on a surface
     "................", "...R.....R....R.", "..RRR...RRR..RRR", "...R.....R....R.", "...R.....R....R.",
     "...R.....R....R.", "...R.....R....R.", "...R.....R....R.", "...R.....R....R.", "kkkkkkkkkkkkkkkk",
     "dddddddddddddddd", "dddddddddddddddd", "................", "................", "................"},
    {// unused tool: a dotted frame
     "................", "................", "..d.d.d.d.d.d...", "................", "..d.........d...",
     "................", "..d.........d...", "................", "..d.........d...", "................",
     "..d.........d...", "................", "..d.d.d.d.d.d...", "................", "................"},
    {// lighting: a light bulb
     "......kkkk......", ".....kYYYYk.....", "....kYYWWYYk....", "....kYYWYYYk....", "....kYYYYYYk....",
     "....kYYYYYYk....", ".....kYYYYk.....", "......kYYk......", "......kddk......", "......kssk......",
     "......kddk......", ".......kk.......", "................", "................", "................"},
    {// about: a question mark
     "................", ".....bbbbbb.....", "....bb....bb....", "....bb....bb....", "..........bb....",
     ".........bb.....", "........bb......", ".......bb.......", ".......bb.......", "................",
     ".......bb.......", ".......bb.......", "................", "................", "................"},
};
