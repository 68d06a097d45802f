#include "gfxutil/text/FontFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

constexpr int kDefaultCellHeight = 16;
// Beyond this no device could hold the glyph textures; it also keeps FreeType's sizes in range.
constexpr double kLargestEmPixels = 8192.0;

int RoundToInt(double v) {
    return int(std::lround(v));
}

} // namespace

struct FontFaces::Library {
    FT_Library handle = nullptr;
    ~Library() {
        if (handle)
            FT_Done_FreeType(handle);
    }
};

struct FontFaces::Face {
    FT_Face handle = nullptr;
    bool embolden = false;
    bool transformed = false;
    FT_Matrix matrix{};
    std::string family;
    ~Face() {
        if (handle)
            FT_Done_Face(handle);
    }
};

// The installed fonts in fontconfig's order of preference for the request.
struct FontFaces::Candidates {
    FcPattern* request = nullptr;
    FcFontSet* sorted = nullptr;
    ~Candidates() {
        if (sorted)
            FcFontSetDestroy(sorted);
        if (request)
            FcPatternDestroy(request);
    }
    std::size_t Count() const { return sorted ? std::size_t(sorted->nfont) : 0; }
};

FontFaces::FontFaces() = default;
FontFaces::~FontFaces() {
    faces_.clear(); // faces before the library that made them
}

namespace {

// fontconfig loses a few bytes, once, while it parses the system's configuration; that is not a
// leak of this program, so the leak checker is told to look away while it loads.
bool LoadFontConfiguration() {
    static const bool loaded = [] {
#if defined(__SANITIZE_ADDRESS__)
        __lsan::ScopedDisabler ignoreConfigurationLoad;
#endif
        return FcInit() == FcTrue;
    }();
    return loaded;
}

const char* GenericFamily(unsigned char pitchAndFamily) {
    switch (pitchAndFamily & 0xF0) {
    case 0x10: // FF_ROMAN
        return "serif";
    case 0x30: // FF_MODERN
        return "monospace";
    default:
        return (pitchAndFamily & 0x03) == 1 ? "monospace" : "sans-serif"; // FIXED_PITCH
    }
}

const char* LanguageOf(unsigned char charSet) {
    switch (charSet) {
    case 128: // SHIFTJIS_CHARSET
        return "ja";
    case 129: // HANGUL_CHARSET
    case 130: // JOHAB_CHARSET
        return "ko";
    case 134: // GB2312_CHARSET
        return "zh-cn";
    case 136: // CHINESEBIG5_CHARSET
        return "zh-tw";
    case 161: // GREEK_CHARSET
        return "el";
    case 162: // TURKISH_CHARSET
        return "tr";
    case 177: // HEBREW_CHARSET
        return "he";
    case 178: // ARABIC_CHARSET
        return "ar";
    case 204: // RUSSIAN_CHARSET
        return "ru";
    case 222: // THAI_CHARSET
        return "th";
    default:
        return nullptr;
    }
}

FcPattern* BuildPattern(const FontRequest& request) {
    if (!LoadFontConfiguration())
        return nullptr;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return nullptr;
    const char* family =
        request.faceName.empty() ? GenericFamily(request.pitchAndFamily) : request.faceName.c_str();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    if (const char* language = LanguageOf(request.charSet))
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(language));
    if (request.weight != 0)
        FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(int(std::min(request.weight, 1000u))));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

} // namespace

std::unique_ptr<FontFaces> FontFaces::Open(const FontRequest& request, OpenError* error) {
    OpenError ignored = OpenError::None;
    OpenError& result = error ? *error : ignored;
    result = OpenError::NoFace;
    std::unique_ptr<FontFaces> faces(new FontFaces());
    faces->monochrome_ = request.monochrome;
    faces->library_ = std::make_unique<Library>();
    if (FT_Init_FreeType(&faces->library_->handle) != 0 || !faces->OpenMainFace(request))
        return nullptr;
    result = faces->ComputeScale(request);
    if (result != OpenError::None)
        return nullptr;
    faces->ComputeMetrics();
    return faces;
}

bool FontFaces::OpenMainFace(const FontRequest& request) {
    candidates_ = std::make_unique<Candidates>();
    candidates_->request = BuildPattern(request);
    if (!candidates_->request)
        return false;
    FcResult result = FcResultNoMatch;
    candidates_->sorted = FcFontSort(nullptr, candidates_->request, FcTrue, nullptr, &result);
    for (std::size_t i = 0; i < candidates_->Count(); ++i) {
        Face* face = OpenCandidate(i);
        if (face && FT_IS_SCALABLE(face->handle))
            return true;
        faces_.clear();
        openedCandidates_.clear();
    }
    return false;
}

FontFaces::Face* FontFaces::OpenCandidate(std::size_t candidate) {
    const auto opened = openedCandidates_.find(candidate);
    if (opened != openedCandidates_.end())
        return faces_[opened->second].get();
    FcPattern* font =
        FcFontRenderPrepare(nullptr, candidates_->request, candidates_->sorted->fonts[candidate]);
    if (!font)
        return nullptr;
    FcChar8* file = nullptr;
    int index = 0;
    auto face = std::make_unique<Face>();
    if (FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        if (FT_New_Face(library_->handle, reinterpret_cast<const char*>(file), index, &face->handle) != 0)
            face->handle = nullptr;
    }
    FcBool embolden = FcFalse;
    if (FcPatternGetBool(font, FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
        face->embolden = embolden == FcTrue;
    FcMatrix* matrix = nullptr;
    if (FcPatternGetMatrix(font, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix) {
        face->transformed = true;
        face->matrix = {FT_Fixed(matrix->xx * 65536.0), FT_Fixed(matrix->xy * 65536.0),
                        FT_Fixed(matrix->yx * 65536.0), FT_Fixed(matrix->yy * 65536.0)};
    }
    FcChar8* family = nullptr;
    if (FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch)
        face->family = reinterpret_cast<const char*>(family);
    FcPatternDestroy(font);
    if (!face->handle || !FT_IS_SCALABLE(face->handle))
        return nullptr;
    if (!faces_.empty()) {
        const FT_F26Dot6 w = FT_F26Dot6(std::lround(emPixelsX_ * 64.0));
        const FT_F26Dot6 h = FT_F26Dot6(std::lround(emPixelsY_ * 64.0));
        if (FT_Set_Char_Size(face->handle, w, h, 72, 72) != 0)
            return nullptr;
    }
    if (face->transformed)
        FT_Set_Transform(face->handle, &face->matrix, nullptr);
    openedCandidates_[candidate] = std::uint32_t(faces_.size());
    faces_.push_back(std::move(face));
    return faces_.back().get();
}

namespace {

// The face's line extent in font units: the Windows ascent and descent where the face has them.
void FaceExtent(FT_Face face, double& ascent, double& descent) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
        return;
    }
    ascent = face->ascender;
    descent = -face->descender;
    if (ascent + descent <= 0) {
        ascent = face->units_per_EM * 0.8;
        descent = face->units_per_EM * 0.2;
    }
}

double AverageWidthUnits(FT_Face face) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0)
        return os2->xAvgCharWidth;
    return face->units_per_EM / 2.0;
}

} // namespace

FontFaces::OpenError FontFaces::ComputeScale(const FontRequest& request) {
    FT_Face face = faces_[0]->handle;
    double ascentUnits = 0;
    double descentUnits = 0;
    FaceExtent(face, ascentUnits, descentUnits);
    const double units = face->units_per_EM;
    const long long requested = request.height == 0 ? kDefaultCellHeight : request.height;
    if (requested > 0) {
        emPixelsY_ = double(requested) * units / (ascentUnits + descentUnits);
    } else {
        emPixelsY_ = double(std::llabs(requested));
    }
    if (emPixelsY_ > kLargestEmPixels)
        return OpenError::SizeTooLarge;
    emPixelsY_ = std::max(emPixelsY_, 1.0);
    emPixelsX_ = emPixelsY_;
    if (request.width != 0) {
        const double naturalAverage = AverageWidthUnits(face) * emPixelsY_ / units;
        emPixelsX_ = emPixelsY_ * request.width / naturalAverage;
        if (emPixelsX_ > kLargestEmPixels)
            return OpenError::SizeTooLarge;
        emPixelsX_ = std::max(emPixelsX_, 1.0);
    }

    if (requested > 0) {
        metrics_.height = int(std::max(requested, 1LL));
        metrics_.ascent = RoundToInt(metrics_.height * ascentUnits / (ascentUnits + descentUnits));
        metrics_.descent = metrics_.height - metrics_.ascent;
    } else {
        metrics_.ascent = RoundToInt(ascentUnits * emPixelsY_ / units);
        metrics_.descent = RoundToInt(descentUnits * emPixelsY_ / units);
        metrics_.height = std::max(metrics_.ascent + metrics_.descent, 1);
    }
    const FT_F26Dot6 w = FT_F26Dot6(std::lround(emPixelsX_ * 64.0));
    const FT_F26Dot6 h = FT_F26Dot6(std::lround(emPixelsY_ * 64.0));
    return FT_Set_Char_Size(face, w, h, 72, 72) == 0 ? OpenError::None : OpenError::NoFace;
}

void FontFaces::ComputeMetrics() {
    FT_Face face = faces_[0]->handle;
    const double scaleX = emPixelsX_ / face->units_per_EM;
    metrics_.averageCharWidth = std::max(1, RoundToInt(AverageWidthUnits(face) * scaleX));
    // Emboldening widens every glyph by a little over a pixel at text sizes.
    const int boldExtra = faces_[0]->embolden ? int(std::ceil(emPixelsY_ / 24.0)) : 0;
    metrics_.maxCharWidth =
        std::max(metrics_.averageCharWidth, int(std::ceil(face->max_advance_width * scaleX)) + boldExtra);
    metrics_.glyphCount = unsigned(std::max<FT_Long>(face->num_glyphs, 0));
}

std::string FontFaces::FamilyName(std::uint32_t face) const {
    return face < faces_.size() ? faces_[face]->family : std::string();
}

bool FontFaces::CandidateHas(std::size_t candidate, char32_t c) {
    FcCharSet* charset = nullptr;
    if (FcPatternGetCharSet(candidates_->sorted->fonts[candidate], FC_CHARSET, 0, &charset) != FcResultMatch)
        return false;
    return FcCharSetHasChar(charset, FcChar32(c)) == FcTrue;
}

GlyphId FontFaces::GlyphFor(char32_t c) {
    const auto known = glyphForChar_.find(c);
    if (known != glyphForChar_.end())
        return known->second;
    GlyphId glyph{0, FT_Get_Char_Index(faces_[0]->handle, FT_ULong(c))};
    for (std::size_t i = 1; glyph.index == 0 && i < candidates_->Count(); ++i) {
        if (!CandidateHas(i, c))
            continue;
        Face* face = OpenCandidate(i);
        if (!face)
            continue;
        const FT_UInt index = FT_Get_Char_Index(face->handle, FT_ULong(c));
        if (index != 0)
            glyph = {openedCandidates_[i], index};
    }
    glyphForChar_[c] = glyph;
    return glyph;
}

FontFaces::Face* FontFaces::FaceFor(std::uint32_t face) {
    return face < faces_.size() ? faces_[face].get() : nullptr;
}

bool FontFaces::LoadGlyph(GlyphId glyph, bool render) {
    Face* face = FaceFor(glyph.face);
    if (!face)
        return false;
    const FT_Int32 target = monochrome_ ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Glyph(face->handle, glyph.index, FT_LOAD_NO_BITMAP | target) != 0)
        return false;
    if (face->embolden)
        FT_GlyphSlot_Embolden(face->handle->glyph);
    if (!render)
        return true;
    return FT_Render_Glyph(face->handle->glyph, monochrome_ ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) ==
           0;
}

int FontFaces::Advance(GlyphId glyph) {
    const auto known = advances_.find(glyph.Key());
    if (known != advances_.end())
        return known->second;
    int advance = 0;
    if (LoadGlyph(glyph, false))
        advance = int((faces_[glyph.face]->handle->glyph->advance.x + 32) >> 6);
    advances_[glyph.Key()] = advance;
    return advance;
}

namespace {

std::uint8_t CoverageAt(const FT_Bitmap& bitmap, const unsigned char* row, int x) {
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        return (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.num_grays > 1)
        return std::uint8_t(row[x] * 255 / (bitmap.num_grays - 1));
    return 0;
}

void CopyCoverage(const FT_Bitmap& bitmap, GlyphBitmap& out) {
    out.width = int(bitmap.width);
    out.rows = int(bitmap.rows);
    out.coverage.assign(std::size_t(out.width) * std::size_t(out.rows), 0);
    const int pitch = bitmap.pitch;
    // A negative pitch stores the rows bottom-up.
    const unsigned char* first =
        pitch >= 0 ? bitmap.buffer : bitmap.buffer - std::ptrdiff_t(pitch) * (out.rows - 1);
    for (int y = 0; y < out.rows; ++y) {
        const unsigned char* row = first + std::ptrdiff_t(pitch) * y;
        for (int x = 0; x < out.width; ++x)
            out.coverage[std::size_t(y) * out.width + x] = CoverageAt(bitmap, row, x);
    }
}

} // namespace

GlyphBitmap FontFaces::Render(GlyphId glyph) {
    GlyphBitmap result;
    ++renderCount_;
    if (!LoadGlyph(glyph, true))
        return result;
    const FT_GlyphSlot slot = faces_[glyph.face]->handle->glyph;
    result.advance = int((slot->advance.x + 32) >> 6);
    result.left = slot->bitmap_left;
    result.top = metrics_.ascent - slot->bitmap_top;
    if (slot->bitmap.buffer && slot->bitmap.width > 0 && slot->bitmap.rows > 0)
        CopyCoverage(slot->bitmap, result);
    advances_[glyph.Key()] = result.advance;
    return result;
}
