// Runs the built zimbalo-measure as a user would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "command_run.h"
#include "synthetic_voice.h"
#include "wav_file.h"

namespace fs = std::filesystem;

namespace {


// The number after `name ` on its own line of `text`; NAN when absent.
double valueOf(const std::string& text, const std::string& name)
{
    const std::string key = name + " ";
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (line.compare(0, key.size(), key) == 0)
            return std::stod(line.substr(key.size()));
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return NAN;
}

class MeasureCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zimbalo_measure_cli_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    ToolRun run(const std::string& args) { return runTool(ZIMBALO_MEASURE_PATH, args, dir); }

    std::string file(const std::string& name) const { return shellQuoted((dir / name).string()); }

    void putVoice(const std::string& name, const SyntheticVoice& v, int channels = 1) const
    {
        WavAudio mono = toWavAudio(makeSyntheticVoice(v), v.sampleRate);
        WavAudio audio = mono;
        if (channels == 2) {
            audio.channels = 2;
            audio.samples.clear();
            for (std::int16_t s : mono.samples) {
                audio.samples.push_back(s);
                audio.samples.push_back(s);
            }
        }
        ASSERT_EQ(writeWavFile((dir / name).string(), audio), "");
    }

    fs::path dir;
};

void expectOneErrorLine(const ToolRun& r, int exitCode, const std::string& mention)
{
    EXPECT_EQ(r.exitCode, exitCode);
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_EQ(r.err.rfind("zimbalo-measure: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(mention), std::string::npos) << r.err;
}

}  // namespace

TEST_F(MeasureCommand, PrintsRatioAndDelayOfAShiftedDelayedStereoCopy)
{
    SyntheticVoice in;
    in.seconds = 3;
    putVoice("in.wav", in);
    SyntheticVoice out = in;
    out.pitchRatio = 1.4142;
    out.delaySeconds = 0.2431;
    out.gain = 0.2;
    out.noiseRms = 0.001;
    putVoice("out.wav", out, 2);

    const ToolRun pitch = run("pitch " + file("in.wav") + " " + file("out.wav"));
    EXPECT_EQ(pitch.exitCode, 0) << pitch.err;
    EXPECT_EQ(pitch.err, "");
    ASSERT_EQ(pitch.out.rfind("ratio ", 0), 0u) << pitch.out;
    EXPECT_EQ(pitch.out.back(), '\n');
    EXPECT_NEAR(valueOf(pitch.out, "ratio"), 1.4142, 0.004);

    const ToolRun delay = run("delay " + file("in.wav") + " " + file("out.wav"));
    EXPECT_EQ(delay.exitCode, 0) << delay.err;
    ASSERT_EQ(delay.out.rfind("delay_ms ", 0), 0u) << delay.out;
    EXPECT_NEAR(valueOf(delay.out, "delay_ms"), 243.1, 5);
}

TEST_F(MeasureCommand, DelayOfACopyIsZeroAndNeverNegativeZero)
{
    SyntheticVoice v;
    v.seconds = 2;
    putVoice("in.wav", v);
    const ToolRun r = run("delay " + file("in.wav") + " " + file("in.wav"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "delay_ms 0.0\n");
}

TEST_F(MeasureCommand, StatsPrintsOneNameAndValueALine)
{
    WavAudio audio;
    audio.sampleRate = 8000;
    audio.samples = {0, 0, 16384, -32768};
    ASSERT_EQ(writeWavFile((dir / "four.wav").string(), audio), "");
    const ToolRun r = run("stats " + file("four.wav"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "frames 4\nseconds 0.0005\nrms 0.559017\npeak 1.000000\nsilent 0.500000\n");
}

TEST_F(MeasureCommand, BadInputGivesOneErrorLine)
{
    std::ofstream(dir / "text.wav") << "this is not a WAV file at all, just some words";
    SyntheticVoice v;
    v.seconds = 1.5;
    putVoice("voice.wav", v);
    WavAudio silent;
    silent.samples.assign(44100, 0);
    ASSERT_EQ(writeWavFile((dir / "silent.wav").string(), silent), "");
    WavAudio empty;
    ASSERT_EQ(writeWavFile((dir / "empty.wav").string(), empty), "");
    v.sampleRate = 48000;
    putVoice("voice48k.wav", v);

    struct Case {
        std::string args;
        int exitCode;
        std::string mention;
    };
    const Case cases[] = {
        {"pitch " + file("missing.wav") + " " + file("voice.wav"), 1, "missing.wav"},
        {"delay " + file("voice.wav") + " " + file("missing.wav"), 1, "missing.wav"},
        {"stats " + file("missing.wav"), 1, "missing.wav"},
        {"pitch " + file("text.wav") + " " + file("voice.wav"), 1, "text.wav"},
        {"stats " + file("text.wav"), 1, "text.wav"},
        {"pitch " + file("voice.wav") + " " + file("empty.wav"), 1, "holds no audio"},
        {"pitch " + file("voice.wav") + " " + file("silent.wav"), 1, "no voiced frames in the output"},
        {"delay " + file("voice.wav") + " " + file("silent.wav"), 1, "never changes"},
        {"pitch " + file("voice.wav") + " " + file("voice48k.wav"), 1, "different sample rates (44100 and 48000)"},
        {"", 2, "missing command"},
        {"loudness " + file("voice.wav"), 2, "unknown command 'loudness'"},
        {"pitch " + file("voice.wav"), 2, "two files"},
        {"stats " + file("voice.wav") + " " + file("voice.wav"), 2, "one file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        expectOneErrorLine(run(c.args), c.exitCode, c.mention);
    }
}

TEST_F(MeasureCommand, HelpGoesToStandardOutput)
{
    const ToolRun r = run("--help");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("zimbalo-measure pitch INPUT.wav OUTPUT.wav"), std::string::npos) << r.out;
}
