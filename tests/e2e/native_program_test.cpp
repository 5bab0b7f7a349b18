// The native program played through end to end: a voice clip as its
// microphone, a WAV file as its speaker, the fast sound clock, and a
// recording started and stopped by scripted clicks on the record button.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "command_run.h"
#include "engine/pitch_engine.h"
#include "wav_file.h"

namespace {

namespace fs = std::filesystem;

constexpr int BLOCK_FRAMES = 512;
constexpr int BLOCK_BYTES = 1024;

struct ProgramRun {
    int exitCode = -1;
    bool timedOut = false;
    std::string errors;
};

// Runs the program with the given environment additions; stderr goes to a file.
ProgramRun runProgram(const std::vector<std::string>& environment, const std::string& argument, const fs::path& dir)
{
    const fs::path errors = dir / "stderr.txt";
    const pid_t child = fork();
    if (child == 0) {
        for (const std::string& entry : environment)
            putenv(strdup(entry.c_str()));
        std::freopen(errors.c_str(), "w", stderr);
        execl(ZIMBALO_PROGRAM, ZIMBALO_PROGRAM, argument.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ProgramRun run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            run.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    run.errors = fileBytes(errors);
    return run;
}

std::uint32_t le32(const std::string& bytes, size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

unsigned le16(const std::string& bytes, size_t at)
{
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

// What the program must play: each input block (the clip, then silence)
// through one engine call, the frames it wrote followed by silence.
std::vector<std::int16_t> expectedPlayback(const std::vector<std::int16_t>& clip, int semitones, size_t blocks)
{
    PitchEngine engine;
    engine.setChannels(1);
    engine.setSampleRate(44100);
    engine.setOutputBlockBytes(BLOCK_BYTES);
    engine.setPitchSemitones(semitones);
    std::vector<std::int16_t> played(blocks * BLOCK_FRAMES, 0);
    std::vector<std::int16_t> in(BLOCK_FRAMES);
    for (size_t k = 0; k < blocks; ++k) {
        for (size_t i = 0; i < BLOCK_FRAMES; ++i) {
            const size_t at = k * BLOCK_FRAMES + i;
            in[i] = at < clip.size() ? clip[at] : 0;
        }
        engine.process(played.data() + k * BLOCK_FRAMES, in.data(), BLOCK_FRAMES);
    }
    return played;
}

double measuredRatio(const fs::path& input, const fs::path& output)
{
    const std::string command = std::string(ZIMBALO_MEASURE) + " pitch '" + input.string() + "' '" +
                                output.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return 0;
    char line[256] = {};
    double ratio = 0;
    while (std::fgets(line, sizeof line, pipe))
        std::sscanf(line, "ratio %lf", &ratio);
    pclose(pipe);
    return ratio;
}

class NativeProgram : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zimbalo-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directories(dir / "home" / "Desktop");
        const WavReadResult clip = readWavFile(ZIMBALO_VOICE_CLIP);
        ASSERT_TRUE(clip.ok()) << clip.error;
        voice = clip.audio.samples;
        ASSERT_EQ(clip.audio.channels, 1);
        ASSERT_EQ(clip.audio.sampleRate, 44100);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    fs::path dir;
    std::vector<std::int16_t> voice;
};

TEST_P(NativeProgram, PlaysTheClipShiftedAndRecordsWhatItPlays)
{
    const int semitones = GetParam();
    const fs::path speaker = dir / "speaker.wav";
    const ProgramRun run = runProgram({"HOME=" + (dir / "home").string(), "XDG_CONFIG_HOME=" + (dir / "config").string(),
                                std::string("ZIMBALO_WAVE_IN=") + ZIMBALO_VOICE_CLIP,
                                "ZIMBALO_WAVE_OUT=" + speaker.string(), "ZIMBALO_WAVE_CLOCK=fast",
                                "ZIMBALO_CLICKS=100:Record,400:Stop"},
                               std::to_string(semitones), dir);
    // It ends by itself through the drain, cleanly and without any message box.
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors, "");

    const WavReadResult played = readWavFile(speaker.string());
    ASSERT_TRUE(played.ok()) << played.error;
    const std::vector<std::int16_t>& out = played.audio.samples;
    ASSERT_EQ(out.size() % BLOCK_FRAMES, 0u) << "whole blocks only";
    EXPECT_GE(out.size(), voice.size());
    EXPECT_LE(out.size(), voice.size() + 2 * 44100);

    // Every block is exactly the engine's output followed by silence: nothing
    // of a block's earlier use is played.
    const std::vector<std::int16_t> expected = expectedPlayback(voice, semitones, out.size() / BLOCK_FRAMES);
    EXPECT_TRUE(out == expected) << "the played sound differs from the engine's blocks";

    const double ratio = measuredRatio(ZIMBALO_VOICE_CLIP, speaker);
    const double wanted = std::pow(2.0, semitones / 12.0);
    EXPECT_NEAR(ratio, wanted, wanted * 0.01) << "measured " << ratio;

    // The recording: 300 blocks, as played, in the 18-byte format layout.
    const std::string recording = fileBytes(dir / "home" / "Desktop" / "Zimbalo Record.wav");
    ASSERT_EQ(recording.size(), 46u + 300 * BLOCK_BYTES);
    EXPECT_EQ(recording.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(recording, 4), recording.size() - 8);
    EXPECT_EQ(recording.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(recording, 16), 18u);
    EXPECT_EQ(le16(recording, 20), 1u);
    EXPECT_EQ(le16(recording, 22), 1u);
    EXPECT_EQ(le32(recording, 24), 44100u);
    EXPECT_EQ(le32(recording, 28), 88200u);
    EXPECT_EQ(le16(recording, 32), 2u);
    EXPECT_EQ(le16(recording, 34), 16u);
    EXPECT_EQ(le16(recording, 36), 0u);
    EXPECT_EQ(recording.substr(38, 4), "data");
    EXPECT_EQ(le32(recording, 42), 300u * BLOCK_BYTES);
    const char* playedBytes = reinterpret_cast<const char*>(out.data());
    bool found = false;
    for (size_t block = 0; block + 300 <= out.size() / BLOCK_FRAMES && !found; ++block)
        found = std::memcmp(playedBytes + block * BLOCK_BYTES, recording.data() + 46, 300 * BLOCK_BYTES) == 0;
    EXPECT_TRUE(found) << "the recording is a run of the played blocks";
}

INSTANTIATE_TEST_SUITE_P(Pitches, NativeProgram, ::testing::Values(6, -6),
                         [](const auto& info) { return info.param < 0 ? "Down6" : "Up6"; });

}  // namespace
