#include "wav_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

#include "platform_io.h"

namespace {

constexpr std::uint16_t FORMAT_PCM = 0x0001;
constexpr std::uint16_t FORMAT_EXTENSIBLE = 0xFFFE;
constexpr std::size_t PLAIN_FORMAT_BYTES = 16;
constexpr std::size_t EXTENSIBLE_FORMAT_BYTES = 40;
constexpr std::uint32_t HEADER_BYTES = 44;

// The bytes of the sub-format GUID after its first two (the format tag).
constexpr std::uint8_t GUID_TAIL[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void putLe16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putLe32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    putLe16(out, v & 0xFFFF);
    putLe16(out, v >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

// Random-access input, so that the parser can check declared sizes against
// the real size before it allocates anything.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads exactly `count` bytes at `offset`; on failure returns the reason.
    virtual std::string read(std::uint64_t offset, void* destination, std::size_t count) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const std::uint8_t* bytes, std::size_t size) : bytes(bytes), length(size) {}
    std::uint64_t size() const override { return length; }
    std::string read(std::uint64_t offset, void* destination, std::size_t count) override
    {
        if (offset > length || count > length - offset)
            return "read past the end";
        if (count > 0)
            std::memcpy(destination, bytes + offset, count);
        return {};
    }

private:
    const std::uint8_t* bytes;
    std::size_t length;
};

class FileSource : public ByteSource {
public:
    FileSource(std::FILE* file, std::uint64_t size) : file(file), length(size) {}
    std::uint64_t size() const override { return length; }
    std::string read(std::uint64_t offset, void* destination, std::size_t count) override
    {
        errno = 0;
        if (!seekFile(file, offset))
            return std::strerror(errno != 0 ? errno : EIO);
        if (std::fread(destination, 1, count, file) != count) {
            if (std::ferror(file) && errno != 0)
                return std::strerror(errno);
            return "the file ended early";
        }
        return {};
    }

private:
    std::FILE* file;
    std::uint64_t length;
};

struct FormatInfo {
    int channels = 0;
    int sampleRate = 0;
    int blockAlign = 0;
};

std::string formatName(std::uint16_t tag)
{
    switch (tag) {
    case 0x0002: return "Microsoft ADPCM";
    case 0x0003: return "IEEE float";
    case 0x0006: return "A-law";
    case 0x0007: return "mu-law";
    case 0x0011: return "IMA ADPCM";
    case 0x0055: return "MPEG layer 3";
    default: break;
    }
    char text[32];
    std::snprintf(text, sizeof text, "format tag 0x%04X", tag);
    return text;
}

// Checks a format chunk body of `size` bytes (at least 16, of which the
// first min(size, 40) are in `body`).
std::string parseFormat(const std::uint8_t* body, std::uint32_t size, FormatInfo& info)
{
    std::uint16_t tag = le16(body);
    const int channels = le16(body + 2);
    const std::uint32_t rate = le32(body + 4);
    const int blockAlign = le16(body + 12);
    const int bits = le16(body + 14);

    if (tag == FORMAT_EXTENSIBLE) {
        if (size < EXTENSIBLE_FORMAT_BYTES || le16(body + 16) < EXTENSIBLE_FORMAT_BYTES - 18)
            return "extensible format chunk too short (" + std::to_string(size) + " bytes)";
        const int validBits = le16(body + 18);
        if (std::memcmp(body + 26, GUID_TAIL, sizeof GUID_TAIL) != 0)
            return "unsupported sample format: extensible with an unknown sub-format";
        tag = le16(body + 24);
        if (tag == FORMAT_PCM && validBits > bits)
            return "inconsistent format chunk: " + std::to_string(validBits) + " valid bits in " +
                   std::to_string(bits) + "-bit samples";
    }
    if (tag != FORMAT_PCM)
        return "unsupported sample format: " + formatName(tag) + " (only 16-bit PCM is supported)";
    if (bits != 16)
        return "unsupported sample width: " + std::to_string(bits) + " bits (only 16-bit PCM is supported)";
    if (channels != 1 && channels != 2)
        return "unsupported channel count: " + std::to_string(channels) + " (only 1 or 2)";
    if (rate < static_cast<std::uint32_t>(WAV_MIN_RATE) || rate > static_cast<std::uint32_t>(WAV_MAX_RATE))
        return "unsupported sample rate: " + std::to_string(rate) + " Hz (" + std::to_string(WAV_MIN_RATE) +
               " to " + std::to_string(WAV_MAX_RATE) + ")";
    if (blockAlign != channels * 2)
        return "inconsistent format chunk: block align " + std::to_string(blockAlign) + " for " +
               std::to_string(channels) + " channel(s) of 16 bits";
    info.channels = channels;
    info.sampleRate = static_cast<int>(rate);
    info.blockAlign = blockAlign;
    return {};
}

std::string chunkName(const std::uint8_t* id)
{
    std::string name;
    for (int i = 0; i < 4; ++i)
        name += (id[i] >= 0x20 && id[i] < 0x7F) ? static_cast<char>(id[i]) : '?';
    return "'" + name + "'";
}

WavReadResult fail(std::string message)
{
    WavReadResult result;
    result.error = std::move(message);
    return result;
}

WavReadResult readWav(ByteSource& source)
{
    const std::uint64_t size = source.size();
    std::uint8_t header[12];
    if (size < sizeof header) {
        // A short file that starts like a RIFF header was cut off; anything
        // else was never a WAV file.
        std::uint8_t start[4] = {};
        const std::size_t have = static_cast<std::size_t>(std::min<std::uint64_t>(size, 4));
        std::string error = source.read(0, start, have);
        if (!error.empty())
            return fail("cannot read: " + error);
        if (have > 0 && std::memcmp(start, "RIFF", have) == 0)
            return fail("truncated RIFF header (" + std::to_string(size) + " bytes)");
        return fail("not a RIFF/WAVE file");
    }
    std::string error = source.read(0, header, sizeof header);
    if (!error.empty())
        return fail("cannot read: " + error);
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        return fail("not a RIFF/WAVE file");

    // The RIFF size is often wrong in files written by streaming recorders,
    // so chunks are walked to the real end of the file instead.
    FormatInfo format;
    bool haveFormat = false;
    bool haveData = false;
    std::uint64_t dataOffset = 0;
    std::uint32_t dataBytes = 0;
    std::uint64_t position = sizeof header;
    while (!(haveFormat && haveData) && size - position >= 8) {
        std::uint8_t chunk[8];
        error = source.read(position, chunk, sizeof chunk);
        if (!error.empty())
            return fail("cannot read: " + error);
        const std::uint32_t chunkBytes = le32(chunk + 4);
        const std::uint64_t body = position + 8;
        const std::uint64_t available = size - body;
        const bool isFormat = std::memcmp(chunk, "fmt ", 4) == 0;
        const bool isData = std::memcmp(chunk, "data", 4) == 0;

        if (chunkBytes > available) {
            if (isData)
                return fail("truncated data chunk: it declares " + std::to_string(chunkBytes) +
                            " bytes but only " + std::to_string(available) + " follow");
            if (isFormat && !haveFormat)
                return fail("truncated format chunk");
            if (!haveData)
                return fail("truncated file: the " + chunkName(chunk) + " chunk runs past the end");
            break;  // A damaged chunk after the samples costs nothing.
        }
        if (isFormat && !haveFormat) {
            if (chunkBytes < PLAIN_FORMAT_BYTES)
                return fail("format chunk too short (" + std::to_string(chunkBytes) + " bytes)");
            std::uint8_t fields[EXTENSIBLE_FORMAT_BYTES] = {};
            error = source.read(body, fields, std::min<std::size_t>(chunkBytes, sizeof fields));
            if (!error.empty())
                return fail("cannot read: " + error);
            error = parseFormat(fields, chunkBytes, format);
            if (!error.empty())
                return fail(error);
            haveFormat = true;
        } else if (isData && !haveData) {
            dataOffset = body;
            dataBytes = chunkBytes;
            haveData = true;
        }
        // Chunks of odd size are followed by one pad byte.
        position = body + chunkBytes + (chunkBytes & 1u);
        if (position > size)
            position = size;
    }
    if (!haveFormat)
        return fail("no format chunk");
    if (!haveData)
        return fail("no data chunk");

    const std::uint32_t frames = dataBytes / static_cast<std::uint32_t>(format.blockAlign);
    const std::uint64_t sampleCount = static_cast<std::uint64_t>(frames) * format.channels;
    WavReadResult result;
    result.audio.channels = format.channels;
    result.audio.sampleRate = format.sampleRate;
    try {
        if (sampleCount > result.audio.samples.max_size())
            throw std::bad_alloc();
        std::vector<std::int16_t>& samples = result.audio.samples;
        samples.resize(static_cast<std::size_t>(sampleCount));
        // Read the raw bytes straight into the samples, then put each one in
        // host order in place.
        std::uint8_t* raw = reinterpret_cast<std::uint8_t*>(samples.data());
        error = source.read(dataOffset, raw, samples.size() * 2);
        if (!error.empty())
            return fail("cannot read: " + error);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int16_t>(le16(raw + 2 * i));
    } catch (const std::exception&) {
        return fail("not enough memory for " + std::to_string(frames) + " frames");
    }
    return result;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

WavReadResult parseWav(const std::uint8_t* bytes, std::size_t size)
{
    MemorySource source(bytes, size);
    return readWav(source);
}

WavReadResult readWavFile(const std::string& path)
{
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return fail(std::string("cannot open: ") + std::strerror(errno != 0 ? errno : ENOENT));
    std::uint64_t size = 0;
    errno = 0;
    if (!fileSize(file.get(), size))
        return fail(std::string("cannot read: ") + std::strerror(errno != 0 ? errno : EIO));
    FileSource source(file.get(), size);
    return readWav(source);
}

std::string wavWriteError(const WavAudio& audio)
{
    if (audio.channels < 1 || audio.channels > 0xFFFF)
        return "cannot write " + std::to_string(audio.channels) + " channels";
    if (audio.sampleRate < 1)
        return "cannot write a sample rate of " + std::to_string(audio.sampleRate) + " Hz";
    if (audio.samples.size() % static_cast<std::size_t>(audio.channels) != 0)
        return "the samples do not make whole frames";
    const std::uint64_t dataBytes = static_cast<std::uint64_t>(audio.samples.size()) * 2;
    if (dataBytes > 0xFFFFFFFFull - (HEADER_BYTES - 8))
        return "too much audio for a WAV file";
    const std::uint64_t byteRate = static_cast<std::uint64_t>(audio.sampleRate) * audio.channels * 2;
    if (byteRate > 0xFFFFFFFFull || audio.channels * 2 > 0xFFFF)
        return "the format does not fit a WAV header";
    return {};
}

std::vector<std::uint8_t> encodeWavHeader(const WavAudio& audio)
{
    const std::uint32_t channels = static_cast<std::uint32_t>(audio.channels);
    const std::uint32_t rate = static_cast<std::uint32_t>(audio.sampleRate);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(audio.samples.size() * 2);
    std::vector<std::uint8_t> header;
    header.reserve(HEADER_BYTES);
    putTag(header, "RIFF");
    putLe32(header, HEADER_BYTES - 8 + dataBytes);
    putTag(header, "WAVE");
    putTag(header, "fmt ");
    putLe32(header, PLAIN_FORMAT_BYTES);
    putLe16(header, FORMAT_PCM);
    putLe16(header, channels);
    putLe32(header, rate);
    putLe32(header, rate * channels * 2);
    putLe16(header, channels * 2);
    putLe16(header, 16);
    putTag(header, "data");
    putLe32(header, dataBytes);
    return header;
}

std::string writeWavFile(const std::string& path, const WavAudio& audio)
{
    std::string error = wavWriteError(audio);
    if (!error.empty())
        return error;
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return std::string("cannot create: ") + std::strerror(errno != 0 ? errno : EACCES);

    const std::vector<std::uint8_t> header = encodeWavHeader(audio);
    bool written = std::fwrite(header.data(), 1, header.size(), file.get()) == header.size();

    // Little-endian bytes whatever the host order, a slice at a time.
    constexpr std::size_t SLICE_SAMPLES = 16384;
    std::vector<std::uint8_t> slice;
    slice.reserve(SLICE_SAMPLES * 2);
    for (std::size_t start = 0; written && start < audio.samples.size(); start += SLICE_SAMPLES) {
        const std::size_t end = std::min(audio.samples.size(), start + SLICE_SAMPLES);
        slice.clear();
        for (std::size_t i = start; i < end; ++i)
            putLe16(slice, static_cast<std::uint16_t>(audio.samples[i]));
        written = std::fwrite(slice.data(), 1, slice.size(), file.get()) == slice.size();
    }
    if (!written)
        return std::string("cannot write: ") + std::strerror(errno != 0 ? errno : EIO);
    errno = 0;
    if (std::fclose(file.release()) != 0)
        return std::string("cannot write: ") + std::strerror(errno != 0 ? errno : EIO);
    return {};
}
