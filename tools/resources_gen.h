#pragma once
// The built-in resources, each drawn or synthesised from nothing but code and
// fixed seeds, so that regenerating them gives the committed bytes again.
#include <cstdint>
#include <vector>

#include "stream/little_endian.h"
#include "tools/gen_math.h"

// 480 x 320: the figure on pure blue (0x0000FF).
Canvas drawFigure();
// 196 x 100: the hand on white (0xFFFFFF); the palm's centre at column 80,
// 49 rows from the top (50 from the bottom).
Canvas drawHand();

// Slap number which (0, 1, 2) as sampleCount 16-bit mono samples at 44,100 Hz.
std::vector<int16_t> synthesizeSlap(int which, int32_t sampleCount);
// A whole PCM WAV file: 44-byte header, then the samples.
std::vector<uint8_t> wavFile(const std::vector<int16_t>& samples);

// The icon file: first the 32 x 32 image in 16 colours, then 32 bits with
// alpha at each of these sizes, then 256 x 256 as PNG; every image but the
// PNG with its AND mask.
constexpr int32_t kAppIconAlphaSizes[] = {16, 20, 24, 32, 40, 48, 64};
std::vector<uint8_t> appIconFile();
// The page's icons, as PNG files: the drawing at size x size with alpha, and
// a maskable one, opaque, the drawing on kMaskableGround within the middle
// that every launcher's mask keeps.
constexpr uint32_t kMaskableGround = 0x000080;
std::vector<uint8_t> webIconFile(int32_t size);
std::vector<uint8_t> maskableIconFile(int32_t size);
// A PNG file of RGBA pixels given top-down as 0xAARRGGBB (straight alpha).
std::vector<uint8_t> pngFile(int32_t width, int32_t height, const std::vector<uint32_t>& argb);
// 32 x 32 monochrome, every pixel transparent, hot spot (0, 0).
std::vector<uint8_t> nullCursorFile();
