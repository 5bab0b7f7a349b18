#pragma once
// Builders for crafted WAV byte strings.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace wav_bytes {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void put32(Bytes& b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A chunk with its declared size, the body, and the pad byte after an odd body.
inline Bytes chunk(const char* id, const Bytes& body, bool pad = true)
{
    Bytes b(id, id + 4);
    put32(b, static_cast<std::uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (pad && body.size() % 2 == 1)
        b.push_back(0);
    return b;
}

// A chunk header that declares `declared` bytes, followed by `body`.
inline Bytes chunkDeclaring(const char* id, std::uint32_t declared, const Bytes& body)
{
    Bytes b(id, id + 4);
    put32(b, declared);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

inline Bytes formatBody(std::uint32_t tag, std::uint32_t channels, std::uint32_t rate, std::uint32_t bits,
                        std::uint32_t blockAlign)
{
    Bytes b;
    put16(b, tag);
    put16(b, channels);
    put32(b, rate);
    put32(b, rate * blockAlign);
    put16(b, blockAlign);
    put16(b, bits);
    return b;
}

inline Bytes pcmFormat(std::uint32_t channels, std::uint32_t rate, std::uint32_t bits = 16)
{
    return formatBody(1, channels, rate, bits, channels * bits / 8);
}

inline Bytes extensibleFormat(std::uint32_t channels, std::uint32_t rate, std::uint32_t subTag = 1,
                              std::uint32_t bits = 16, std::uint32_t validBits = 16, std::uint8_t guidLast = 0x71)
{
    Bytes b = formatBody(0xFFFE, channels, rate, bits, channels * bits / 8);
    put16(b, 22);
    put16(b, validBits);
    put32(b, channels == 2 ? 3 : 4);
    put16(b, subTag);
    const std::uint8_t tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                   0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, guidLast};
    b.insert(b.end(), tail, tail + 14);
    return b;
}

inline Bytes samples(std::initializer_list<int> values)
{
    Bytes b;
    for (int v : values)
        put16(b, static_cast<std::uint16_t>(v));
    return b;
}

inline Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes b;
    for (const Bytes& p : parts)
        b.insert(b.end(), p.begin(), p.end());
    return b;
}

// RIFF/WAVE around the given chunks, with a correct RIFF size.
inline Bytes riff(std::initializer_list<Bytes> chunks)
{
    const Bytes body = concat(chunks);
    Bytes b{'R', 'I', 'F', 'F'};
    put32(b, static_cast<std::uint32_t>(body.size() + 4));
    b.insert(b.end(), {'W', 'A', 'V', 'E'});
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

inline Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

}  // namespace wav_bytes
