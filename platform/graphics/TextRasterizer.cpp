#include "platform/graphics/TextRasterizer.h"

#include <algorithm>
#include <atomic>

#include "platform/graphics/GraphicsInternal.h"

namespace {
std::atomic<cTextRasterizer*> g_lpRasterizer{nullptr};
}

void SetTextRasterizer(cTextRasterizer* rasterizer) { g_lpRasterizer = rasterizer; }
cTextRasterizer* GetTextRasterizer() { return g_lpRasterizer.load(); }

namespace gfx {

SIZE DrawTextMask(const TEXTFONTSPEC& font, const char* text, int32_t count, int32_t x, int32_t y, uint32_t raw,
                  cPixelBuffer* target, const RECT* clip) {
    cTextRasterizer* rasterizer = g_lpRasterizer.load();
    if (rasterizer == nullptr || text == nullptr || count <= 0) return SIZE{0, 0};
    TEXTMASK mask;
    if (!rasterizer->RenderLine(font, text, count, &mask)) return SIZE{0, 0};
    if (mask.nWidth < 0 || mask.nHeight < 0 ||
        mask.vCoverage.size() < static_cast<size_t>(mask.nWidth) * static_cast<size_t>(mask.nHeight))
        return SIZE{0, 0};
    if (target != nullptr && !target->Empty()) {
        RECT bounds{0, 0, target->Width(), target->Height()};
        if (clip) {
            bounds.left = std::max(bounds.left, clip->left);
            bounds.top = std::max(bounds.top, clip->top);
            bounds.right = std::min(bounds.right, clip->right);
            bounds.bottom = std::min(bounds.bottom, clip->bottom);
        }
        for (int32_t my = 0; my < mask.nHeight; ++my) {
            const int32_t ty = y + my;
            if (ty < bounds.top || ty >= bounds.bottom) continue;
            for (int32_t mx = 0; mx < mask.nWidth; ++mx) {
                const int32_t tx = x + mx;
                if (tx < bounds.left || tx >= bounds.right) continue;
                if (mask.vCoverage[static_cast<size_t>(my) * mask.nWidth + mx]) target->WriteRaw(tx, ty, raw);
            }
        }
    }
    return SIZE{mask.nWidth, mask.nHeight};
}

}  // namespace gfx
