#include "core/firmware/KeySearch.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUELNET_KEY_SEARCH_X86 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace quelnet {

namespace {

// An executable holds the key's first byte every few hundred bytes, so
// candidates are picked 64 positions at a time by the key's first and last
// byte together, and only those are compared whole. The search runs at the
// speed at which the file's pages come in: a wider step (AVX2, where the
// processor has it) saves about a sixth of it on a large file.
struct Search {
    const char* s;
    const char* key;
    qint64 k;

    bool Matches(qint64 at) const { return std::memcmp(s + at, key, size_t(k)) == 0; }

    // The first match among the positions p + bit of a candidate mask.
    qint64 FirstIn(qint64 p, quint64 mask) const {
        for (; mask != 0; mask &= mask - 1) {
            const qint64 at = p + std::countr_zero(mask);
            if (Matches(at))
                return at;
        }
        return -1;
    }

    qint64 Scalar(qint64 p, qint64 to) const {
        for (; p < to; ++p)
            if (s[p] == key[0] && Matches(p))
                return p;
        return -1;
    }

#ifdef QUELNET_KEY_SEARCH_X86
    // Positions p..p+15 whose byte is the key's first and whose byte k-1
    // further on is its last.
    __attribute__((target("sse2"))) quint64 Candidates16(qint64 p, __m128i first, __m128i last) const {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p + k - 1));
        return quint64(
            unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last)))));
    }

    __attribute__((target("sse2"))) qint64 Sse2(qint64& p, qint64 to) const {
        const __m128i first = _mm_set1_epi8(key[0]), last = _mm_set1_epi8(key[k - 1]);
        for (; p + 64 <= to; p += 64) {
            const quint64 mask = Candidates16(p, first, last) | Candidates16(p + 16, first, last) << 16 |
                                 Candidates16(p + 32, first, last) << 32 |
                                 Candidates16(p + 48, first, last) << 48;
            if (mask != 0)
                if (const qint64 at = FirstIn(p, mask); at >= 0)
                    return at;
        }
        return -1;
    }

    __attribute__((target("avx2"))) quint64 Candidates32(qint64 p, __m256i first, __m256i last) const {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + p));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + p + k - 1));
        return quint64(unsigned(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, last)))));
    }

    __attribute__((target("avx2"))) qint64 Avx2(qint64& p, qint64 to) const {
        const __m256i first = _mm256_set1_epi8(key[0]), last = _mm256_set1_epi8(key[k - 1]);
        for (; p + 64 <= to; p += 64) {
            const quint64 mask = Candidates32(p, first, last) | Candidates32(p + 32, first, last) << 32;
            if (mask != 0)
                if (const qint64 at = FirstIn(p, mask); at >= 0)
                    return at;
        }
        return -1;
    }
#endif
};

#ifdef QUELNET_KEY_SEARCH_X86
// AVX2 in the processor and its registers saved by the system; asked once,
// of the processor itself (no start-up detection of every feature).
bool HasAvx2() {
    static const bool has = [] {
        unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
        if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & bit_OSXSAVE) || !(ecx & bit_AVX))
            return false;
        unsigned xcr0 = 0, xcr0High = 0;
        __asm__("xgetbv" : "=a"(xcr0), "=d"(xcr0High) : "c"(0));
        if ((xcr0 & 0x6) != 0x6) // SSE and AVX state
            return false;
        return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & bit_AVX2);
    }();
    return has;
}
#endif

} // namespace

qint64 FindKey(QByteArrayView data, qint64 from, qint64 to, QByteArrayView key, bool widest) {
    const qint64 k = key.size();
    if (k <= 0)
        return -1;
    to = std::min(to, data.size() - k + 1);
    const Search search{data.data(), key.data(), k};
    qint64 p = std::max<qint64>(from, 0);
#ifdef QUELNET_KEY_SEARCH_X86
    // Each wide step looks at positions p..p+63 and reads up to p+63+k-1,
    // which lies within the data as long as p + 64 <= to.
    const qint64 found = widest && HasAvx2() ? search.Avx2(p, to) : search.Sse2(p, to);
    if (found >= 0)
        return found;
#else
    Q_UNUSED(widest);
#endif
    return search.Scalar(p, to);
}

} // namespace quelnet
