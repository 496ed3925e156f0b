#include "tools/demo/DemoArt.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "tools/demo/DemoCanvas.h"
#include "tools/demo/DemoPalette.h"

namespace {

constexpr int32_t kCell = 32;

// Transparent pixels next to a drawn pixel of the area become the outline colour, so sprites read
// clearly on any background.
void Outline(cDemoCanvas& c, int32_t x, int32_t y, int32_t w, int32_t h, uint8_t colour)
{
    std::vector<uint8_t> mark(static_cast<size_t>(w) * h, 0);
    for (int32_t j = 0; j < h; ++j) {
        for (int32_t i = 0; i < w; ++i) {
            if (c.At(x + i, y + j) != 0) continue;
            const auto solid = [&](int32_t dx, int32_t dy) {
                const int32_t u = i + dx, v = j + dy;
                if (u < 0 || v < 0 || u >= w || v >= h) return false;
                const uint8_t p = c.At(x + u, y + v);
                return p != 0 && p != colour;
            };
            if (solid(-1, 0) || solid(1, 0) || solid(0, -1) || solid(0, 1)) mark[static_cast<size_t>(j) * w + i] = 1;
        }
    }
    for (int32_t j = 0; j < h; ++j) {
        for (int32_t i = 0; i < w; ++i) {
            if (mark[static_cast<size_t>(j) * w + i]) c.Set(x + i, y + j, colour);
        }
    }
}

// Replaces the colours of the ramp "from" in an area by the same shades of ramp "to".
void RecolourRamp(cDemoCanvas& c, int32_t x, int32_t y, int32_t w, int32_t h, int32_t nFrom, int32_t nTo)
{
    for (int32_t j = 0; j < h; ++j) {
        for (int32_t i = 0; i < w; ++i) {
            const uint8_t p = c.At(x + i, y + j);
            if (p >= Shade(nFrom, 0) && p <= Shade(nFrom, 15)) c.Set(x + i, y + j, static_cast<uint8_t>(p - Shade(nFrom, 0) + Shade(nTo, 0)));
        }
    }
}

// Brightens every opaque pixel of an area by a few shades within its ramp (the flashing look of
// an invincible character).
void Brighten(cDemoCanvas& c, int32_t x, int32_t y, int32_t w, int32_t h, int32_t nSteps)
{
    for (int32_t j = 0; j < h; ++j) {
        for (int32_t i = 0; i < w; ++i) {
            const uint8_t p = c.At(x + i, y + j);
            if (p >= 16 && p < 208) {
                const int32_t base = 16 + (p - 16) / 16 * 16;
                c.Set(x + i, y + j, static_cast<uint8_t>(std::min(base + 15, p + nSteps)));
            } else if (p == ColSkin || p == ColSkinShadow) {
                c.Set(x + i, y + j, ColWhite);
            }
        }
    }
}

// ---------------------------------------------------------------- characters

enum class Pose { Stand, StepA, StepB, Jump, Hurt };

// The hero, facing left, in a 32 x 32 cell at (x, y): a traveller in a round green hood and a
// sand-coloured tunic, a long orange scarf trailing behind. The green hood is what the other
// sheets and the second player recolour.
void DrawHero(cDemoCanvas& c, int32_t x, int32_t y, Pose pose)
{
    const int32_t bob = (pose == Pose::StepA || pose == Pose::StepB) ? 1 : 0;
    const int32_t top = y + 1 + bob;
    // Legs and boots.
    int32_t legL = 0, legR = 0;   // horizontal offsets of the two feet
    if (pose == Pose::StepA) { legL = -3; legR = 3; }
    if (pose == Pose::StepB) { legL = 2; legR = -2; }
    const uint8_t trousers = Shade(RampGrey, 6), trousersLight = Shade(RampGrey, 8);
    const uint8_t boot = Shade(RampBrown, 4), bootLight = Shade(RampBrown, 6);
    if (pose == Pose::Jump) {
        c.FillRect(x + 11, top + 21, 4, 4, trousers);
        c.FillRect(x + 9, top + 24, 5, 3, boot);
        c.FillRect(x + 17, top + 21, 4, 6, trousersLight);
        c.FillRect(x + 17, top + 27, 5, 3, bootLight);
    } else {
        c.FillRect(x + 11 + legL, top + 21, 4, 7 - bob, trousers);
        c.FillRect(x + 17 + legR, top + 21, 4, 7 - bob, trousersLight);
        c.FillRect(x + 9 + legL, top + 28 - bob, 6, 3, boot);
        c.FillRect(x + 15 + legR, top + 28 - bob, 6, 3, bootLight);
    }
    // Body: a sand-coloured tunic flaring at the hem, with a sash.
    const uint8_t tunic = Shade(RampBrown, 10), tunicLight = Shade(RampBrown, 12), tunicDark = Shade(RampBrown, 7);
    c.FillRect(x + 10, top + 13, 12, 8, tunic);
    c.FillRect(x + 9, top + 20, 14, 3, tunic);
    c.FillRect(x + 11, top + 14, 3, 6, tunicLight);
    c.FillRect(x + 21, top + 13, 1, 10, tunicDark);
    for (int32_t i = 0; i < 4; ++i) c.Set(x + 10 + i * 4, top + 22, tunicDark);   // a jagged hem
    c.FillRect(x + 10, top + 18, 12, 1, Shade(RampGreen, 5));
    // The scarf: wound round the neck, its two tails streaming back (to the right).
    const uint8_t scarf = Shade(RampOrange, 8), scarfLight = Shade(RampOrange, 11), scarfDark = Shade(RampOrange, 5);
    const int32_t wave = pose == Pose::StepA ? 1 : (pose == Pose::StepB ? -1 : (pose == Pose::Jump ? -2 : 0));
    c.FillRect(x + 11, top + 12, 11, 3, scarf);
    c.FillRect(x + 11, top + 12, 11, 1, scarfLight);
    c.FillRect(x + 21, top + 13, 4, 3, scarf);
    c.FillRect(x + 25, top + 14 + wave, 3, 3, scarf);
    c.FillRect(x + 28, top + 15 + wave * 2, 2, 2, scarfDark);
    c.FillRect(x + 22, top + 16, 3, 2, scarfDark);
    // Arm swinging forward (to the left).
    const int32_t arm = pose == Pose::StepA ? 2 : (pose == Pose::StepB ? -2 : 0);
    if (pose == Pose::Jump || pose == Pose::Hurt) {
        c.FillRect(x + 6, top + 9, 4, 4, tunicLight);
        c.FillRect(x + 5, top + 7, 3, 3, ColSkin);
    } else {
        c.FillRect(x + 8 - arm / 2, top + 14, 3, 6, tunicLight);
        c.FillRect(x + 8 - arm / 2, top + 20, 3, 2, ColSkin);
    }
    // Head: a round hood that falls to the shoulders at the back, the face peeking out in front.
    const uint8_t hood = Shade(RampGreen, 6), hoodLight = Shade(RampGreen, 9), hoodDark = Shade(RampGreen, 3);
    c.FillEllipse(x + 17, top + 7, 7, 7, hood);
    c.FillRect(x + 18, top + 8, 6, 5, hood);
    c.FillRect(x + 23, top + 6, 1, 7, hoodDark);
    c.FillRect(x + 14, top + 1, 6, 2, hoodLight);
    c.FillEllipse(x + 14, top + 8, 4, 4, ColSkin);
    c.FillRect(x + 10, top + 5, 8, 1, hoodDark);              // the hood's rim over the brow
    c.FillRect(x + 12, top + 7, 2, 3, pose == Pose::Hurt ? Shade(RampRed, 5) : ColBlack);   // eye
    c.Set(x + 12, top + 7, ColWhite);
    c.FillRect(x + 10, top + 10, 1, 1, ColSkinShadow);       // nose
    c.FillRect(x + 12, top + 11, 2, 1, Shade(RampRed, 6));    // mouth
    c.FillRect(x + 16, top + 9, 1, 2, ColSkinShadow);         // cheek shadow
    Outline(c, x, y, kCell, kCell, Shade(RampGrey, 2));
}

// A round slime, bouncing.
void DrawSlime(cDemoCanvas& c, int32_t x, int32_t y, int32_t frame, int32_t ramp)
{
    const int32_t squash = (frame % 2) ? 2 : 0;
    c.FillEllipse(x + 16, y + 21 + squash / 2, 12 + squash, 9 - squash, Shade(ramp, 7));
    c.FillEllipse(x + 14, y + 18 + squash, 8, 5 - squash / 2, Shade(ramp, 9));
    c.FillEllipse(x + 11, y + 16 + squash, 3, 2, Shade(ramp, 13));
    c.FillRect(x + 9, y + 19 + squash, 3, 4, ColWhite);
    c.FillRect(x + 16, y + 19 + squash, 3, 4, ColWhite);
    c.FillRect(x + 9, y + 20 + squash, 2, 3, ColBlack);
    c.FillRect(x + 16, y + 20 + squash, 2, 3, ColBlack);
    c.FillRect(x + 6, y + 29, 20, 1, Shade(ramp, 3));
    Outline(c, x, y, kCell, kCell, Shade(ramp, 1));
}

// A bat flapping its wings.
void DrawBat(cDemoCanvas& c, int32_t x, int32_t y, int32_t frame)
{
    const uint8_t body = Shade(RampPurple, 5), wing = Shade(RampPurple, 8);
    const int32_t up = (frame % 2) ? -6 : 4;
    for (int32_t i = 0; i < 11; ++i) {
        const int32_t h = 2 + i / 3;
        c.FillRect(x + 4 + i, y + 14 + up * (10 - i) / 10, 1, h, wing);
        c.FillRect(x + 27 - i, y + 14 + up * (10 - i) / 10, 1, h, wing);
    }
    c.FillEllipse(x + 16, y + 17, 5, 6, body);
    c.FillRect(x + 12, y + 9, 2, 3, body);
    c.FillRect(x + 18, y + 9, 2, 3, body);
    c.FillRect(x + 13, y + 15, 2, 2, Shade(RampYellow, 10));
    c.FillRect(x + 17, y + 15, 2, 2, Shade(RampYellow, 10));
    c.Set(x + 14, y + 20, ColWhite);
    c.Set(x + 17, y + 20, ColWhite);
    Outline(c, x, y, kCell, kCell, Shade(RampPurple, 1));
}

// A round beetle that hops: a domed shell split down the middle, a small dark head with
// feelers at the front (left), legs tucked in mid-hop.
void DrawBeetle(cDemoCanvas& c, int32_t x, int32_t y, int32_t frame)
{
    const int32_t hop = (frame % 2) ? 4 : 0;
    const uint8_t leg = Shade(RampGrey, 3);
    if (hop) {
        for (int32_t i = 0; i < 3; ++i) c.FillRect(x + 10 + i * 6, y + 25 - hop, 2, 5, leg);
    } else {
        for (int32_t i = 0; i < 3; ++i) {
            c.FillRect(x + 9 + i * 6, y + 26, 2, 3, leg);
            c.FillRect(x + 8 + i * 6, y + 28, 3, 2, leg);
        }
    }
    const int32_t by = y + 18 - hop;
    c.FillEllipse(x + 7, by + 4, 4, 4, Shade(RampGrey, 5));                 // head
    c.Line(x + 5, by + 1, x + 2, by - 5, leg);                               // feelers
    c.Line(x + 7, by + 0, x + 6, by - 6, leg);
    c.Set(x + 2, by - 6, Shade(RampYellow, 12));
    c.Set(x + 6, by - 7, Shade(RampYellow, 12));
    c.FillRect(x + 4, by + 3, 2, 2, ColWhite);                               // eye
    c.Set(x + 4, by + 4, ColBlack);
    c.FillEllipse(x + 18, by + 1, 11, 9, Shade(RampTeal, 5));                // shell
    c.FillRect(x + 7, by + 6, 23, 5, 0);
    c.FillEllipse(x + 18, by + 1, 10, 7, Shade(RampTeal, 7));
    c.FillRect(x + 8, by + 6, 21, 2, Shade(RampTeal, 3));                    // shell rim
    c.Line(x + 18, by - 6, x + 18, by + 5, Shade(RampTeal, 3));              // the split
    c.FillEllipse(x + 13, by - 2, 3, 2, Shade(RampTeal, 11));                // sheen
    c.Set(x + 12, by - 3, Shade(RampTeal, 14));
    for (int32_t k = 0; k < 3; ++k) c.FillRect(x + 21 + k * 2, by - 3 + k * 3, 2, 2, Shade(RampLime, 10));   // spots
    Outline(c, x, y, kCell, kCell, Shade(RampTeal, 1));
}

// A small robot with an antenna.
void DrawRobot(cDemoCanvas& c, int32_t x, int32_t y, int32_t frame)
{
    const int32_t step = (frame % 2) ? 1 : 0;
    c.FillRect(x + 10, y + 26 - step, 4, 5 + step, Shade(RampGrey, 6));
    c.FillRect(x + 18, y + 25 + step, 4, 6 - step, Shade(RampGrey, 6));
    c.Bevel(x + 7, y + 13, 18, 13, Shade(RampGrey, 10), Shade(RampGrey, 13), Shade(RampGrey, 6), 1);
    c.FillRect(x + 11, y + 17, 10, 5, Shade(RampTeal, 5));
    c.FillRect(x + 12, y + 18, 2, 2, Shade(RampLime, 12));
    c.Bevel(x + 9, y + 4, 14, 9, Shade(RampGrey, 11), Shade(RampGrey, 14), Shade(RampGrey, 7), 1);
    c.FillRect(x + 11, y + 7, 3, 3, (frame % 2) ? Shade(RampRed, 10) : Shade(RampRed, 7));
    c.FillRect(x + 17, y + 7, 3, 3, (frame % 2) ? Shade(RampRed, 10) : Shade(RampRed, 7));
    c.FillRect(x + 15, y + 1, 1, 3, Shade(RampGrey, 8));
    c.FillRect(x + 14, y + 0, 3, 2, Shade(RampYellow, 10));
    Outline(c, x, y, kCell, kCell, Shade(RampGrey, 2));
}

// A floating ghost.
void DrawGhost(cDemoCanvas& c, int32_t x, int32_t y, int32_t frame)
{
    const int32_t f = (frame % 2) ? 1 : 0;
    c.FillEllipse(x + 16, y + 13 + f, 10, 10, Shade(RampSky, 14));
    c.FillRect(x + 6, y + 13 + f, 21, 11, Shade(RampSky, 14));
    for (int32_t i = 0; i < 4; ++i) c.FillRect(x + 6 + i * 6 + (f ? 3 : 0), y + 24 + f, 3, 3, Shade(RampSky, 14));
    c.FillRect(x + 10, y + 10 + f, 3, 5, ColBlack);
    c.FillRect(x + 16, y + 10 + f, 3, 5, ColBlack);
    c.FillEllipse(x + 13, y + 19 + f, 2, 2, Shade(RampBlue, 3));
    Outline(c, x, y, kCell, kCell, Shade(RampSky, 3));
}

// A 16 x 16 copy of a 32 x 32 cell: every second pixel, preferring drawn pixels over the
// transparent colour so thin outlines survive.
void HalfSize(cDemoCanvas& c, int32_t x, int32_t y, const cDemoCanvas& source, int32_t sx, int32_t sy)
{
    for (int32_t j = 0; j < 16; ++j) {
        for (int32_t i = 0; i < 16; ++i) {
            uint8_t p = source.At(sx + 2 * i + 1, sy + 2 * j);
            if (p == 0) p = source.At(sx + 2 * i, sy + 2 * j + 1);
            if (p) c.Set(x + i, y + j, p);
        }
    }
}

using CharaPainter = std::function<void(cDemoCanvas&, int32_t, int32_t, int32_t)>;

// One row of a character sheet: columns 0..3 walk, 4..7 the same brightened (invincible),
// 8..11 the same (riding a block), 12..15 jump and hurt, 16..19 the walk again.
void DrawCharaRow(cDemoCanvas& c, int32_t row, const CharaPainter& paint)
{
    const int32_t y = row * kCell;
    for (int32_t col = 0; col < 20; ++col) {
        const int32_t group = col / 4, frame = col % 4;
        const int32_t x = col * kCell;
        int32_t f = frame;
        if (group == 3) f = 4 + frame % 2;   // jump, hurt
        paint(c, x, y, f);
        if (group == 1) Brighten(c, x, y, kCell, kCell, 4);
    }
}

void HeroPainter(cDemoCanvas& c, int32_t x, int32_t y, int32_t f)
{
    static const Pose kPoses[6] = {Pose::Stand, Pose::StepA, Pose::Stand, Pose::StepB, Pose::Jump, Pose::Hurt};
    DrawHero(c, x, y, kPoses[std::clamp(f, 0, 5)]);
}

cDemoCanvas MakeCharacterSheet(int32_t nSheet)
{
    cDemoCanvas c(640, 480);
    // Graphic 0 is "no character"; its row repeats the hero, the cell shown for a graphic that
    // lies outside the sheet.
    DrawCharaRow(c, 0, HeroPainter);
    DrawCharaRow(c, 1, HeroPainter);
    DrawCharaRow(c, 2, [](cDemoCanvas& d, int32_t x, int32_t y, int32_t f) { DrawSlime(d, x, y, f, RampGreen); });
    DrawCharaRow(c, 3, [](cDemoCanvas& d, int32_t x, int32_t y, int32_t f) { DrawBat(d, x, y, f); });
    DrawCharaRow(c, 4, [](cDemoCanvas& d, int32_t x, int32_t y, int32_t f) { DrawBeetle(d, x, y, f); });
    DrawCharaRow(c, 5, [](cDemoCanvas& d, int32_t x, int32_t y, int32_t f) { DrawRobot(d, x, y, f); });
    DrawCharaRow(c, 6, [](cDemoCanvas& d, int32_t x, int32_t y, int32_t f) { DrawGhost(d, x, y, f); });
    DrawCharaRow(c, 7, [](cDemoCanvas& d, int32_t x, int32_t y, int32_t f) { DrawSlime(d, x, y, f, RampRed); });
    DrawCharaRow(c, 8, [](cDemoCanvas& d, int32_t x, int32_t y, int32_t f) { DrawSlime(d, x, y, f, RampBlue); });
    DrawCharaRow(c, 9, HeroPainter);
    RecolourRamp(c, 0, 9 * kCell, 640, kCell, RampGreen, RampPurple);   // a second player in purple
    // The other sheets repeat the cast in other colours, so every sheet the table names exists.
    if (nSheet > 1) {
        static const int32_t kTint[8] = {RampGreen, RampPurple, RampTeal, RampRed, RampBrown, RampSky, RampLime, RampYellow};
        RecolourRamp(c, 0, 0, 640, 480, RampGreen, kTint[nSheet - 1]);
    }
    return c;
}

// ---------------------------------------------------------------- blocks

void DrawBlock(cDemoCanvas& c, int32_t x, int32_t y, int32_t n, int32_t frame)
{
    switch (n) {
    case 1: {   // grass on earth
        c.FillRect(x, y, 32, 32, Shade(RampBrown, 6));
        for (int32_t i = 0; i < 6; ++i) c.FillRect(x + (i * 11 + 3) % 29, y + 12 + (i * 7) % 17, 3, 2, Shade(RampBrown, 4));
        c.FillRect(x, y, 32, 8, Shade(RampGreen, 8));
        c.FillRect(x, y, 32, 2, Shade(RampGreen, 11));
        for (int32_t i = 0; i < 8; ++i) c.FillRect(x + i * 4 + 1, y + 8, 2, 2 + (i + frame) % 2 * 2, Shade(RampGreen, 6));
        break;
    }
    case 2:   // earth
        c.FillRect(x, y, 32, 32, Shade(RampBrown, 6));
        for (int32_t i = 0; i < 8; ++i) c.FillRect(x + (i * 13 + 2) % 29, y + (i * 9 + 4) % 29, 3, 2, Shade(RampBrown, 4));
        for (int32_t i = 0; i < 4; ++i) c.Set(x + (i * 7 + 5) % 31, y + (i * 11 + 9) % 31, Shade(RampBrown, 9));
        break;
    case 3: {   // mossy stones: four uneven grey stones with moss creeping down from their tops
        c.FillRect(x, y, 32, 32, Shade(RampGrey, 3));
        struct Stone { int32_t x, y, w, h; };
        static const Stone kStones[4] = {{0, 0, 13, 15}, {14, 0, 18, 15}, {0, 16, 20, 16}, {21, 16, 11, 16}};
        for (const Stone& st : kStones) {
            c.Bevel(x + st.x, y + st.y, st.w, st.h, Shade(RampGrey, 8), Shade(RampGrey, 11), Shade(RampGrey, 5), 1);
            for (int32_t i = 0; i < st.w; ++i) {
                const int32_t len = (i * 7 + st.x * 3 + st.y) % 5 - 1;   // ragged moss edge
                if (len > 0) c.FillRect(x + st.x + i, y + st.y, 1, len, (i + frame) % 3 ? Shade(RampGreen, 7) : Shade(RampLime, 8));
            }
        }
        c.Set(x + 5, y + 23, Shade(RampGrey, 6));
        c.Set(x + 25, y + 7, Shade(RampGrey, 6));
        break;
    }
    case 4:   // grey stone
        c.Bevel(x, y, 32, 32, Shade(RampGrey, 9), Shade(RampGrey, 13), Shade(RampGrey, 5), 3);
        c.Line(x + 8, y + 10, x + 14, y + 16, Shade(RampGrey, 6));
        c.Line(x + 20, y + 20, x + 25, y + 23, Shade(RampGrey, 6));
        break;
    case 5: {   // crystal block: a faceted teal crystal set in a dark stone frame, glinting
        c.Bevel(x, y, 32, 32, Shade(RampGrey, 5), Shade(RampGrey, 8), Shade(RampGrey, 2), 3);
        // An eight-sided gem: each row is a span; the upper facets are lit, the lower in shade,
        // and the left half brighter than the right.
        for (int32_t j = 0; j < 22; ++j) {
            const int32_t half = j < 6 ? 5 + j : (j < 16 ? 11 : 11 - (j - 15) * 2 + 1);
            if (half <= 0) continue;
            const bool upper = j < 6;
            const uint8_t left = upper ? Shade(RampTeal, 12) : Shade(RampTeal, 9);
            const uint8_t right = upper ? Shade(RampTeal, 9) : Shade(RampTeal, 6);
            c.FillRect(x + 16 - half, y + 5 + j, half, 1, left);
            c.FillRect(x + 16, y + 5 + j, half, 1, right);
        }
        c.Line(x + 11, y + 5, x + 8, y + 11, Shade(RampTeal, 14));
        c.Line(x + 20, y + 5, x + 23, y + 11, Shade(RampTeal, 5));
        c.FillRect(x + 5, y + 11, 22, 1, Shade(RampTeal, 14));
        c.Line(x + 16, y + 11, x + 16, y + 26, Shade(RampTeal, 4));
        c.Line(x + 8, y + 21, x + 16, y + 26, Shade(RampTeal, 4));
        c.Line(x + 24, y + 21, x + 16, y + 26, Shade(RampTeal, 4));
        // The glint moves between the two looks.
        const int32_t gx = x + (frame % 2 ? 20 : 10), gy = y + (frame % 2 ? 15 : 8);
        c.FillRect(gx - 2, gy, 5, 1, ColWhite);
        c.FillRect(gx, gy - 2, 1, 5, ColWhite);
        break;
    }
    case 6:   // ice
        c.Bevel(x, y, 32, 32, Shade(RampCyan, 11), Shade(RampCyan, 14), Shade(RampCyan, 7), 2);
        c.Line(x + 6, y + 24, x + 24, y + 6, Shade(RampCyan, 15));
        c.Line(x + 10, y + 26, x + 26, y + 10, Shade(RampCyan, 14));
        break;
    case 7:   // wooden planks
        c.FillRect(x, y, 32, 32, Shade(RampBrown, 8));
        for (int32_t i = 0; i < 4; ++i) {
            c.FillRect(x, y + i * 8 + 7, 32, 1, Shade(RampBrown, 4));
            c.FillRect(x, y + i * 8, 32, 1, Shade(RampBrown, 10));
            c.Set(x + 4 + (i * 9) % 24, y + i * 8 + 3, Shade(RampBrown, 5));
            c.Set(x + 26 - (i * 5) % 20, y + i * 8 + 4, Shade(RampBrown, 5));
        }
        break;
    case 8: case 9: case 10: {   // coloured bevelled blocks
        const int32_t ramp = n == 8 ? RampBlue : (n == 9 ? RampGreen : RampPurple);
        c.Bevel(x, y, 32, 32, Shade(ramp, 7), Shade(ramp, 11), Shade(ramp, 3), 3);
        c.FillRect(x + 8, y + 8, 16, 16, Shade(ramp, 8));
        c.FrameRect(x + 8, y + 8, 16, 16, Shade(ramp, 5));
        c.Set(x + 9, y + 9, Shade(ramp, 13));
        break;
    }
    case 11:   // spikes
        for (int32_t i = 0; i < 4; ++i) {
            for (int32_t k = 0; k < 8; ++k) {
                c.FillRect(x + i * 8 + 4 - k / 2, y + 12 + k * 2, k + 1, 2, k < 2 ? Shade(RampGrey, 14) : Shade(RampGrey, 9));
            }
        }
        c.FillRect(x, y + 28, 32, 4, Shade(RampGrey, 5));
        break;
    case 12:   // cloud platform
        c.FillEllipse(x + 9, y + 12, 8, 7, ColWhite);
        c.FillEllipse(x + 22, y + 11, 9, 8, ColWhite);
        c.FillRect(x + 2, y + 12, 28, 7, ColWhite);
        c.FillRect(x + 3, y + 17, 26, 2, Shade(RampSky, 12));
        Outline(c, x, y, 32, 32, Shade(RampSky, 8));
        break;
    case 13:   // ladder
        c.FillRect(x + 5, y, 3, 32, Shade(RampBrown, 7));
        c.FillRect(x + 24, y, 3, 32, Shade(RampBrown, 7));
        for (int32_t i = 0; i < 4; ++i) c.FillRect(x + 5, y + 4 + i * 8, 22, 2, Shade(RampBrown, 9));
        break;
    case 14:   // water
        c.FillRect(x, y, 32, 32, Shade(RampSky, 7));
        for (int32_t i = 0; i < 4; ++i) {
            const int32_t wx = (i * 9 + frame * 4) % 28;
            c.FillRect(x + wx, y + 4 + i * 8, 5, 1, Shade(RampSky, 12));
        }
        break;
    default:
        break;
    }
}

cDemoCanvas MakeBlockSheet()
{
    cDemoCanvas c(256, 480);
    // Graphic n: column n / 15, row n mod 15; column 1 holds the second look of column 0.
    for (int32_t n = 1; n < 15; ++n) {
        DrawBlock(c, 0, n * kCell, n, 0);
        DrawBlock(c, 32, n * kCell, n, 1);
    }
    // Columns 2.. hold more coloured blocks for larger graphic numbers.
    static const int32_t kRamps[6] = {RampRed, RampOrange, RampYellow, RampTeal, RampCyan, RampGrey};
    for (int32_t col = 2; col < 8; ++col) {
        for (int32_t r = 0; r < 15; ++r) {
            const int32_t ramp = kRamps[(col - 2 + r) % 6];
            c.Bevel(col * kCell, r * kCell, 32, 32, Shade(ramp, 4 + r % 6), Shade(ramp, 12), Shade(ramp, 2), 2 + r % 2);
        }
    }
    return c;
}

// ---------------------------------------------------------------- items, shots, marks

void DrawItem(cDemoCanvas& c, int32_t x, int32_t y, int32_t n, int32_t frame, int32_t size)
{
    // size 32 for the item sheet, 16 for the miniatures; shapes are drawn at that scale.
    const int32_t s = size / 16;
    const int32_t cx = x + size / 2, cy = y + size / 2;
    switch (n) {
    case 1: {   // acorn, rocking from side to side
        const int32_t tilt = frame ? s : 0;
        c.FillEllipse(cx + tilt, cy + 2 * s, 5 * s, 5 * s, Shade(RampBrown, 8));
        c.FillEllipse(cx - 2 * s + tilt, cy + s, s, 2 * s, Shade(RampBrown, 11));
        c.FillEllipse(cx, cy - 2 * s, 6 * s, 3 * s, Shade(RampBrown, 4));
        for (int32_t k = 0; k < 3; ++k) c.FillRect(cx - 4 * s + k * 3 * s, cy - 3 * s, std::max(1, s), std::max(1, s), Shade(RampBrown, 6));
        c.FillRect(cx, cy - 6 * s, std::max(1, s), 2 * s, Shade(RampBrown, 3));
        break;
    }
    case 2:   // heart
        c.FillEllipse(cx - 3 * s, cy - 2 * s, 3 * s, 3 * s, Shade(RampRed, 8 + frame));
        c.FillEllipse(cx + 3 * s, cy - 2 * s, 3 * s, 3 * s, Shade(RampRed, 8 + frame));
        for (int32_t k = 0; k < 7 * s; ++k) c.FillRect(cx - 6 * s + k * 6 / 7, cy - s + k, 12 * s - k * 12 / 7, 1, Shade(RampRed, 8 + frame));
        c.FillRect(cx - 4 * s, cy - 3 * s, s, s, ColWhite);
        break;
    case 3:   // star
        c.FillStar(cx, cy + 0.5 * s, 7.5 * s, 3.2 * s, Shade(RampOrange, 8));
        c.FillStar(cx, cy + 0.5 * s, 6.0 * s, 2.5 * s, Shade(RampYellow, 10 + frame * 2));
        c.FillStar(cx, cy + 0.5 * s, 3.0 * s, 1.3 * s, Shade(RampYellow, 14));   // a bright core, no face
        break;
    case 4:   // gem
        for (int32_t k = 0; k < 4 * s; ++k) c.FillRect(cx - 2 * s - k, cy - 4 * s + k, 4 * s + 2 * k, 1, Shade(RampCyan, 10 + frame * 2));
        for (int32_t k = 0; k < 7 * s; ++k) c.FillRect(cx - 6 * s + k * 6 / 7, cy + k, 12 * s - k * 12 / 7, 1, Shade(RampCyan, 7));
        c.FillRect(cx - 2 * s, cy - 3 * s, s, s, ColWhite);
        break;
    case 5:   // key
        c.FillEllipse(cx - 3 * s, cy, 3 * s, 3 * s, Shade(RampYellow, 8));
        c.FillEllipse(cx - 3 * s, cy, s, s, 0);
        c.FillRect(cx, cy - s / 2, 7 * s, std::max(1, s), Shade(RampYellow, 8));
        c.FillRect(cx + 4 * s, cy, std::max(1, s), 3 * s, Shade(RampYellow, 8));
        c.FillRect(cx + 6 * s, cy, std::max(1, s), 2 * s, Shade(RampYellow, 8));
        break;
    case 6:   // potion
        c.FillEllipse(cx, cy + 2 * s, 5 * s, 5 * s, Shade(RampGrey, 13));
        c.FillEllipse(cx, cy + 3 * s, 4 * s, 3 * s, Shade(RampLime, 8 + frame));
        c.FillRect(cx - s, cy - 6 * s, 2 * s, 4 * s, Shade(RampGrey, 13));
        c.FillRect(cx - s, cy - 7 * s, 2 * s, s, Shade(RampBrown, 6));
        break;
    case 7: {   // extra life: the hero's hooded head
        c.FillEllipse(cx + s, cy, 7 * s, 6 * s, Shade(RampGreen, 6));
        c.FillRect(cx + 5 * s, cy + 2 * s, 2 * s, 4 * s, Shade(RampGreen, 4));
        c.FillEllipse(cx - s, cy + s, 4 * s, 4 * s, ColSkin);
        c.FillRect(cx - 5 * s, cy - 3 * s, 8 * s, std::max(1, s), Shade(RampGreen, 3));
        c.FillRect(cx - 3 * s, cy, std::max(1, s), 2 * s, ColBlack);
        c.FillRect(cx, cy, std::max(1, s), 2 * s, ColBlack);
        c.FillRect(cx - 5 * s, cy + 5 * s, 11 * s, 2 * s, Shade(RampOrange, 8));
        if (frame) c.FillRect(cx - 2 * s, cy - 5 * s, 3 * s, s, ColWhite);
        break;
    }
    case 8:   // fruit
        c.FillEllipse(cx, cy + s, 6 * s, 6 * s, Shade(RampRed, 7));
        c.FillEllipse(cx - 2 * s, cy - s, 2 * s, 2 * s, Shade(RampRed, 11));
        c.FillRect(cx, cy - 7 * s, std::max(1, s), 3 * s, Shade(RampBrown, 5));
        c.FillEllipse(cx + 2 * s, cy - 6 * s, 2 * s, s, Shade(RampGreen, 8 + frame));
        break;
    default:
        break;
    }
    Outline(c, x, y, size, size, Shade(RampGrey, 2));
}

cDemoCanvas MakeItemSheet()
{
    cDemoCanvas c(128, 480);
    for (int32_t n = 1; n < 9; ++n) {
        DrawItem(c, 0, n * kCell, n, 0, 32);
        DrawItem(c, 32, n * kCell, n, 1, 32);
    }
    return c;
}

cDemoCanvas MakeItemMiniSheet()
{
    cDemoCanvas c(64, 240);
    for (int32_t n = 1; n < 9; ++n) DrawItem(c, 0, n * 16, n, 0, 16);
    return c;
}

// Shot graphic g: two 16 x 16 frames side by side; 30 graphics to a column pair.
void DrawShot(cDemoCanvas& c, int32_t x, int32_t y, int32_t g, int32_t frame)
{
    switch (g % 6) {
    case 0:   // energy ball
        c.FillEllipse(x + 8, y + 8, 6 - frame, 6 - frame, Shade(RampSky, 8));
        c.FillEllipse(x + 8, y + 8, 3, 3, Shade(RampSky, 14));
        break;
    case 1:   // fireball, trailing to the right (it flies left)
        c.FillEllipse(x + 10, y + 8, 5, 4, Shade(RampRed, 8));
        c.FillEllipse(x + 6, y + 8, 5, 5, Shade(RampOrange, 9 + frame));
        c.FillEllipse(x + 5, y + 8, 2, 2, Shade(RampYellow, 13));
        break;
    case 2:   // arrow pointing left
        c.FillRect(x + 3, y + 7, 12, 2, Shade(RampBrown, 8));
        for (int32_t k = 0; k < 4; ++k) c.FillRect(x + 1 + k, y + 8 - k, 1, 2 * k + 1, Shade(RampGrey, 12));
        c.FillRect(x + 12, y + 5 + frame, 3, 2, ColWhite);
        c.FillRect(x + 12, y + 9 - frame, 3, 2, ColWhite);
        break;
    case 3:   // star
        c.Line(x + 8, y + 2, x + 8, y + 14, Shade(RampYellow, 11));
        c.Line(x + 2, y + 8, x + 14, y + 8, Shade(RampYellow, 11));
        c.Line(x + 4 + frame, y + 4, x + 12 - frame, y + 12, Shade(RampYellow, 13));
        c.Line(x + 12 - frame, y + 4, x + 4 + frame, y + 12, Shade(RampYellow, 13));
        break;
    case 4:   // green spore
        c.FillEllipse(x + 8, y + 8, 4 + frame, 4 + frame, Shade(RampLime, 8));
        c.FillEllipse(x + 7, y + 7, 1, 1, ColWhite);
        break;
    default:   // purple orb
        c.FillEllipse(x + 8, y + 8, 5, 5, Shade(RampPurple, 7 + frame * 2));
        c.FillEllipse(x + 6, y + 6, 1, 1, ColWhite);
        break;
    }
    Outline(c, x, y, 16, 16, Shade(RampGrey, 2));
}

cDemoCanvas MakeShotSheet()
{
    cDemoCanvas c(128, 480);
    for (int32_t pair = 0; pair < 4; ++pair) {
        for (int32_t r = 0; r < 30; ++r) {
            const int32_t g = pair * 30 + r;
            if (g == 0) continue;   // graphic 0 draws nothing
            DrawShot(c, pair * 32, r * 16, g - 1, 0);
            DrawShot(c, pair * 32 + 16, r * 16, g - 1, 1);
        }
    }
    return c;
}

// The burst a defeated character leaves: four 32 x 32 cells side by side, a star that flares and
// breaks into sparks.
cDemoCanvas MakeBurstEffect()
{
    cDemoCanvas c(128, 32);
    for (int32_t k = 0; k < 4; ++k) {
        const double cx = k * 32 + 15.5, cy = 15.5;
        const double r = 5.0 + 3.5 * k;
        if (k < 3) {
            c.FillStar(cx, cy, r, r * 0.45, Shade(RampOrange, 10));
            c.FillStar(cx, cy, r * 0.7, r * 0.3, Shade(RampYellow, 14));
        }
        // Sparks flying out on eight rays.
        for (int32_t a = 0; a < 8; ++a) {
            const double t = a * 3.14159265358979 / 4;
            const int32_t sx = static_cast<int32_t>(cx + (r + 2) * std::cos(t));
            const int32_t sy = static_cast<int32_t>(cy + (r + 2) * std::sin(t));
            c.FillRect(sx - 1, sy - 1, 2, 2, Shade(RampYellow, k == 3 ? 9 : 14));
        }
    }
    return c;
}

// The hero's sword in three poses of 32 x 16 side by side: raised, swung, thrust. The picture
// for facing left points left; the one for facing right is its mirror image.
cDemoCanvas MakeSwordSheet(bool bFacingRight)
{
    cDemoCanvas c(96, 16);
    for (int32_t k = 0; k < 3; ++k) {
        const int32_t x0 = k * 32;
        const int32_t len = 18 + 4 * k;   // the blade reaches further as it swings
        const int32_t y = 7 - (k == 0 ? 3 : 0);
        c.FillRect(x0 + 32 - len - 1, y, len, 3, Shade(RampGrey, 13));
        c.FillRect(x0 + 32 - len - 1, y, len, 1, Shade(RampGrey, 15));
        c.Set(x0 + 32 - len - 2, y + 1, Shade(RampGrey, 15));   // the point
        c.FillRect(x0 + 27, y - 2, 2, 7, Shade(RampYellow, 11));   // the guard
        c.FillRect(x0 + 29, y, 3, 3, Shade(RampOrange, 6));        // the grip
    }
    if (!bFacingRight) return c;
    cDemoCanvas m(96, 16);
    for (int32_t k = 0; k < 3; ++k)
        for (int32_t y = 0; y < 16; ++y)
            for (int32_t x = 0; x < 32; ++x) m.Set(k * 32 + x, y, c.At(k * 32 + 31 - x, y));
    return m;
}

// The picture a star shows for a moment: "SUPER!" in outlined yellow letters.
cDemoCanvas MakeSuperPicture()
{
    const char* const kText = "SUPER!";
    cDemoCanvas c(160, 48);
    c.OutlinedText((160 - cDemoCanvas::TextWidth(kText, 4)) / 2, 8, kText, 4, Shade(RampYellow, 14), Shade(RampRed, 3));
    return c;
}

cDemoCanvas MakeMarkSheet()
{
    cDemoCanvas c(256, 480);
    static const char* const kMarks = "!?*+x#=%<>";
    for (int32_t m = 1; m < 120; ++m) {
        const int32_t x = (m / 15) * kCell, y = (m % 15) * kCell;
        const int32_t ramp = 1 + m % 11;
        c.FillEllipse(x + 24, y + 7, 6, 6, Shade(ramp, 9));
        c.FillEllipse(x + 24, y + 7, 4, 4, Shade(ramp, 12));
        const char text[2] = {kMarks[m % 10], 0};
        c.Text(x + 22, y + 4, text, 1, Shade(ramp, 2));
        Outline(c, x, y, kCell, kCell, Shade(RampGrey, 2));
    }
    return c;
}

// ---------------------------------------------------------------- screens

void SkyGradient(cDemoCanvas& c, int32_t y0, int32_t y1)
{
    for (int32_t y = y0; y < y1; ++y) c.FillRect(0, y, c.Width(), 1, static_cast<uint8_t>(ColSkyTop + (y - y0) * 16 / std::max(1, y1 - y0)));
}

void Hills(cDemoCanvas& c, int32_t nBase, int32_t nAmplitude, int32_t nPeriod, uint8_t colour)
{
    for (int32_t x = 0; x < c.Width(); ++x) {
        // A triangle wave softened by a second one: rolling hills without floating point.
        const int32_t t = x % nPeriod, tri = t < nPeriod / 2 ? t : nPeriod - t;
        const int32_t t2 = (x + nPeriod / 3) % (nPeriod / 2), tri2 = t2 < nPeriod / 4 ? t2 : nPeriod / 2 - t2;
        const int32_t top = nBase - tri * nAmplitude / (nPeriod / 2) - tri2 * nAmplitude / (nPeriod / 2);
        c.FillRect(x, top, 1, c.Height() - top, colour);
    }
}

void Cloud(cDemoCanvas& c, int32_t x, int32_t y, int32_t w)
{
    c.FillEllipse(x + w / 3, y, w / 4, w / 6, ColWhite);
    c.FillEllipse(x + w * 2 / 3, y - w / 12, w / 4, w / 5, ColWhite);
    c.FillRect(x + w / 8, y, w * 3 / 4, w / 8, ColWhite);
    c.FillRect(x + w / 8, y + w / 8 - 2, w * 3 / 4, 2, Shade(RampSky, 13));
}

cDemoCanvas MakeTitle(const cDemoCanvas& blocks, const cDemoCanvas& charas)
{
    cDemoCanvas c(640, 480);
    SkyGradient(c, 0, 400);
    c.FillEllipse(560, 200, 30, 30, Shade(RampYellow, 12));
    c.FillEllipse(560, 200, 25, 25, Shade(RampYellow, 14));
    Cloud(c, 40, 230, 140);
    Cloud(c, 470, 200, 110);
    Cloud(c, 300, 250, 80);
    Hills(c, 400, 60, 320, Shade(RampGreen, 10));
    Hills(c, 420, 40, 200, Shade(RampGreen, 7));
    // Ground: two rows of grass blocks.
    for (int32_t x = 0; x < 640; x += 32) {
        c.Blit(x, 416, blocks, 0, 1 * kCell, 32, 32, true);
        c.Blit(x, 448, blocks, 0, 2 * kCell, 32, 32, true);
    }
    // A floating ledge of mossy stones with a crystal block in it.
    for (int32_t i = 0; i < 3; ++i) c.Blit(480 + i * 32, 320, blocks, 0, 3 * kCell, 32, 32, true);
    c.Blit(512, 320, blocks, 0, 5 * kCell, 32, 32, true);
    // The hero (twice size) and two enemies.
    for (int32_t j = 0; j < 32; ++j) {
        for (int32_t i = 0; i < 32; ++i) {
            const uint8_t p = charas.At(31 - i + 0, j);   // facing right: read the cell mirrored
            if (p) c.FillRect(56 + i * 3, 320 + j * 3, 3, 3, p);
        }
    }
    c.Blit(560, 384, charas, 32, 2 * kCell, 32, 32, true);
    c.Blit(600, 384, charas, 0, 4 * kCell, 32, 32, true);
    c.Blit(540, 262, charas, 32, 3 * kCell, 32, 32, true);
    // The game's name in big letters with a shadow and an outline.
    const std::string kName = "SAMPLE GAME";
    const int32_t nScale = 8;
    const int32_t x = (640 - cDemoCanvas::TextWidth(kName, nScale)) / 2;
    c.Text(x + 6, 46, kName, nScale, Shade(RampBlue, 2));
    c.OutlinedText(x, 40, kName, nScale, Shade(RampYellow, 10), Shade(RampRed, 3));
    // A lighter upper half of each letter for a little depth.
    for (int32_t y = 40; y < 40 + 3 * nScale; ++y) {
        for (int32_t i = x; i < x + cDemoCanvas::TextWidth(kName, nScale); ++i) {
            if (c.At(i, y) == Shade(RampYellow, 10)) c.Set(i, y, Shade(RampYellow, 13));
        }
    }
    const std::string kSub = "A SMALL ACTION ADVENTURE";
    c.OutlinedText((640 - cDemoCanvas::TextWidth(kSub, 2)) / 2, 120, kSub, 2, ColWhite, Shade(RampBlue, 3));
    return c;
}

// The title menu bands: one 32-pixel band per title choice, readable words on a plate.
cDemoCanvas MakeGameMode()
{
    static const char* const kItems[7] = {"NEW GAME", "CONTINUE", "CHALLENGE", "FREE PLAY", "REPLAY", "OPTIONS", "EXIT"};
    cDemoCanvas c(256, 224);
    for (int32_t i = 0; i < 7; ++i) {
        const int32_t y = i * 32;
        c.Bevel(0, y + 2, 256, 28, Shade(RampBlue, 3), Shade(RampBlue, 7), Shade(RampBlue, 1), 2);
        const std::string text = kItems[i];
        const int32_t x = (256 - cDemoCanvas::TextWidth(text, 3)) / 2;
        c.OutlinedText(x, y + 6, text, 3, ColWhite, Shade(RampBlue, 1));
    }
    return c;
}

cDemoCanvas MakeAccessory(const cDemoCanvas& charas)
{
    cDemoCanvas c(128, 128);
    // (0, 0) and (32, 0): the big menu cursor, a pointing arrow, in two blink shades.
    for (int32_t f = 0; f < 2; ++f) {
        const int32_t x = f * 32;
        const uint8_t fill = f ? Shade(RampYellow, 13) : Shade(RampYellow, 9);
        for (int32_t k = 0; k < 10; ++k) c.FillRect(x + 6 + k, 6 + k, 2, 20 - 2 * k, fill);
        c.FillRect(x + 2, 13, 6, 6, fill);
        Outline(c, x, 0, 32, 32, Shade(RampRed, 3));
    }
    // (64, 0) and (80, 0): small arrows; (96, 0): the "cleared" star.
    for (int32_t f = 0; f < 2; ++f) {
        const int32_t x = 64 + f * 16;
        const uint8_t fill = f ? Shade(RampGrey, 10) : Shade(RampYellow, 11);
        for (int32_t k = 0; k < 6; ++k) c.FillRect(x + 4 + k, 2 + k, 1, 12 - 2 * k, fill);
        Outline(c, x, 0, 16, 16, Shade(RampRed, 3));
    }
    DrawItem(c, 96, 0, 3, 1, 32);
    // (0, 48): the 16 x 16 life icon, the hero at half size.
    HalfSize(c, 0, 48, charas, 0, 0);
    // Map cursors: the hero in small, two blink frames per facing.
    struct Facing { int32_t x, y; bool mirrored; int32_t tint; };
    const Facing kFacings[4] = {{0, 64, false, RampRed}, {64, 64, false, RampOrange}, {64, 96, false, RampRed}, {0, 96, true, RampRed}};
    for (const Facing& f : kFacings) {
        for (int32_t blink = 0; blink < 2; ++blink) {
            const int32_t x = f.x + blink * 32;
            for (int32_t j = 0; j < 32; ++j) {
                for (int32_t i = 0; i < 32; ++i) {
                    const uint8_t p = charas.At(blink * 32 + (f.mirrored ? 31 - i : i), j);
                    if (p) c.Set(x + i, f.y + j, p);
                }
            }
            if (blink) Brighten(c, x, f.y, 32, 32, 3);
        }
    }
    return c;
}

cDemoCanvas MakeWindow()
{
    cDemoCanvas c(640, 480);
    // A dark-to-lighter blue from top to bottom, ordered-dithered between neighbouring shades so
    // that a full-screen box shows no hard bands.
    static const int32_t kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int32_t y = 0; y < 480; ++y) {
        const int32_t v = y * 3 * 16 / 480;   // sixteenths of a shade above the darkest
        for (int32_t x = 0; x < 640; ++x)
            c.Set(x, y, Shade(RampBlue, 1 + v / 16 + (v % 16 > kBayer[y & 3][x & 3] ? 1 : 0)));
    }
    // A faint diagonal weave so large boxes are not flat.
    for (int32_t y = 0; y < 480; y += 4) {
        for (int32_t x = (y / 4) % 2 * 2; x < 640; x += 4) c.Set(x, y, Shade(RampBlue, 4));
    }
    return c;
}

cDemoCanvas MakeStatusWindow(const cDemoCanvas& items, const cDemoCanvas& charas)
{
    cDemoCanvas c(640, 176);
    c.Bevel(0, 0, 640, 20, Shade(RampBlue, 2), Shade(RampBlue, 5), Shade(RampBlue, 1), 1);
    // Icons at y = 32: score (acorn), stage score (star), HP (heart), SP (potion), lives (head).
    const int32_t kIconItems[4] = {1, 3, 2, 6};
    for (int32_t i = 0; i < 4; ++i) DrawItem(c, 16 * i, 32, kIconItems[i], 0, 16);
    HalfSize(c, 64, 32, charas, 0, 0);
    (void)items;
    // (16, 48): the indicator the rankings and the results panel put beside a new entry.
    for (int32_t k = 0; k < 6; ++k) c.FillRect(16 + 4 + k, 48 + 2 + k, 1, 12 - 2 * k, Shade(RampYellow, 11));
    Outline(c, 16, 48, 16, 16, Shade(RampRed, 3));
    // Gauge frames at (0, 128) for HP and (64, 128) for SP, 50 x 16.
    c.FrameRect(0, 128, 50, 16, ColWhite);
    c.FillRect(1, 129, 48, 14, Shade(RampGrey, 2));
    c.FrameRect(64, 128, 50, 16, ColWhite);
    c.FillRect(65, 129, 48, 14, Shade(RampGrey, 2));
    // Gauge fills: normal at y = 144 (HP green, SP blue side by side), low at y = 160.
    for (int32_t y = 0; y < 16; ++y) {
        const int32_t s = y < 8 ? 10 - y / 2 : 7;
        c.FillRect(0, 144 + y, 50, 1, Shade(RampGreen, s));
        c.FillRect(64, 144 + y, 50, 1, Shade(RampSky, s));
        c.FillRect(0, 160 + y, 50, 1, Shade(RampRed, s));
        c.FillRect(64, 160 + y, 50, 1, Shade(RampOrange, s));
    }
    return c;
}

void BigDigits(cDemoCanvas& c, int32_t y, int32_t ramp)
{
    for (int32_t d = 0; d < 10; ++d) {
        const char text[2] = {static_cast<char>('0' + d), 0};
        c.OutlinedText(d * 32 + 9, y + 3, text, 4, Shade(ramp, 11), Shade(ramp, 2));
    }
}

cDemoCanvas MakeWord()
{
    cDemoCanvas c(320, 192);
    c.OutlinedText(8, 6, "PART", 4, Shade(RampYellow, 11), Shade(RampRed, 3));
    c.OutlinedText(4, 38, "REPLAY", 3, Shade(RampSky, 12), Shade(RampBlue, 2));
    c.OutlinedText(162, 10, "START", 2, Shade(RampLime, 12), Shade(RampGreen, 2));
    // The clear banner is the 128 x 32 cell at (0, 64), the game-over banner the 144 x 32 cell
    // at (0, 96): stage play blits them from there.
    c.OutlinedText(34, 74, "CLEAR", 2, Shade(RampYellow, 12), Shade(RampOrange, 2));
    c.OutlinedText(18, 106, "GAME OVER", 2, Shade(RampRed, 11), Shade(RampRed, 2));
    BigDigits(c, 128, RampYellow);
    BigDigits(c, 160, RampSky);
    return c;
}

cDemoCanvas MakeSymbol()
{
    // Letter pictures for a to z: 16 x 16 cells, bold coloured capitals.
    cDemoCanvas c(26 * 16, 16);
    for (int32_t i = 0; i < 26; ++i) {
        const char text[2] = {static_cast<char>('A' + i), 0};
        c.OutlinedText(i * 16 + 3, 1, text, 2, Shade(RampOrange, 10), Shade(RampRed, 2));
    }
    return c;
}

cDemoCanvas MakeDebugGlyphs()
{
    // The printable characters 0x20..0x7F in 8 x 8 cells, 16 to a row.
    cDemoCanvas c(128, 48);
    for (int32_t ch = 0x20; ch < 0x80; ++ch) {
        const int32_t n = ch - 0x20;
        const char text[2] = {static_cast<char>(ch), 0};
        c.Text((n % 16) * 8 + 1, (n / 16) * 8, text, 1, ColWhite);
    }
    return c;
}

void DrawMapChip(cDemoCanvas& c, int32_t x, int32_t y, int32_t n)
{
    switch (n) {
    case 0:   // deep sea
        c.FillRect(x, y, 32, 32, Shade(RampBlue, 6));
        for (int32_t i = 0; i < 3; ++i) c.FillRect(x + 4 + i * 9, y + 6 + i * 9, 6, 1, Shade(RampBlue, 9));
        break;
    case 1:   // mountain
        c.FillRect(x, y, 32, 32, Shade(RampGreen, 9));
        for (int32_t k = 0; k < 24; ++k) c.FillRect(x + 16 - k * 2 / 3, y + 4 + k, k * 4 / 3 + 1, 1, Shade(RampBrown, 7 - (k < 6 ? 0 : 1)));
        for (int32_t k = 0; k < 6; ++k) c.FillRect(x + 16 - k * 2 / 3, y + 4 + k, k * 4 / 3 + 1, 1, ColWhite);
        break;
    case 2:   // forest
        c.FillRect(x, y, 32, 32, Shade(RampGreen, 9));
        for (int32_t t = 0; t < 3; ++t) {
            const int32_t tx = x + 6 + t * 10, ty = y + 8 + (t % 2) * 10;
            c.FillEllipse(tx, ty, 6, 7, Shade(RampGreen, 4));
            c.FillRect(tx - 1, ty + 6, 2, 4, Shade(RampBrown, 5));
        }
        break;
    case 3:   // rocks
        c.FillRect(x, y, 32, 32, Shade(RampGreen, 9));
        c.Bevel(x + 4, y + 10, 14, 12, Shade(RampGrey, 9), Shade(RampGrey, 12), Shade(RampGrey, 5), 1);
        c.Bevel(x + 16, y + 16, 12, 10, Shade(RampGrey, 8), Shade(RampGrey, 11), Shade(RampGrey, 4), 1);
        break;
    case 4:   // shallow water
        c.FillRect(x, y, 32, 32, Shade(RampSky, 8));
        c.FillRect(x + 6, y + 10, 8, 1, Shade(RampSky, 12));
        c.FillRect(x + 18, y + 22, 8, 1, Shade(RampSky, 12));
        break;
    case 5:   // grass
        c.FillRect(x, y, 32, 32, Shade(RampGreen, 9));
        for (int32_t i = 0; i < 5; ++i) c.FillRect(x + (i * 7 + 3) % 29, y + (i * 13 + 5) % 27, 1, 3, Shade(RampGreen, 6));
        break;
    case 6:   // sand
        c.FillRect(x, y, 32, 32, Shade(RampYellow, 12));
        for (int32_t i = 0; i < 6; ++i) c.Set(x + (i * 11 + 2) % 31, y + (i * 7 + 3) % 31, Shade(RampOrange, 9));
        break;
    case 7:   // road
        c.FillRect(x, y, 32, 32, Shade(RampBrown, 10));
        for (int32_t i = 0; i < 6; ++i) c.Set(x + (i * 11 + 4) % 30 + 1, y + (i * 7 + 5) % 30 + 1, Shade(RampBrown, 7));
        for (int32_t i = 0; i < 3; ++i) c.FillRect(x + (i * 13 + 6) % 26, y + (i * 9 + 12) % 26, 2, 1, Shade(RampBrown, 12));
        break;
    case 8:   // bridge
        c.FillRect(x, y, 32, 32, Shade(RampSky, 8));
        for (int32_t i = 0; i < 8; ++i) c.FillRect(x + i * 4, y + 6, 3, 20, Shade(RampBrown, 8));
        c.FillRect(x, y + 6, 32, 1, Shade(RampBrown, 4));
        c.FillRect(x, y + 25, 32, 1, Shade(RampBrown, 4));
        break;
    default:   // flowers
        c.FillRect(x, y, 32, 32, Shade(RampGreen, 9));
        for (int32_t i = 0; i < 5; ++i) c.FillEllipse(x + 4 + (i * 7) % 26, y + 4 + (i * 11) % 24, 2, 2, Shade(1 + i * 2, 10));
        break;
    }
}

cDemoCanvas MakeWorldMapChips()
{
    cDemoCanvas c(160, 64);
    for (int32_t n = 0; n < 10; ++n) DrawMapChip(c, (n % 5) * 32, (n / 5) * 32, n);
    return c;
}

cDemoCanvas MakeWorldEvents()
{
    // Rows of entry icons: column 0 not cleared, column 1 cleared.
    cDemoCanvas c(64, 96);
    for (int32_t cleared = 0; cleared < 2; ++cleared) {
        const int32_t x = cleared * 32;
        // Row 0: a stage flag.
        c.FillRect(x + 8, 4, 2, 24, Shade(RampGrey, 5));
        for (int32_t k = 0; k < 7; ++k) c.FillRect(x + 10, 4 + k, 14 - k * 2, 1, cleared ? Shade(RampYellow, 10) : Shade(RampRed, 8));
        for (int32_t k = 0; k < 7; ++k) c.FillRect(x + 10, 10 + k, 2 + k * 2, 1, cleared ? Shade(RampYellow, 10) : Shade(RampRed, 8));
        c.FillEllipse(x + 9, 28, 6, 2, Shade(RampGreen, 4));
        // Row 1: a castle.
        c.Bevel(x + 6, 44, 20, 16, cleared ? Shade(RampYellow, 9) : Shade(RampGrey, 10), Shade(RampGrey, 13), Shade(RampGrey, 5), 1);
        for (int32_t t = 0; t < 3; ++t) c.FillRect(x + 6 + t * 8, 38, 4, 6, Shade(RampGrey, 10));
        c.FillRect(x + 14, 52, 4, 8, Shade(RampBrown, 3));
        // Row 2: a cave.
        c.FillEllipse(x + 16, 84, 12, 10, Shade(RampBrown, 6));
        c.FillEllipse(x + 16, 88, 6, 6, cleared ? Shade(RampYellow, 8) : ColBlack);
        Outline(c, x, 0, 32, 96, Shade(RampGrey, 2));
    }
    return c;
}

cDemoCanvas MakeWorldBack()
{
    cDemoCanvas c(640, 480);
    for (int32_t y = 0; y < 480; ++y) c.FillRect(0, y, 640, 1, Shade(RampBlue, 4 + (y / 60) % 2));
    for (int32_t i = 0; i < 40; ++i) c.FillRect((i * 149) % 620, (i * 97) % 470, 8, 1, Shade(RampBlue, 8));
    return c;
}

cDemoCanvas MakeStageBackground(int32_t n)
{
    cDemoCanvas c(640, 480);
    SkyGradient(c, 0, 480);
    if (n % 2 == 0) {
        Cloud(c, 60 + n * 20, 120, 150);
        Cloud(c, 380, 80 + n * 10, 120);
        Hills(c, 420, 80, 400, Shade(RampGreen, 10));
    } else {
        Hills(c, 380, 120, 260, Shade(RampTeal, 9));
        Hills(c, 440, 60, 180, Shade(RampGreen, 8));
    }
    return c;
}

cDemoCanvas MakePaletteImage()
{
    // Rows 0..7 carry the transparent colour (the top-left pixel decides it); the palette is the
    // 16 x 16 block below, entry n at column n mod 16 and row 8 + n / 16.
    cDemoCanvas c(16, 24, 0);
    for (int32_t n = 0; n < 256; ++n) c.Set(n % 16, 8 + n / 16, static_cast<uint8_t>(n));
    return c;
}

struct Named {
    const char* path;
    cDemoCanvas canvas;
};

}   // namespace

const std::vector<DemoBitmapFile>& DemoBitmapFiles()
{
    static const std::vector<DemoBitmapFile> files = {
        {"bmp\\plt\\Palette.bmp", 16, 24},   {"bmp\\Debug.bmp", 128, 48},
        {"bmp\\Block.bmp", 256, 480},         {"bmp\\Character1.bmp", 640, 480},
        {"bmp\\Character2.bmp", 640, 480},    {"bmp\\Character3.bmp", 640, 480},
        {"bmp\\Character4.bmp", 640, 480},    {"bmp\\Character5.bmp", 640, 480},
        {"bmp\\Character6.bmp", 640, 480},    {"bmp\\Character7.bmp", 640, 480},
        {"bmp\\Character8.bmp", 640, 480},    {"bmp\\Shot.bmp", 128, 480},
        {"bmp\\Burst.bmp", 128, 32},      {"bmp\\SwordL.bmp", 96, 16},
        {"bmp\\SwordR.bmp", 96, 16},     {"bmp\\Super.bmp", 160, 48},
        {"bmp\\Item.bmp", 128, 480},          {"bmp\\Item_Mini.bmp", 64, 240},
        {"bmp\\Mark.bmp", 256, 480},          {"bmp\\Window.bmp", 640, 480},
        {"bmp\\StatusWindow.bmp", 640, 176},  {"bmp\\Title.bmp", 640, 480},
        {"bmp\\GameMode.bmp", 256, 224},      {"bmp\\Accessory.bmp", 128, 128},
        {"bmp\\Symbol.bmp", 416, 16},         {"bmp\\Word.bmp", 320, 192},
        {"bmp\\WorldMapChip.bmp", 160, 64},   {"bmp\\WorldEvent.bmp", 64, 96},
        {"bmp\\WorldBack.bmp", 640, 480},     {"背景その1.bmp", 640, 480},
        {"背景その2.bmp", 640, 480},          {"背景その3.bmp", 640, 480},
        {"背景その4.bmp", 640, 480},          {"背景その5.bmp", 640, 480},
        {"背景その6.bmp", 640, 480},          {"背景その7.bmp", 640, 480},
        {"背景その8.bmp", 640, 480},          {"bmp\\back\\Sky.bmp", 640, 480},
        {"bmp\\back\\Hills.bmp", 640, 480},
    };
    return files;
}

bool WriteDemoBitmaps(std::string* failed)
{
    const cDemoCanvas blocks = MakeBlockSheet();
    const cDemoCanvas charas = MakeCharacterSheet(1);
    const cDemoCanvas items = MakeItemSheet();
    std::vector<Named> pictures;
    pictures.push_back({"bmp\\plt\\Palette.bmp", MakePaletteImage()});
    pictures.push_back({"bmp\\Debug.bmp", MakeDebugGlyphs()});
    pictures.push_back({"bmp\\Block.bmp", blocks});
    pictures.push_back({"bmp\\Character1.bmp", charas});
    static const char* const kCharaFiles[7] = {"bmp\\Character2.bmp", "bmp\\Character3.bmp", "bmp\\Character4.bmp", "bmp\\Character5.bmp",
                                               "bmp\\Character6.bmp", "bmp\\Character7.bmp", "bmp\\Character8.bmp"};
    for (int32_t k = 0; k < 7; ++k) pictures.push_back({kCharaFiles[k], MakeCharacterSheet(k + 2)});
    pictures.push_back({"bmp\\Shot.bmp", MakeShotSheet()});
    pictures.push_back({"bmp\\Burst.bmp", MakeBurstEffect()});
    pictures.push_back({"bmp\\SwordL.bmp", MakeSwordSheet(false)});
    pictures.push_back({"bmp\\SwordR.bmp", MakeSwordSheet(true)});
    pictures.push_back({"bmp\\Super.bmp", MakeSuperPicture()});
    pictures.push_back({"bmp\\Item.bmp", items});
    pictures.push_back({"bmp\\Item_Mini.bmp", MakeItemMiniSheet()});
    pictures.push_back({"bmp\\Mark.bmp", MakeMarkSheet()});
    pictures.push_back({"bmp\\Window.bmp", MakeWindow()});
    pictures.push_back({"bmp\\StatusWindow.bmp", MakeStatusWindow(items, charas)});
    pictures.push_back({"bmp\\Title.bmp", MakeTitle(blocks, charas)});
    pictures.push_back({"bmp\\GameMode.bmp", MakeGameMode()});
    pictures.push_back({"bmp\\Accessory.bmp", MakeAccessory(charas)});
    pictures.push_back({"bmp\\Symbol.bmp", MakeSymbol()});
    pictures.push_back({"bmp\\Word.bmp", MakeWord()});
    pictures.push_back({"bmp\\WorldMapChip.bmp", MakeWorldMapChips()});
    pictures.push_back({"bmp\\WorldEvent.bmp", MakeWorldEvents()});
    pictures.push_back({"bmp\\WorldBack.bmp", MakeWorldBack()});
    static const char* const kBackFiles[8] = {"背景その1.bmp", "背景その2.bmp", "背景その3.bmp", "背景その4.bmp",
                                              "背景その5.bmp", "背景その6.bmp", "背景その7.bmp", "背景その8.bmp"};
    for (int32_t k = 0; k < 8; ++k) pictures.push_back({kBackFiles[k], MakeStageBackground(k)});
    pictures.push_back({"bmp\\back\\Sky.bmp", MakeStageBackground(0)});
    pictures.push_back({"bmp\\back\\Hills.bmp", MakeStageBackground(1)});
    for (const Named& n : pictures) {
        if (!n.canvas.SaveBitmap(n.path)) {
            if (failed) *failed = n.path;
            return false;
        }
    }
    return true;
}

bool WriteDemoBlendTables(std::string* failed)
{
    std::vector<uint8_t> table(65536);
    for (int32_t p = 0; p < 24; ++p) {
        BuildBlendTable(DemoPaletteForPattern(p), table.data());
        char path[64];
        std::snprintf(path, sizeof path, "bmp\\hbt\\hbt%02d.dat", p);
        if (!WriteProjectFile(path, table)) {
            if (failed) *failed = path;
            return false;
        }
    }
    return true;
}
