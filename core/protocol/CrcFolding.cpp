#include "core/protocol/CrcFolding.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUELNET_CRC_FOLDING 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace quelnet::crcfold {

#ifdef QUELNET_CRC_FOLDING

namespace {

// Folding constants of the reflected polynomial 0xEDB88320: x^(4*128+32),
// x^(4*128-32) mod P (64-byte rounds), x^(128+32), x^(128-32) mod P (16-byte
// rounds), x^64 mod P (last 32 bits) and the Barrett pair (P', mu).
constexpr long long K1 = 0x0154442bd4, K2 = 0x01c6e41596;
constexpr long long K3 = 0x01751997d0, K4 = 0x00ccaa009e;
constexpr long long K5 = 0x0163cd6124;
constexpr long long Poly = 0x01db710641, Mu = 0x01f7011641;

__attribute__((target("pclmul,sse2"))) inline __m128i FoldInto(__m128i acc, __m128i k, __m128i next) {
    const __m128i lo = _mm_clmulepi64_si128(acc, k, 0x00);
    const __m128i hi = _mm_clmulepi64_si128(acc, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(lo, hi), next);
}

__attribute__((target("pclmul,sse2"))) inline __m128i Load(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

} // namespace

// Asked of the processor itself on first use, in one instruction: the
// compiler's feature check would run its whole detection at every program's
// start, and each of its many questions is a trap to the host in a virtual
// machine.
bool Available() {
    static const bool available = [] {
        unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
        return __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (ecx & bit_PCLMUL) != 0 &&
               (edx & bit_SSE2) != 0;
    }();
    return available;
}

__attribute__((target("pclmul,sse2"))) std::uint32_t Fold(std::uint32_t crc, const unsigned char* p,
                                                          std::uint32_t length) {
    __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(int(crc)));
    __m128i x2 = Load(p + 16), x3 = Load(p + 32), x4 = Load(p + 48);
    p += 64;
    length -= 64;
    const __m128i k12 = _mm_set_epi64x(K2, K1);
    for (; length >= 64; length -= 64, p += 64) {
        x1 = FoldInto(x1, k12, Load(p));
        x2 = FoldInto(x2, k12, Load(p + 16));
        x3 = FoldInto(x3, k12, Load(p + 32));
        x4 = FoldInto(x4, k12, Load(p + 48));
    }
    const __m128i k34 = _mm_set_epi64x(K4, K3);
    x1 = FoldInto(x1, k34, x2);
    x1 = FoldInto(x1, k34, x3);
    x1 = FoldInto(x1, k34, x4);
    for (; length >= 16; length -= 16, p += 16)
        x1 = FoldInto(x1, k34, Load(p));

    // 128 -> 64 bits (appending 32 zero bits), then 64 -> 32 bits.
    const __m128i mask32 = _mm_set_epi32(0, 0, 0, -1);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(k34, x1, 0x01), _mm_srli_si128(x1, 8));
    const __m128i upper = _mm_srli_si128(x1, 4);
    x1 = _mm_clmulepi64_si128(_mm_and_si128(x1, mask32), _mm_set_epi64x(0, K5), 0x00);
    x1 = _mm_xor_si128(x1, upper);
    // Barrett reduction of the reflected 64-bit remainder.
    const __m128i pmu = _mm_set_epi64x(Mu, Poly);
    const __m128i r = x1;
    x1 = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask32), pmu, 0x10), mask32);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(x1, pmu, 0x00), r);
    return std::uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(x1, 4)));
}

#else

bool Available() {
    return false;
}

std::uint32_t Fold(std::uint32_t crc, const unsigned char*, std::uint32_t) {
    return crc;
}

#endif

} // namespace quelnet::crcfold
