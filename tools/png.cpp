#include "tools/png.h"

// The PNG writer is compiled in here and private to it.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace mazeblast {

namespace {

void collect(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<unsigned char>*>(context);
  const auto* bytes = static_cast<const unsigned char*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

bool writePng(const Image& image, const std::string& path, std::string* error) {
  std::vector<unsigned char> rgb(static_cast<std::size_t>(image.width) * image.height * 3);
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    const std::uint32_t p = image.pixels[i];
    rgb[i * 3] = static_cast<unsigned char>(p >> 16);
    rgb[i * 3 + 1] = static_cast<unsigned char>(p >> 8);
    rgb[i * 3 + 2] = static_cast<unsigned char>(p);
  }
  std::vector<unsigned char> png;
  if (!stbi_write_png_to_func(collect, &png, image.width, image.height, 3, rgb.data(),
                              image.width * 3)) {
    *error = "cannot make a PNG of " + path;
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  if (std::fclose(file) == 0 && written) return true;
  *error = "cannot write " + path + ": the disk took only part of it";
  return false;
}

}  // namespace mazeblast
