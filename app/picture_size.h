#pragma once
// The sizes the application's pictures come in: the picture, the hand drawn
// over it, and the smallest file a picture can be.
#include <cstdint>

constexpr int32_t kPictureWidth = 480;
constexpr int32_t kPictureHeight = 320;
constexpr int32_t kHandWidth = 196;
constexpr int32_t kHandHeight = 100;
// A 480 x 320 24-bit BMP: the smallest file a dropped picture can be.
constexpr int32_t kMinimumPictureFileSize = 460854;
