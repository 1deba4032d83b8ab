// Pictures written as PNG files, for the sim's screenshots.
#pragma once

#include <string>

#include "paint/image.h"

namespace mazeblast {

// Writes `image` to `path` as an 8-bit RGB PNG; false, with the reason, where it cannot.
bool writePng(const Image& image, const std::string& path, std::string* error);

}  // namespace mazeblast
