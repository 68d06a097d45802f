#pragma once
// The faces behind one font: the face fontconfig picks for the requested name, weight and slant,
// and the fallback faces that supply the characters it lacks. FreeType scales and rasterises them
// with the Windows meaning of the requested height.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct FontRequest {
    std::string faceName;
    int height = 0;     // > 0: cell height (ascent + descent); < 0: em height; 0: a default size
    unsigned width = 0; // average character width; 0 keeps the face's own proportions
    unsigned weight = 0;
    bool italic = false;
    bool monochrome = false;
    unsigned char charSet = 1;        // the Windows character set: a language hint
    unsigned char pitchAndFamily = 0; // the Windows pitch and family: a hint for unnamed faces
};

struct FontMetrics {
    int height = 0; // ascent + descent: the distance between lines
    int ascent = 0;
    int descent = 0;
    int averageCharWidth = 0;
    int maxCharWidth = 0;
    unsigned glyphCount = 0; // glyphs in the main face
};

// A glyph of one of the font's faces; face 0 is the main face.
struct GlyphId {
    std::uint32_t face = 0;
    std::uint32_t index = 0;
    std::uint64_t Key() const { return (std::uint64_t(face) << 32) | index; }
};

// Coverage (0..255) of a rendered glyph. left and top place its first pixel relative to the pen at
// the top of the line.
struct GlyphBitmap {
    int advance = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;
};

class FontFaces {
public:
    enum class OpenError { None, NoFace, SizeTooLarge };
    // Null when no usable face is installed or the size is beyond any glyph texture.
    static std::unique_ptr<FontFaces> Open(const FontRequest& request, OpenError* error = nullptr);
    ~FontFaces();
    FontFaces(const FontFaces&) = delete;
    FontFaces& operator=(const FontFaces&) = delete;

    const FontMetrics& Metrics() const { return metrics_; }
    std::string FamilyName(std::uint32_t face) const;

    // The main face's glyph for c, else a fallback face's; the main face's missing-glyph box when
    // no installed face has it.
    GlyphId GlyphFor(char32_t c);
    int Advance(GlyphId glyph);
    GlyphBitmap Render(GlyphId glyph);
    std::size_t RenderCount() const { return renderCount_; }

private:
    struct Library;
    struct Face;
    struct Candidates;

    FontFaces();
    bool OpenMainFace(const FontRequest& request);
    OpenError ComputeScale(const FontRequest& request);
    void ComputeMetrics();
    Face* FaceFor(std::uint32_t face);
    bool CandidateHas(std::size_t candidate, char32_t c);
    Face* OpenCandidate(std::size_t candidate);
    bool LoadGlyph(GlyphId glyph, bool render);

    std::unique_ptr<Library> library_;
    std::unique_ptr<Candidates> candidates_;
    std::vector<std::unique_ptr<Face>> faces_;
    std::unordered_map<std::size_t, std::uint32_t> openedCandidates_;
    std::unordered_map<char32_t, GlyphId> glyphForChar_;
    std::unordered_map<std::uint64_t, int> advances_;
    FontMetrics metrics_;
    double emPixelsX_ = 0;
    double emPixelsY_ = 0;
    bool monochrome_ = false;
    std::size_t renderCount_ = 0;
};
