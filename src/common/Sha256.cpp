#include "common/Sha256.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define KITEBAR_SHA_EXTENSIONS 1
#endif

namespace kitebar {
namespace {

constexpr std::array<std::uint32_t, 64> kRoundConstants{
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::array<std::uint32_t, 8> kInitialState{
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

using State = Sha256::State;
using Compression = void (*)(State& state, const std::uint8_t* block);

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr std::size_t kBlockBytes = 64;
// The length field that ends the padding.
constexpr std::size_t kLengthBytes = 8;

std::uint32_t BigEndianWord(const std::uint8_t* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

void CompressPortably(State& state, const std::uint8_t* block) {
  std::array<std::uint32_t, 64> w{};
  for (std::size_t i = 0; i < 16; ++i)
    w[i] = BigEndianWord(block + 4 * i);
  for (std::size_t i = 16; i < 64; ++i) {
    const std::uint32_t s0 = std::rotr(w[i - 15], 7) ^ std::rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
    const std::uint32_t s1 = std::rotr(w[i - 2], 17) ^ std::rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
    w[i] = w[i - 16] + s0 + w[i - 7] + s1;
  }
  auto [a, b, c, d, e, f, g, h] = state;
  for (std::size_t i = 0; i < 64; ++i) {
    const std::uint32_t s1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
    const std::uint32_t choice = (e & f) ^ (~e & g);
    const std::uint32_t t1 = h + s1 + choice + kRoundConstants[i] + w[i];
    const std::uint32_t s0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
    const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
    h = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + s0 + majority;
  }
  const std::array<std::uint32_t, 8> added{a, b, c, d, e, f, g, h};
  for (std::size_t i = 0; i < state.size(); ++i)
    state[i] += added[i];
}

#ifdef KITEBAR_SHA_EXTENSIONS
// The same with the processor's SHA extensions: four rounds per pair of
// instructions, the state kept as ABEF and CDGH.
__attribute__((target("sha,sse4.1"))) void CompressWithExtensions(State& state,
                                                                  const std::uint8_t* block) {
  const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
  const __m128i dcba =
      _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0])), 0xB1);
  const __m128i hgfe =
      _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4])), 0x1B);
  __m128i abef = _mm_alignr_epi8(dcba, hgfe, 8);
  __m128i cdgh = _mm_blend_epi16(hgfe, dcba, 0xF0);
  const __m128i abefBefore = abef;
  const __m128i cdghBefore = cdgh;
  // A plain array: std::array would drop the vector type's alignment.
  __m128i words[16];
  for (std::size_t group = 0; group < 16; ++group) {
    if (group < 4) {
      words[group] = _mm_shuffle_epi8(
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * group)), byteSwap);
    } else {
      const __m128i partial =
          _mm_add_epi32(_mm_sha256msg1_epu32(words[group - 4], words[group - 3]),
                        _mm_alignr_epi8(words[group - 1], words[group - 2], 4));
      words[group] = _mm_sha256msg2_epu32(partial, words[group - 1]);
    }
    __m128i message = _mm_add_epi32(
        words[group],
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(&kRoundConstants[4 * group])));
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
    message = _mm_shuffle_epi32(message, 0x0E);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, message);
  }
  abef = _mm_add_epi32(abef, abefBefore);
  cdgh = _mm_add_epi32(cdgh, cdghBefore);
  const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), _mm_alignr_epi8(dchg, feba, 8));
}
#endif

#ifdef KITEBAR_SHA_EXTENSIONS
// Asked of the processor itself: not every compiler knows the feature's name.
bool HasShaExtensions() {
  constexpr unsigned kSse41 = 1u << 19;  // leaf 1, ECX
  constexpr unsigned kSha = 1u << 29;    // leaf 7, EBX
  unsigned eax = 0;
  unsigned ebx = 0;
  unsigned ecx = 0;
  unsigned edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0 || (ecx & kSse41) == 0)
    return false;
  return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) != 0 && (ebx & kSha) != 0;
}
#endif

Compression ChooseCompression() {
#ifdef KITEBAR_SHA_EXTENSIONS
  if (HasShaExtensions())
    return &CompressWithExtensions;
#endif
  return &CompressPortably;
}

// The fastest compression this processor has, chosen once.
Compression FastestCompression() {
  static const Compression fastest = ChooseCompression();
  return fastest;
}

}  // namespace

Sha256::Sha256(Engine engine)
    : compress_(engine == Engine::kPortable ? &CompressPortably : FastestCompression()),
      state_(kInitialState) {}

void Sha256::Update(std::string_view bytes) {
  totalBytes_ += bytes.size();
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  std::size_t left = bytes.size();
  if (blockLength_ > 0) {
    const std::size_t taken = std::min(left, kBlockBytes - blockLength_);
    std::memcpy(block_.data() + blockLength_, data, taken);
    blockLength_ += taken;
    data += taken;
    left -= taken;
    if (blockLength_ < kBlockBytes)
      return;
    compress_(state_, block_.data());
    blockLength_ = 0;
  }
  for (; left >= kBlockBytes; data += kBlockBytes, left -= kBlockBytes)
    compress_(state_, data);
  std::memcpy(block_.data(), data, left);
  blockLength_ = left;
}

Sha256::Digest Sha256::Finish() {
  const std::uint64_t totalBits = totalBytes_ * 8;
  block_[blockLength_++] = 0x80;
  if (blockLength_ > kBlockBytes - kLengthBytes) {
    std::memset(block_.data() + blockLength_, 0, kBlockBytes - blockLength_);
    compress_(state_, block_.data());
    blockLength_ = 0;
  }
  std::memset(block_.data() + blockLength_, 0, kBlockBytes - kLengthBytes - blockLength_);
  for (std::size_t i = 0; i < kLengthBytes; ++i)
    block_[kBlockBytes - 1 - i] = static_cast<std::uint8_t>(totalBits >> (8 * i));
  compress_(state_, block_.data());
  Digest digest{};
  for (std::size_t i = 0; i < state_.size(); ++i) {
    for (std::size_t k = 0; k < 4; ++k)
      digest[4 * i + k] = static_cast<std::uint8_t>(state_[i] >> (24 - 8 * k));
  }
  return digest;
}

std::string HexOf(const Sha256::Digest& digest) {
  std::string hex;
  hex.reserve(2 * Sha256::kDigestBytes);
  for (const std::uint8_t byte : digest) {
    hex += kHexDigits[byte >> 4];
    hex += kHexDigits[byte & 0x0F];
  }
  return hex;
}

bool MatchesHex(const Sha256::Digest& digest, std::string_view hex) {
  if (hex.size() != 2 * Sha256::kDigestBytes)
    return false;
  for (std::size_t i = 0; i < Sha256::kDigestBytes; ++i) {
    if (hex[2 * i] != kHexDigits[digest[i] >> 4] || hex[2 * i + 1] != kHexDigits[digest[i] & 0x0F])
      return false;
  }
  return true;
}

std::string Sha256Hex(std::string_view bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return HexOf(hash.Finish());
}

}  // namespace kitebar
