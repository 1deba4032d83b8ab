// Unpacking a raw deflate stream (RFC 1951), as links made before replays were packed carry
// the recording's text: a piece at a time, each no longer than asked, through a window of
// its own, so that a stream made to unpack to gigabytes costs no more memory than a short
// one and stops wherever its reader does.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mazeblast {

class Inflater {
 public:
  enum Status { More, Done, Bad };

  explicit Inflater(const std::vector<std::uint8_t>& packed) : in_(packed) {}

  // Appends to `out` at most `most` more bytes of what the stream unpacks to, or only counts
  // them where `out` is null: More while some is left, Done at its end, Bad where it is no
  // deflate stream or is cut off.
  Status run(std::string* out, std::size_t most);
  // How many bytes it has unpacked so far.
  std::size_t unpacked() const { return written_; }

 private:
  struct Huffman {
    std::array<std::uint16_t, 16> count{};    // codes of each length
    std::array<std::uint16_t, 320> symbol{};  // in the order of their codes
  };
  int bits(int n);
  int decode(const Huffman& h);
  bool build(Huffman& h, const std::uint8_t* lengths, int n);
  bool header();
  bool tables();
  void put(std::string* out, std::uint8_t byte);

  const std::vector<std::uint8_t>& in_;
  std::size_t at_ = 0;
  std::uint32_t held_ = 0;  // bits read and not yet used
  int heldBits_ = 0;
  bool overrun_ = false;
  enum Block { Header, Stored, Coded, Over } block_ = Header;
  bool last_ = false;
  std::size_t storedLeft_ = 0;
  int copyLeft_ = 0, copyDistance_ = 0;  // a match not yet written whole
  Huffman lengths_, distances_;
  std::array<std::uint8_t, 32768> window_{};
  std::size_t written_ = 0;
};

}  // namespace mazeblast
