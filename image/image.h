#pragma once
// Everything a user of the image library needs.
#include "image/dib32_image.h"
#include "image/image_interfaces.h"
#include "image/pixel_words.h"
#include "image/smooth_scale.h"
#include "stream/stream.h"
