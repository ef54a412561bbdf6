#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kitebar {

// SHA-256 (FIPS 180-4), fed in pieces. The prediction record chains its lines
// with it, so that a line edited, removed or moved shows.
class Sha256 {
 public:
  static constexpr std::size_t kDigestBytes = 32;
  using Digest = std::array<std::uint8_t, kDigestBytes>;
  using State = std::array<std::uint32_t, 8>;
  // The processor's SHA extensions where it has them (several times faster),
  // or the portable code alone; both give the same digests.
  enum class Engine { kFastest, kPortable };

  explicit Sha256(Engine engine = Engine::kFastest);
  void Update(std::string_view bytes);
  // The digest of everything fed; the object is then spent.
  Digest Finish();

 private:
  void (*compress_)(State& state, const std::uint8_t* block);
  State state_;
  std::array<std::uint8_t, 64> block_{};
  std::size_t blockLength_ = 0;
  std::uint64_t totalBytes_ = 0;
};

// A digest as 64 lower-case hexadecimal digits, and whether `hex` is that.
std::string HexOf(const Sha256::Digest& digest);
bool MatchesHex(const Sha256::Digest& digest, std::string_view hex);

// The digest of `bytes` as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace kitebar
