#pragma once
// What the first bytes of a dropped file already tell: a platform that has
// to copy a file before the logic can read it (the page) copies only what
// the picture needs, and nothing of a file that cannot be one.
#include <cstdint>

// The bytes a picture file begins with: its file header and info header.
constexpr int32_t kPictureFileHeadSize = 54;

// The number of leading bytes of a file of fileSize bytes that decide how it
// loads, from its first headSize bytes: the headers and the pixel rows, at
// least kMinimumPictureFileSize. Loading that many gives what loading the
// whole file gives. 0 when the head alone rules out a 480 x 320 picture.
int64_t pictureFilePrefix(const uint8_t* head, int32_t headSize, int64_t fileSize);
