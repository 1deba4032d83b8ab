// The CRC-32 of zlib and PNG, that a packed link and a saved game end with.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mazeblast {

std::uint32_t crc32(const std::uint8_t* bytes, std::size_t size);

}  // namespace mazeblast
