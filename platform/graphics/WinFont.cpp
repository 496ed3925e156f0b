// FreeType behind the text calls. Every line is rendered glyph by glyph into a one-bit mask on
// the platform's metrics: a positive font height is the cell height (ascender - descender), the
// baseline lies at the ascender, and a character advances by its hinted advance, so a
// monospaced Japanese face gives half-width characters half the cell of full-width ones.
//
// Rendered glyphs are kept per face and size, keyed by the code-page-932 code, so text drawn
// every frame costs a lookup and a copy per character.
#include "platform/graphics/WinFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <iconv.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <mutex>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/host/Host.h"

namespace {

bool FileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Names as the program gives them (UTF-8 here) and the installed files that stand in for them.
struct FaceMapEntry {
    const char* name;
    const char* file;
};

constexpr const char* kGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
constexpr const char* kPGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";
constexpr const char* kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kSansMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr const char* kSerif = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";

const FaceMapEntry FaceMap[] = {
    {"ＭＳ ゴシック", kGothic},   {"MS Gothic", kGothic},      {"ＭＳ 明朝", kGothic},
    {"MS Mincho", kGothic},       {"IPAゴシック", kGothic},    {"IPAGothic", kGothic},
    {"ＭＳ Ｐゴシック", kPGothic}, {"MS PGothic", kPGothic},    {"ＭＳ Ｐ明朝", kPGothic},
    {"MS PMincho", kPGothic},     {"MS UI Gothic", kPGothic},  {"メイリオ", kPGothic},
    {"Meiryo", kPGothic},         {"IPAPGothic", kPGothic},    {"IPA Pゴシック", kPGothic},
    {"Arial", kSans},             {"Tahoma", kSans},           {"Verdana", kSans},
    {"MS Sans Serif", kSans},     {"Courier New", kSansMono},  {"Courier", kSansMono},
    {"Consolas", kSansMono},      {"Terminal", kSansMono},     {"Times New Roman", kSerif},
};

// ASCII case-insensitive equality, with full-width and half-width spaces taken as equal, since
// projects spell the same face both ways.
std::string NormaliseFaceName(const std::string& utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8.compare(i, 3, "\xE3\x80\x80") == 0) {   // ideographic space
            out += ' ';
            i += 2;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : static_cast<char>(c);
    }
    return out;
}

struct Glyph {
    int32_t nLeft = 0;      // from the pen position
    int32_t nTop = 0;       // from the top of the cell
    int32_t nWidth = 0;
    int32_t nRows = 0;
    int32_t nAdvance = 0;
    std::vector<uint8_t> vInk;   // nWidth * nRows, 1 = ink
};

struct SizedFace {
    FT_Face face = nullptr;
    FT_Face fallback = nullptr;   // null when the face is the fallback itself
    int32_t nAscent = 0;
    int32_t nCellHeight = 0;
    std::unordered_map<uint16_t, Glyph> glyphs;
};

}  // namespace

uint16_t NextCp932Char(const char* text, int32_t count, int32_t* length)
{
    const unsigned char lead = static_cast<unsigned char>(text[0]);
    const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    if (isLead && count >= 2) {
        const unsigned char trail = static_cast<unsigned char>(text[1]);
        if ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC)) {
            *length = 2;
            return static_cast<uint16_t>(lead << 8 | trail);
        }
    }
    *length = 1;
    return lead;
}

std::string FontFileForFace(const char* face)
{
    if (face != nullptr && face[0] != '\0') {
        const std::string name = NormaliseFaceName(Cp932ToUtf8(face));
        for (const auto& entry : FaceMap)
            if (NormaliseFaceName(entry.name) == name && FileExists(entry.file)) return entry.file;
    }
    return kFallbackFontFile;
}

struct cFreeTypeRasterizer::Impl {
    std::mutex lock;
    FT_Library library = nullptr;
    iconv_t decoder = reinterpret_cast<iconv_t>(-1);
    bool ready = false;
    std::map<std::tuple<std::string, int32_t, int32_t>, std::unique_ptr<SizedFace>> faces;
    // The font file of every face name asked for: finding it converts and compares names and
    // looks for the file on disk, too much for every line of text of every frame.
    std::map<std::string, std::string> faceFiles;

    ~Impl()
    {
        for (auto& [key, sized] : faces) {
            if (sized->face != nullptr) FT_Done_Face(sized->face);
            if (sized->fallback != nullptr) FT_Done_Face(sized->fallback);
        }
        if (decoder != reinterpret_cast<iconv_t>(-1)) iconv_close(decoder);
        if (library != nullptr) FT_Done_FreeType(library);
    }

    // Unicode of a code-page-932 character; 0 when the code has none.
    uint32_t ToUnicode(uint16_t code)
    {
        char in[2];
        size_t inLeft = 0;
        if (code > 0xFF) {
            in[0] = static_cast<char>(code >> 8);
            in[1] = static_cast<char>(code & 0xFF);
            inLeft = 2;
        } else {
            in[0] = static_cast<char>(code);
            inLeft = 1;
        }
        unsigned char out[8];
        char* inPtr = in;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof(out);
        iconv(decoder, nullptr, nullptr, nullptr, nullptr);
        if (iconv(decoder, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || outLeft != 4)
            return 0;
        return static_cast<uint32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    }

    FT_Face OpenFace(const std::string& file, int32_t height, int32_t width)
    {
        FT_Face face = nullptr;
        if (FT_New_Face(library, file.c_str(), 0, &face) != 0) return nullptr;
        FT_Size_RequestRec request{};
        // A positive height is the whole cell, a negative one the characters alone.
        request.type = height > 0 ? FT_SIZE_REQUEST_TYPE_CELL : FT_SIZE_REQUEST_TYPE_NOMINAL;
        request.height = static_cast<FT_Long>(height > 0 ? height : -height) * 64;
        request.width = static_cast<FT_Long>(width) * 64;
        if (FT_Request_Size(face, &request) != 0) {
            FT_Done_Face(face);
            return nullptr;
        }
        return face;
    }

    SizedFace* Find(const TEXTFONTSPEC& spec)
    {
        // Sizes from the program stay within what a screen can show.
        int32_t height = spec.nHeight == 0 ? 12 : spec.nHeight;
        if (height > 1024) height = 1024;
        if (height < -1024) height = -1024;
        int32_t width = spec.nWidth < 0 ? -spec.nWidth : spec.nWidth;
        if (width > 1024) width = 1024;
        const std::string faceName(spec.szFace, strnlen(spec.szFace, sizeof(spec.szFace)));
        auto known = faceFiles.find(faceName);
        if (known == faceFiles.end()) known = faceFiles.emplace(faceName, FontFileForFace(faceName.c_str())).first;
        const std::string& file = known->second;
        auto key = std::make_tuple(file, height, width);
        if (auto it = faces.find(key); it != faces.end()) return it->second.get();

        auto sized = std::make_unique<SizedFace>();
        sized->face = OpenFace(file, height, width);
        if (sized->face == nullptr && file != kFallbackFontFile) sized->face = OpenFace(kFallbackFontFile, height, width);
        if (sized->face == nullptr) return nullptr;
        if (file != kFallbackFontFile) sized->fallback = OpenFace(kFallbackFontFile, height, width);

        const FT_Size_Metrics& metrics = sized->face->size->metrics;
        const int32_t ascent = static_cast<int32_t>((metrics.ascender + 32) >> 6);
        const int32_t descent = static_cast<int32_t>((-metrics.descender + 32) >> 6);
        if (height > 0) {
            // The cell is exactly the height asked for; the baseline divides it as the face does.
            const int64_t units = static_cast<int64_t>(sized->face->ascender) - sized->face->descender;
            sized->nCellHeight = height;
            sized->nAscent = units > 0 ? static_cast<int32_t>((static_cast<int64_t>(height) * sized->face->ascender +
                                                               units / 2) / units)
                                       : height;
        } else {
            sized->nAscent = ascent;
            sized->nCellHeight = ascent + descent;
        }
        SizedFace* result = sized.get();
        faces.emplace(std::move(key), std::move(sized));
        return result;
    }

    const Glyph& GlyphFor(SizedFace& sized, uint16_t code)
    {
        if (auto it = sized.glyphs.find(code); it != sized.glyphs.end()) return it->second;
        Glyph glyph;
        if (code >= 0x20 && code != 0x7F) {
            const uint32_t unicode = ToUnicode(code);
            FT_Face face = sized.face;
            FT_UInt index = unicode != 0 ? FT_Get_Char_Index(face, unicode) : 0;
            if (index == 0 && unicode != 0 && sized.fallback != nullptr) {
                const FT_UInt other = FT_Get_Char_Index(sized.fallback, unicode);
                if (other != 0) {
                    face = sized.fallback;
                    index = other;
                }
            }
            if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
                const FT_GlyphSlot slot = face->glyph;
                const FT_Bitmap& bitmap = slot->bitmap;
                glyph.nAdvance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
                glyph.nLeft = slot->bitmap_left;
                glyph.nTop = sized.nAscent - slot->bitmap_top;
                glyph.nWidth = static_cast<int32_t>(bitmap.width);
                glyph.nRows = static_cast<int32_t>(bitmap.rows);
                glyph.vInk.assign(static_cast<size_t>(glyph.nWidth) * glyph.nRows, 0);
                for (int32_t y = 0; y < glyph.nRows; ++y) {
                    const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
                    for (int32_t x = 0; x < glyph.nWidth; ++x) {
                        bool ink;
                        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                            ink = (row[x >> 3] >> (7 - (x & 7))) & 1;
                        else
                            ink = row[x] >= 128;   // a grey embedded bitmap: no half tones here
                        glyph.vInk[static_cast<size_t>(y) * glyph.nWidth + x] = ink ? 1 : 0;
                    }
                }
            }
        }
        return sized.glyphs.emplace(code, std::move(glyph)).first->second;
    }
};

cFreeTypeRasterizer::cFreeTypeRasterizer() : m_pImpl(std::make_unique<Impl>())
{
    if (FT_Init_FreeType(&m_pImpl->library) != 0) {
        m_pImpl->library = nullptr;
        return;
    }
    m_pImpl->decoder = iconv_open("UTF-32LE", "CP932");
    if (m_pImpl->decoder == reinterpret_cast<iconv_t>(-1)) return;
    FT_Face probe = nullptr;
    if (FT_New_Face(m_pImpl->library, kFallbackFontFile, 0, &probe) != 0) return;
    FT_Done_Face(probe);
    m_pImpl->ready = true;
}

cFreeTypeRasterizer::~cFreeTypeRasterizer() = default;

bool cFreeTypeRasterizer::Ready() const
{
    return m_pImpl->ready;
}

bool cFreeTypeRasterizer::RenderLine(const TEXTFONTSPEC& font, const char* text, int32_t count, TEXTMASK* mask)
{
    if (mask == nullptr) return false;
    *mask = TEXTMASK{};
    if (text == nullptr) return false;
    if (count < 0) count = static_cast<int32_t>(std::strlen(text));
    std::lock_guard<std::mutex> guard(m_pImpl->lock);
    if (!m_pImpl->ready) return false;
    TEXTFONTSPEC spec = font;
    spec.szFace[sizeof(spec.szFace) - 1] = '\0';
    SizedFace* sized = m_pImpl->Find(spec);
    if (sized == nullptr) return false;

    // First the glyphs and the width, then the ink.
    std::vector<const Glyph*> glyphs;
    int64_t width = 0;
    for (int32_t at = 0; at < count;) {
        int32_t length = 1;
        const uint16_t code = NextCp932Char(text + at, count - at, &length);
        at += length;
        if (code == 0) break;
        const Glyph& glyph = m_pImpl->GlyphFor(*sized, code);
        glyphs.push_back(&glyph);
        width += glyph.nAdvance;
    }
    if (width > 8192) width = 8192;   // far beyond any surface the text can land on
    mask->nWidth = static_cast<int32_t>(width);
    mask->nHeight = sized->nCellHeight;
    mask->vCoverage.assign(static_cast<size_t>(mask->nWidth) * mask->nHeight, 0);
    int32_t pen = 0;
    for (const Glyph* glyph : glyphs) {
        for (int32_t y = 0; y < glyph->nRows; ++y) {
            const int32_t my = glyph->nTop + y;
            if (my < 0 || my >= mask->nHeight) continue;
            for (int32_t x = 0; x < glyph->nWidth; ++x) {
                const int32_t mx = pen + glyph->nLeft + x;
                if (mx < 0 || mx >= mask->nWidth) continue;
                if (glyph->vInk[static_cast<size_t>(y) * glyph->nWidth + x])
                    mask->vCoverage[static_cast<size_t>(my) * mask->nWidth + mx] = 1;
            }
        }
        pen += glyph->nAdvance;
        if (pen >= mask->nWidth) break;
    }
    return true;
}

bool InstallFontRasterizer()
{
    static std::once_flag once;
    static cFreeTypeRasterizer* installed = nullptr;
    std::call_once(once, [] {
        auto* rasterizer = new cFreeTypeRasterizer();   // lives as long as the program
        if (rasterizer->Ready()) {
            installed = rasterizer;
            SetTextRasterizer(rasterizer);
        } else {
            delete rasterizer;
        }
    });
    return installed != nullptr;
}
