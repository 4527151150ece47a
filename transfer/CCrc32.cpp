#include "CCrc32.h"

#include <zlib.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Below this the set-up of the folding costs more than it saves.
constexpr size_t kMinFoldBytes = 256;

#if defined(__x86_64__)

#define PIXVEL_FOLDING __attribute__((target("pclmul,sse4.1")))

PIXVEL_FOLDING inline __m128i Load(const unsigned char* at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// Multiplies the two halves of `x` by the two constants of `k` and adds them
// to `next`.
PIXVEL_FOLDING inline __m128i FoldLane(__m128i x, __m128i k, __m128i next)
{
    const __m128i low = _mm_clmulepi64_si128(x, k, 0x00);
    const __m128i high = _mm_clmulepi64_si128(x, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

// Folds the bytes into 128 bits four lanes at a time, then reduces to the
// 32-bit remainder (Barrett reduction); the constants are the powers of x
// modulo the reflected polynomial 0xEDB88320 that the folding distances
// need. `size` is at least 64 and a multiple of 16; `state` is the inverted
// CRC, as the table method keeps it.
PIXVEL_FOLDING uint32_t Fold(const unsigned char* data, size_t size, uint32_t state)
{
    alignas(16) static const uint64_t k1k2[] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const uint64_t k3k4[] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const uint64_t k5k0[] = {0x0163cd6124, 0x0000000000};
    alignas(16) static const uint64_t poly[] = {0x01db710641, 0x01f7011641};
    __m128i x1 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(int(state)));
    __m128i x2 = Load(data + 16);
    __m128i x3 = Load(data + 32);
    __m128i x4 = Load(data + 48);
    data += 64;
    size -= 64;
    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(k1k2));
    for (; size >= 64; data += 64, size -= 64) {
        x1 = FoldLane(x1, k, Load(data));
        x2 = FoldLane(x2, k, Load(data + 16));
        x3 = FoldLane(x3, k, Load(data + 32));
        x4 = FoldLane(x4, k, Load(data + 48));
    }
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(k3k4));
    x1 = FoldLane(x1, k, x2);
    x1 = FoldLane(x1, k, x3);
    x1 = FoldLane(x1, k, x4);
    for (; size >= 16; data += 16, size -= 16) {
        x1 = FoldLane(x1, k, Load(data));
    }

    // 128 bits to 64.
    const __m128i mask = _mm_setr_epi32(~0, 0, ~0, 0);
    x2 = _mm_clmulepi64_si128(x1, k, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x00), x2);

    // Barrett reduction to 32 bits.
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(poly));
    x2 = _mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x10);
    x2 = _mm_clmulepi64_si128(_mm_and_si128(x2, mask), k, 0x00);
    return uint32_t(_mm_extract_epi32(_mm_xor_si128(x1, x2), 1));
}

bool CanFold()
{
    static const bool can = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return can;
}

#endif

} // namespace

uint32_t CCrc32::Update(uint32_t crc, const void* data, size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
#if defined(__x86_64__)
    if (size >= kMinFoldBytes && CanFold()) {
        const size_t folded = size & ~size_t(15);
        crc = ~Fold(bytes, folded, ~crc);
        bytes += folded;
        size -= folded;
    }
#endif
    return uint32_t(crc32_z(crc, bytes, size));
}
