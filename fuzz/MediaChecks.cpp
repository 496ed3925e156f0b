// The fuzz checks of the media files a project brings: bitmaps made into surfaces at every
// display mode, WAVE files made into sound effects, and Ogg files played by the Ogg player
// library. The player has no writer for any of them; the seeds are made by the byte-exact
// builders of the tests and by the Ogg encoder.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/MainWindow.h"
#include "fuzz/FuzzChecks.h"
#include "fuzz/FuzzFiles.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/DDPalette.h"
#include "media/graphics/GraphicsState.h"
#include "media/sound/SoundEffect.h"
#include "platform/graphics/BitmapFile.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/graphics/PixelBuffer.h"
#include "platform/host/Host.h"
#include "platform/sound/SoundHost.h"
#include "platform/sound/Vox.h"
#include "tests/platform_graphics/BmpFixture.h"
#include "tests/platform_sound/OggFixture.h"
#include "tests/platform_sound/SoundTestUtil.h"

namespace {

using fuzz::Bytes;

// ---- bitmaps ----

struct DisplayMode {
    int32_t m_nBackEnd;   // 1 Direct3D, 0 DirectDraw
    int32_t m_nDepth;
    int32_t m_nWindowMode;
};

// Every back end and depth the player runs at.
constexpr DisplayMode kDisplayModes[] = {{1, 16, 1}, {1, 16, 0}, {1, 32, 1}, {0, 8, 0}, {0, 16, 0}, {0, 32, 0}};
constexpr size_t kDisplayModeCount = sizeof kDisplayModes / sizeof kDisplayModes[0];

// The first three bytes of a bitmap input.
constexpr size_t kBitmapPrefix = 3;
constexpr uint8_t kOptionColourKey = 0x01;
constexpr uint8_t kOptionPaletteMap = 0x02;
constexpr uint8_t kOptionSystemMemory = 0x04;
constexpr uint8_t kOptionMirrorWidth = 0x08;
constexpr uint8_t kOptionMirrorHeight = 0x10;
constexpr uint8_t kOptionPaletteImage = 0x20;   // also read as the palette image

// A palette with distinct colours, entry 0 the transparent magenta, in the units the mode's
// palette holds (display channel units at 16-bit DirectDraw).
void LoadModePalette(const DisplayMode& mode)
{
    const PIXELMASKS& m = SurfaceMasks;
    const bool bUnits = mode.m_nBackEnd == 0 && mode.m_nDepth == 16;
    for (int i = 0; i < 256; ++i) {
        int32_t r = i, g = 255 - i, b = (i * 7) & 255;
        if (i == 0) r = 255, g = 0, b = 255;
        if (bUnits) {
            r = r * m.nRMask / 255;
            g = g * m.nGMask / 255;
            b = b * m.nBMask / 255;
        }
        ColorPalette[i] = {static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b), 0};
        ColorPaletteWork[i] = ColorPalette[i];
    }
}

// Starts the graphics layer in the mode unless it already runs in it. Modes change rarely
// enough between inputs that a restart each time is not needed.
bool StartDisplayMode(size_t nMode)
{
    static size_t nRunning = kDisplayModeCount;
    if (nRunning == nMode && bDDInitialised) return true;
    if (bDDInitialised) DDUnInit();
    nRunning = kDisplayModeCount;
    const DisplayMode& mode = kDisplayModes[nMode];
    ResetGraphicsProfile();
    DisarmGraphicsFaults();
    GraphicsProfile profile = GetGraphicsProfile();
    profile.nDesktopBpp = static_cast<uint32_t>(mode.m_nDepth == 8 ? 32 : mode.m_nDepth);
    SetGraphicsProfile(profile);
    if (!DDInit(mode.m_nBackEnd, hMainWnd.load(), 640, 480, mode.m_nDepth, 0, mode.m_nWindowMode, 1, 60, 0,
                nullptr, nullptr, 0, 0))
        return false;
    if (mode.m_nBackEnd == 1 && mode.m_nDepth == 16)
        DDSetTransmit(static_cast<uint8_t>(SurfaceMasks.nRMask), 0, static_cast<uint8_t>(SurfaceMasks.nBMask));
    else if (mode.m_nBackEnd == 0 && mode.m_nDepth == 8)
        dwTransmit = 0;
    else
        DDSetTransmit(255, 0, 255);
    LoadModePalette(mode);
    nRunning = nMode;
    return true;
}

// What reading a palette image changes besides the palette: the transparent colour in its
// forms. Put back after each input, so that every input starts from the mode's own.
struct TransparencyState {
    uint32_t m_dwTransmit = 0;
    RGBTRIPLE m_rgbTransmit{};
    RGBTRIPLE m_rgbColorKey{};
    uint32_t m_dwTransmitTexture = 0;
    uint32_t m_dwTransmitBack = 0;
    uint16_t m_wTransmitTexture16 = 0;
    uint16_t m_wTransmit16 = 0;

    static TransparencyState Take()
    {
        TransparencyState state;
        state.m_dwTransmit = dwTransmit;
        if (lpDTCon) {
            state.m_rgbTransmit = lpDTCon->rgbTransmit;
            state.m_rgbColorKey = lpDTCon->rgbColorKey;
            state.m_dwTransmitTexture = lpDTCon->dwTransmitTexture;
            state.m_dwTransmitBack = lpDTCon->dwTransmitBack;
            state.m_wTransmitTexture16 = lpDTCon->wTransmitTexture_16;
            state.m_wTransmit16 = lpDTCon->wTransmit_16;
        } else if (lpDDCon) {
            state.m_rgbTransmit = lpDDCon->rgbTransmit;
        }
        return state;
    }
    void Restore() const
    {
        dwTransmit = m_dwTransmit;
        if (lpDTCon) {
            lpDTCon->rgbTransmit = m_rgbTransmit;
            lpDTCon->rgbColorKey = m_rgbColorKey;
            lpDTCon->dwTransmitTexture = m_dwTransmitTexture;
            lpDTCon->dwTransmitBack = m_dwTransmitBack;
            lpDTCon->wTransmitTexture_16 = m_wTransmitTexture16;
            lpDTCon->wTransmit_16 = m_wTransmit16;
        } else if (lpDDCon) {
            lpDDCon->rgbTransmit = m_rgbTransmit;
        }
    }
};

// The raw pixel of a loaded surface, straight from the stand-in's pixel buffer.
bool SurfacePixel(DDSURFACEDATA& sd, int32_t x, int32_t y, uint32_t* lpRaw)
{
    cPixelBuffer* lpPixels = nullptr;
    if (sd.lpDT && sd.lpDT->lpSurface) lpPixels = sd.lpDT->lpSurface->Pixels();
    else if (sd.lpDDraw && sd.lpDDraw->lpDDSurface) lpPixels = sd.lpDDraw->lpDDSurface->Pixels();
    if (!lpPixels) return false;
    *lpRaw = lpPixels->ReadRaw(x, y);
    return true;
}

// At 32 bits a plain load shows every pixel of the file as the decoder reads it: DirectDraw as
// 0x00RRGGBB, Direct3D as an opaque texel, or the transparent texel 0 for the colour key.
bool PixelsMatchFile(DDSURFACEDATA& sd, const DECODEDBITMAP& bitmap, const DisplayMode& mode)
{
    uint32_t nKey = 0;
    if (lpDTCon) {
        const RGBTRIPLE& key = lpDTCon->rgbTransmit;
        nKey = static_cast<uint32_t>(key.rgbtRed) << 16 | static_cast<uint32_t>(key.rgbtGreen) << 8 | key.rgbtBlue;
    }
    for (int32_t y = 0; y < bitmap.nHeight; ++y) {
        for (int32_t x = 0; x < bitmap.nWidth; ++x) {
            const uint32_t nRgb = DecodedBitmapPixel(bitmap, x, y) & 0xFFFFFFu;
            uint32_t nExpected = nRgb;
            if (mode.m_nBackEnd == 1) nExpected = nRgb == nKey ? 0u : 0xFF000000u | nRgb;
            uint32_t nRaw = 0;
            if (!SurfacePixel(sd, x, y, &nRaw) || nRaw != nExpected) return false;
        }
    }
    return true;
}

// ---- sound ----

void Advance(uint32_t nMilliseconds)
{
    for (uint32_t n = 0; n < nMilliseconds; n += 10) {
        HostAdvanceVirtualTime(10);
        SoundPump();
    }
}

bool StartSoundDevice()
{
    static const bool bStarted = [] {
        fuzz::PrepareHost();
        SoundDisarmAllFaults();
        return DS_Init(nullptr, 22050, 8, 1);
    }();
    return bStarted;
}

cVoxPlayer* OggPlayer()
{
    static cVoxPlayer* const lpPlayer = [] {
        fuzz::PrepareHost();
        SoundDisarmAllFaults();
        HMODULE hModule = LoadLibraryA("Vox.dll");
        auto create = reinterpret_cast<CREATEVOX>(GetProcAddress(hModule, "CreateVox"));
        return create ? create() : nullptr;
    }();
    return lpPlayer;
}

// ---- seeds ----

bmpfixture::Image SeedImage(bool bIndexed, uint32_t nColours)
{
    bmpfixture::Image image;
    image.width = 8;
    image.height = 6;
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t n = static_cast<uint32_t>(x + y * image.width);
            image.pixels.push_back(bIndexed ? n % nColours : (n * 0x1F3A57u) & 0xFFFFFFu);
        }
    }
    image.pixels[0] = bIndexed ? 0 : 0xFF00FFu;   // the transparent colour in the corner
    return image;
}

Bytes WithPrefix(uint8_t nMode, uint8_t nOptions, uint8_t nMirror, const Bytes& file)
{
    Bytes bytes = {nMode, nOptions, nMirror};
    bytes.insert(bytes.end(), file.begin(), file.end());
    return bytes;
}

std::vector<Bytes> BitmapSeeds()
{
    std::vector<uint32_t> palette;
    for (uint32_t i = 0; i < 16; ++i) palette.push_back(i == 0 ? 0xFF00FFu : i * 0x0F0E0Du);
    auto options = [&](int32_t nBits) {
        bmpfixture::Options o;
        o.bits = nBits;
        if (nBits <= 8) o.palette.assign(palette.begin(), palette.begin() + (nBits == 1 ? 2 : 16));
        return o;
    };
    bmpfixture::Options bitFields16 = options(16);
    bitFields16.bitFields = true;
    bitFields16.masks[0] = 0xF800;
    bitFields16.masks[1] = 0x07E0;
    bitFields16.masks[2] = 0x001F;
    bmpfixture::Options topDown32 = options(32);
    topDown32.topDown = true;
    bmpfixture::Options core8 = options(8);
    core8.coreHeader = true;
    const Bytes b1 = bmpfixture::Encode(SeedImage(true, 2), options(1));
    const Bytes b4 = bmpfixture::Encode(SeedImage(true, 16), options(4));
    const Bytes b8 = bmpfixture::Encode(SeedImage(true, 16), options(8));
    const Bytes b8core = bmpfixture::Encode(SeedImage(true, 16), core8);
    const Bytes b16 = bmpfixture::Encode(SeedImage(false, 0), bitFields16);
    const Bytes b24 = bmpfixture::Encode(SeedImage(false, 0), options(24));
    const Bytes b32 = bmpfixture::Encode(SeedImage(false, 0), topDown32);
    return {
        WithPrefix(0, 0, 0, b24),
        WithPrefix(1, kOptionColourKey | kOptionMirrorWidth, 2, b32),
        WithPrefix(2, kOptionPaletteMap | kOptionSystemMemory, 0, b16),
        WithPrefix(3, kOptionPaletteImage, 0, b8),
        WithPrefix(3, kOptionMirrorWidth | kOptionMirrorHeight, 1, b4),
        WithPrefix(4, kOptionColourKey | kOptionPaletteMap, 0, b8core),
        WithPrefix(5, kOptionMirrorHeight, 2, b1),
        WithPrefix(5, kOptionPaletteImage | kOptionPaletteMap, 0, b24),
    };
}

std::vector<Bytes> WaveSeeds()
{
    using namespace soundtest;
    Bytes listFirst = Chunk("LIST", Bytes{'I', 'N', 'F', 'O'});
    Append(listFirst, Chunk("fmt ", FormatData(1, 2, 44100, 16, 18)));
    Bytes samples16;
    for (int i = 0; i < 40; ++i) Put16(samples16, static_cast<uint32_t>(i * 1500));
    Append(listFirst, Chunk("data", samples16));
    Bytes samples8;
    for (int i = 0; i < 64; ++i) Put8(samples8, static_cast<uint32_t>(128 + (i % 16) * 6));
    return {Wave(1, 22050, 8, samples8), RiffWave(listFirst), Wave(2, 11025, 8, Bytes(33, 200))};
}

std::vector<Bytes> OggSeeds()
{
    struct Tone {
        int m_nChannels;
        long m_nRate;
        double m_fSeconds;
    };
    const Tone tones[] = {{1, 22050, 0.05}, {2, 44100, 0.02}, {1, 8000, 0.1}};
    std::vector<Bytes> seeds;
    const std::string path = fuzz::ScratchPath("seed.ogg");
    for (const Tone& tone : tones) {
        if (!soundtest::WriteOggTone(path, tone.m_nChannels, tone.m_nRate, tone.m_fSeconds, 440.0, 0.5f)) return {};
        seeds.push_back(fuzz::ReadFileBytes(path));
    }
    std::remove(path.c_str());
    return seeds;
}

}  // namespace

FuzzOutcome CheckBitmapInput(const uint8_t* data, size_t size)
{
    if (size < kBitmapPrefix) return FuzzOutcome::Refused;
    fuzz::PrepareHost();
    const size_t nMode = data[0] % kDisplayModeCount;
    const uint8_t nOptions = data[1];
    const int32_t nMirror = data[2] % 16 + 1;
    if (!StartDisplayMode(nMode)) return FuzzOutcome::Broken;
    const DisplayMode& mode = kDisplayModes[nMode];
    const uint8_t* lpFile = data + kBitmapPrefix;
    const size_t nFileSize = size - kBitmapPrefix;
    const std::string path = fuzz::ScratchPath("bitmap.bmp");
    fuzz::WriteScratch(path, lpFile, nFileSize);

    DECODEDBITMAP bitmap;
    std::string error;
    const bool bDecoded = DecodeBitmap(lpFile, nFileSize, &bitmap, &error);
    const int32_t nMirrorWidth = nOptions & kOptionMirrorWidth ? nMirror : 0;
    const int32_t nMirrorHeight = nOptions & kOptionMirrorHeight ? nMirror : 0;
    const int32_t nMemory = nOptions & kOptionSystemMemory ? 1 : 0;
    FuzzOutcome outcome = FuzzOutcome::Refused;
    {
        DDSURFACEDATA sd;
        const int32_t nResult =
            DDCreateSurfaceFromFile(&sd, path.c_str(), nOptions & kOptionColourKey ? 1 : 0, mode.m_nDepth, nMemory,
                                    nMemory, 0, nOptions & kOptionPaletteMap ? 1 : 0, nMirrorWidth, nMirrorHeight, 0);
        if (nResult == 0) {
            // A surface made from a file the decoder refuses, or of another size, would be drawn
            // from pixels nobody read.
            if (!bDecoded || sd.nWidth != bitmap.nWidth || sd.nHeight != bitmap.nHeight) outcome = FuzzOutcome::Broken;
            else if (mode.m_nDepth == 32 && !nMirrorWidth && !nMirrorHeight && !PixelsMatchFile(sd, bitmap, mode))
                outcome = FuzzOutcome::Broken;
            else outcome = FuzzOutcome::Loaded;
        }
        DDReleaseSurface(&sd);
    }

    if (nOptions & kOptionPaletteImage) {
        // The palette image: a refused one leaves the palette as it was. Both it and the
        // transparent colour go back to the mode's own for the next input.
        const TransparencyState transparency = TransparencyState::Take();
        PALETTEENTRY palette[256];
        std::memcpy(palette, ColorPalette, sizeof palette);
        PALETTEENTRY before[256];
        std::memcpy(before, palette, sizeof before);
        if (!DDLoadPaletteFromFile(palette, path.c_str(), mode.m_nWindowMode) &&
            std::memcmp(palette, before, sizeof palette) != 0)
            outcome = FuzzOutcome::Broken;
        SetTrans(path.c_str());
        transparency.Restore();
        LoadModePalette(mode);
    }
    std::remove(path.c_str());
    HostClearRecordedMessageBoxes();
    return outcome;
}

FuzzOutcome CheckWaveInput(const uint8_t* data, size_t size)
{
    if (!StartSoundDevice()) return FuzzOutcome::Broken;
    const std::string path = fuzz::ScratchPath("sound.wav");
    fuzz::WriteScratch(path, data, size);
    DSWAVEDATA wave;
    const bool bLoaded = DS_LoadWave(path.c_str(), &wave);
    // The samples come out of the file: never more of them than it holds. A refused file keeps
    // nothing.
    const bool bSane = bLoaded ? wave.m_lpData && wave.m_nSize > 0 && static_cast<size_t>(wave.m_nSize) <= size &&
                                     (wave.m_abyFormat[0] | wave.m_abyFormat[1] << 8) == 1
                               : wave.m_lpData == nullptr;
    DS_FreeWave(&wave);
    FuzzOutcome outcome = !bSane ? FuzzOutcome::Broken : bLoaded ? FuzzOutcome::Loaded : FuzzOutcome::Refused;

    DSSOUNDDATA sound{};
    const bool bCreated = DS_CreateSound(sound, path.c_str(), 2, -600);
    std::remove(path.c_str());
    if (bCreated && sound.m_nCount > 0) {
        // A file the reader refused may not become a sound that plays.
        if (!bLoaded) outcome = FuzzOutcome::Broken;
        DS_Play(sound, 0);
        DS_Play(sound, 0);
        DS_SetVolume(sound, 1, -300, 1);
        Advance(30);
    }
    DS_ReleaseSound(sound);
    Advance(10);
    return outcome;
}

FuzzOutcome CheckOggInput(const uint8_t* data, size_t size)
{
    cVoxPlayer* lpPlayer = OggPlayer();
    if (!lpPlayer) return FuzzOutcome::Broken;
    const std::string path = fuzz::ScratchPath("music.ogg");
    fuzz::WriteScratch(path, data, size);
    const BOOL bLoaded = lpPlayer->Load(path.c_str());
    std::remove(path.c_str());
    if (!bLoaded) {
        // Nothing is left to play after a refused file.
        return lpPlayer->Play() ? FuzzOutcome::Broken : FuzzOutcome::Refused;
    }
    // Played once and repeated once, through the file's end and the rewind.
    lpPlayer->SetLoop(1);
    if (!lpPlayer->Play()) return FuzzOutcome::Broken;
    Advance(400);
    lpPlayer->Stop();
    lpPlayer->Unload();
    return FuzzOutcome::Loaded;
}

namespace fuzz {

std::vector<Bytes> MediaSeeds(const std::string& strTarget)
{
    PrepareHost();
    if (strTarget == "bitmap") return BitmapSeeds();
    if (strTarget == "wave") return WaveSeeds();
    if (strTarget == "ogg") return OggSeeds();
    return {};
}

}  // namespace fuzz
