#include "wav_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "wav_bytes.h"

using namespace wav_bytes;

namespace {

struct GoodCase {
    const char* name;
    Bytes file;
    int channels;
    int rate;
    std::vector<std::int16_t> samples;
};

std::vector<GoodCase> goodCases()
{
    const Bytes mono = pcmFormat(1, 44100);
    const Bytes abc = samples({1, -2, 3});
    return {
        {"plain_mono", riff({chunk("fmt ", mono), chunk("data", abc)}), 1, 44100, {1, -2, 3}},
        {"stereo_8000", riff({chunk("fmt ", pcmFormat(2, 8000)), chunk("data", samples({5, 6, -7, -8}))}), 2, 8000,
         {5, 6, -7, -8}},
        {"rate_96000", riff({chunk("fmt ", pcmFormat(1, 96000)), chunk("data", abc)}), 1, 96000, {1, -2, 3}},
        {"extreme_values", riff({chunk("fmt ", mono), chunk("data", samples({-32768, 32767, -1, 0}))}), 1, 44100,
         {-32768, 32767, -1, 0}},
        {"extensible_pcm", riff({chunk("fmt ", extensibleFormat(2, 48000)), chunk("data", samples({1, 2}))}), 2,
         48000, {1, 2}},
        {"format_with_extra_bytes", riff({chunk("fmt ", concat({mono, samples({0})})), chunk("data", abc)}), 1, 44100,
         {1, -2, 3}},
        {"odd_chunk_before_format",
         riff({chunk("LIST", text("abcde")), chunk("fmt ", mono), chunk("data", abc)}), 1, 44100, {1, -2, 3}},
        {"odd_chunk_between", riff({chunk("fmt ", mono), chunk("junk", text("xyz")), chunk("data", abc)}), 1, 44100,
         {1, -2, 3}},
        {"chunk_after_data", riff({chunk("fmt ", mono), chunk("data", abc), chunk("LIST", text("info!"))}), 1, 44100,
         {1, -2, 3}},
        {"data_before_format", riff({chunk("data", abc), chunk("fmt ", mono)}), 1, 44100, {1, -2, 3}},
        {"empty_data", riff({chunk("fmt ", mono), chunk("data", {})}), 1, 44100, {}},
        {"partial_frame_dropped_mono", riff({chunk("fmt ", mono), chunk("data", concat({abc, Bytes{9}}))}), 1, 44100,
         {1, -2, 3}},
        {"partial_frame_dropped_stereo",
         riff({chunk("fmt ", pcmFormat(2, 44100)), chunk("data", samples({1, 2, 3}))}), 2, 44100, {1, 2}},
        {"odd_data_without_pad_at_end", riff({chunk("fmt ", mono), chunk("data", concat({abc, Bytes{9}}), false)}), 1,
         44100, {1, -2, 3}},
        {"trailing_bytes_after_chunks", concat({riff({chunk("fmt ", mono), chunk("data", abc)}), Bytes{1, 2, 3}}), 1,
         44100, {1, -2, 3}},
        {"damaged_chunk_after_data",
         riff({chunk("fmt ", mono), chunk("data", abc), chunkDeclaring("LIST", 1000, text("ab"))}), 1, 44100,
         {1, -2, 3}},
    };
}

struct BadCase {
    const char* name;
    Bytes file;
    const char* error;
};

Bytes withRiffSize(Bytes file, std::uint32_t size)
{
    file[4] = static_cast<std::uint8_t>(size);
    file[5] = static_cast<std::uint8_t>(size >> 8);
    file[6] = static_cast<std::uint8_t>(size >> 16);
    file[7] = static_cast<std::uint8_t>(size >> 24);
    return file;
}

std::vector<BadCase> badCases()
{
    const Bytes mono = pcmFormat(1, 44100);
    const Bytes abc = samples({1, -2, 3});
    return {
        {"empty", {}, "not a RIFF/WAVE file"},
        {"text", text("hello, this is not a sound file"), "not a RIFF/WAVE file"},
        {"riff_avi", concat({text("RIFF"), Bytes{4, 0, 0, 0}, text("AVI ")}), "not a RIFF/WAVE file"},
        {"cut_in_riff_header", text("RIFF\x10\0"), "truncated RIFF header"},
        {"no_chunks", riff({}), "no format chunk"},
        {"no_format", riff({chunk("data", abc)}), "no format chunk"},
        {"no_data", riff({chunk("fmt ", mono), chunk("LIST", text("ab"))}), "no data chunk"},
        {"data_past_end", riff({chunk("fmt ", mono), chunkDeclaring("data", 8, abc)}),
         "truncated data chunk: it declares 8 bytes but only 6 follow"},
        {"data_size_unknown", riff({chunk("fmt ", mono), chunkDeclaring("data", 0xFFFFFFFF, abc)}),
         "truncated data chunk"},
        {"format_past_end", riff({chunkDeclaring("fmt ", 16, Bytes(mono.begin(), mono.begin() + 10))}),
         "truncated format chunk"},
        {"chunk_past_end_before_data", riff({chunk("fmt ", mono), chunkDeclaring("LIST", 100, text("ab"))}),
         "truncated file: the 'LIST' chunk runs past the end"},
        {"format_too_short", riff({chunk("fmt ", Bytes(mono.begin(), mono.begin() + 14)), chunk("data", abc)}),
         "format chunk too short (14 bytes)"},
        {"float", riff({chunk("fmt ", formatBody(3, 1, 44100, 32, 4)), chunk("data", abc)}),
         "unsupported sample format: IEEE float"},
        {"mu_law", riff({chunk("fmt ", formatBody(7, 1, 8000, 8, 1)), chunk("data", abc)}),
         "unsupported sample format: mu-law"},
        {"unknown_tag", riff({chunk("fmt ", formatBody(0x1234, 1, 8000, 16, 2)), chunk("data", abc)}),
         "unsupported sample format: format tag 0x1234"},
        {"eight_bit", riff({chunk("fmt ", pcmFormat(1, 44100, 8)), chunk("data", abc)}),
         "unsupported sample width: 8 bits"},
        {"twenty_four_bit", riff({chunk("fmt ", pcmFormat(1, 44100, 24)), chunk("data", abc)}),
         "unsupported sample width: 24 bits"},
        {"three_channels", riff({chunk("fmt ", pcmFormat(3, 44100)), chunk("data", abc)}),
         "unsupported channel count: 3"},
        {"no_channels", riff({chunk("fmt ", formatBody(1, 0, 44100, 16, 2)), chunk("data", abc)}),
         "unsupported channel count: 0"},
        {"rate_too_low", riff({chunk("fmt ", pcmFormat(1, 7999)), chunk("data", abc)}),
         "unsupported sample rate: 7999 Hz"},
        {"rate_too_high", riff({chunk("fmt ", pcmFormat(2, 96001)), chunk("data", abc)}),
         "unsupported sample rate: 96001 Hz"},
        {"wrong_block_align", riff({chunk("fmt ", formatBody(1, 1, 44100, 16, 4)), chunk("data", abc)}),
         "inconsistent format chunk: block align 4"},
        {"extensible_float", riff({chunk("fmt ", extensibleFormat(1, 44100, 3, 32, 32)), chunk("data", abc)}),
         "unsupported sample format: IEEE float"},
        {"extensible_unknown_guid",
         riff({chunk("fmt ", extensibleFormat(1, 44100, 1, 16, 16, 0x72)), chunk("data", abc)}),
         "extensible with an unknown sub-format"},
        {"extensible_24_bit", riff({chunk("fmt ", extensibleFormat(2, 44100, 1, 24, 24)), chunk("data", abc)}),
         "unsupported sample width: 24 bits"},
        {"extensible_too_many_valid_bits",
         riff({chunk("fmt ", extensibleFormat(1, 44100, 1, 16, 20)), chunk("data", abc)}),
         "inconsistent format chunk: 20 valid bits"},
        {"extensible_too_short", riff({chunk("fmt ", formatBody(0xFFFE, 1, 44100, 16, 2)), chunk("data", abc)}),
         "extensible format chunk too short (16 bytes)"},
    };
}

TEST(WavParse, AcceptsGoodFiles)
{
    for (const GoodCase& c : goodCases()) {
        SCOPED_TRACE(c.name);
        const WavReadResult r = parseWav(c.file.data(), c.file.size());
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.audio.channels, c.channels);
        EXPECT_EQ(r.audio.sampleRate, c.rate);
        EXPECT_EQ(r.audio.samples, c.samples);
    }
}

TEST(WavParse, IgnoresAWrongRiffSize)
{
    const Bytes good = riff({chunk("fmt ", pcmFormat(1, 44100)), chunk("data", samples({4, 5}))});
    for (std::uint32_t size : {0u, 4u, 0xFFFFFFFFu}) {
        const Bytes file = withRiffSize(good, size);
        const WavReadResult r = parseWav(file.data(), file.size());
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.audio.samples, (std::vector<std::int16_t>{4, 5}));
    }
}

TEST(WavParse, RefusesBadFilesNamingTheProblem)
{
    for (const BadCase& c : badCases()) {
        SCOPED_TRACE(c.name);
        const WavReadResult r = parseWav(c.file.data(), c.file.size());
        ASSERT_FALSE(r.ok());
        EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
        EXPECT_EQ(r.error.find('\n'), std::string::npos);
        EXPECT_TRUE(r.audio.samples.empty());
    }
}

TEST(WavParse, RefusesEveryCutOfAGoodFile)
{
    // Cutting a file anywhere inside its chunks must never be read as success.
    const Bytes file = riff({chunk("LIST", text("abc")), chunk("fmt ", pcmFormat(2, 22050)),
                             chunk("data", samples({1, 2, 3, 4, 5, 6}))});
    for (std::size_t size = 0; size < file.size(); ++size) {
        SCOPED_TRACE(size);
        const WavReadResult r = parseWav(file.data(), size);
        EXPECT_FALSE(r.ok());
    }
}

TEST(WavHeader, IsCanonicalPcm)
{
    WavAudio audio;
    audio.channels = 2;
    audio.sampleRate = 48000;
    audio.samples = {1, 2, 3, 4, 5, 6};
    const Bytes expected = concat({text("RIFF"), Bytes{36 + 12, 0, 0, 0}, text("WAVE"), text("fmt "),
                                   Bytes{16, 0, 0, 0, 1, 0, 2, 0, 0x80, 0xBB, 0, 0, 0x00, 0xEE, 0x02, 0, 4, 0, 16, 0},
                                   text("data"), Bytes{12, 0, 0, 0}});
    EXPECT_EQ(encodeWavHeader(audio), expected);
}

TEST(WavHeader, RefusesAudioItCannotDescribe)
{
    WavAudio audio;
    audio.channels = 2;
    audio.samples = {1, 2, 3};
    EXPECT_NE(wavWriteError(audio), "");
    audio.channels = 0;
    audio.samples.clear();
    EXPECT_NE(wavWriteError(audio), "");
    audio.channels = 1;
    audio.sampleRate = 0;
    EXPECT_NE(wavWriteError(audio), "");
}

class WavFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/wav_file_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        for (const std::string& f : created)
            std::remove(f.c_str());
        rmdir(dir.c_str());
    }
    std::string path(const std::string& name)
    {
        created.push_back(dir + "/" + name);
        return created.back();
    }
    static Bytes readBytes(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string dir;
    std::vector<std::string> created;
};

TEST_F(WavFiles, WritesLittleEndianSamplesAfterTheHeader)
{
    WavAudio audio;
    audio.channels = 1;
    audio.sampleRate = 8000;
    audio.samples = {0x0102, -2, 32767, -32768};
    const std::string p = path("out.wav");
    ASSERT_EQ(writeWavFile(p, audio), "");
    const Bytes expected = concat({encodeWavHeader(audio), Bytes{0x02, 0x01, 0xFE, 0xFF, 0xFF, 0x7F, 0x00, 0x80}});
    EXPECT_EQ(readBytes(p), expected);

    const WavReadResult back = readWavFile(p);
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_EQ(back.audio.samples, audio.samples);
    EXPECT_EQ(back.audio.sampleRate, 8000);
}

TEST_F(WavFiles, RoundTripsZeroFramesAndLongStereo)
{
    WavAudio empty;
    empty.channels = 2;
    empty.sampleRate = 96000;
    WavAudio longer = empty;
    for (int i = 0; i < 100000; ++i)
        longer.samples.push_back(static_cast<std::int16_t>(i * 7919));
    for (const WavAudio* audio : {&empty, &longer}) {
        const std::string p = path("round" + std::to_string(audio->samples.size()) + ".wav");
        ASSERT_EQ(writeWavFile(p, *audio), "");
        const WavReadResult back = readWavFile(p);
        ASSERT_TRUE(back.ok()) << back.error;
        EXPECT_EQ(back.audio.channels, 2);
        EXPECT_EQ(back.audio.sampleRate, 96000);
        EXPECT_EQ(back.audio.samples, audio->samples);
    }
    EXPECT_EQ(readBytes(dir + "/round0.wav").size(), 44u);
}

TEST_F(WavFiles, ReadsAFileWithTheSameRulesAsMemory)
{
    const Bytes cut = riff({chunk("fmt ", pcmFormat(1, 44100)), chunkDeclaring("data", 100, samples({1}))});
    const std::string p = path("cut.wav");
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(cut.data()),
                                             static_cast<std::streamsize>(cut.size()));
    const WavReadResult r = readWavFile(p);
    EXPECT_NE(r.error.find("truncated data chunk"), std::string::npos) << r.error;
}

TEST_F(WavFiles, ReportsFilesThatCannotBeOpenedOrCreated)
{
    const WavReadResult missing = readWavFile(dir + "/missing.wav");
    EXPECT_NE(missing.error.find("cannot open"), std::string::npos) << missing.error;
    EXPECT_FALSE(readWavFile(dir).ok());

    WavAudio audio;
    EXPECT_NE(writeWavFile(dir + "/no/such/folder.wav", audio).find("cannot create"), std::string::npos);
}

}  // namespace
