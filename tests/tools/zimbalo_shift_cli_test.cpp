// Runs the built zimbalo-shift as a user would and checks what it leaves.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "command_run.h"
#include "shift_file.h"
#include "wav_bytes.h"
#include "wav_file.h"

namespace fs = std::filesystem;
using namespace wav_bytes;

namespace {


class ShiftCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zimbalo_shift_cli_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directory(dir / "work");
    }
    void TearDown() override { fs::remove_all(dir); }

    ToolRun run(const std::string& args) { return runTool(ZIMBALO_SHIFT_PATH, args, dir); }

    // A file in the work folder, which the tool's runs write into.
    std::string file(const std::string& name) const { return (dir / "work" / name).string(); }

    void put(const std::string& name, const Bytes& bytes) const
    {
        std::ofstream(file(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    WavAudio putTone(const std::string& name, int channels, int rate, std::size_t frames) const
    {
        WavAudio audio;
        audio.channels = channels;
        audio.sampleRate = rate;
        for (std::size_t f = 0; f < frames * channels; ++f)
            audio.samples.push_back(static_cast<std::int16_t>(6000 * std::sin(f * 0.05)));
        EXPECT_EQ(writeWavFile(file(name), audio), "");
        return audio;
    }

    std::set<std::string> workFiles() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir / "work"))
            names.insert(entry.path().filename().string());
        return names;
    }

    fs::path dir;
};

void expectOneErrorLine(const ToolRun& r, const std::string& mention)
{
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_EQ(r.err.rfind("zimbalo-shift: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(mention), std::string::npos) << r.err;
}

TEST_F(ShiftCommand, WritesTheShiftedFileAtTheDefaultAndAGivenPitch)
{
    const WavAudio in = putTone("in.wav", 2, 22050, 12345);
    struct Case {
        std::string options;
        int semitones;
    };
    for (const Case& c : {Case{"", DEFAULT_SEMITONES}, Case{"--semitones -3", -3}, Case{"--semitones=+48", 48},
                          Case{"-s -48", -48}}) {
        SCOPED_TRACE(c.options);
        const ToolRun r = run(c.options + " " + shellQuoted(file("in.wav")) + " " + shellQuoted(file("out.wav")));
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, "");
        const WavReadResult out = readWavFile(file("out.wav"));
        ASSERT_TRUE(out.ok()) << out.error;
        EXPECT_EQ(out.audio.channels, 2);
        EXPECT_EQ(out.audio.sampleRate, 22050);
        const ShiftResult expected = shiftFrames(in.samples, 2, 22050, c.semitones);
        ASSERT_TRUE(expected.ok());
        EXPECT_EQ(out.audio.samples, expected.samples);
        // A canonical file: 44 header bytes, then the samples.
        EXPECT_EQ(fs::file_size(file("out.wav")), 44 + in.samples.size() * 2);
        EXPECT_EQ(workFiles(), (std::set<std::string>{"in.wav", "out.wav"}));
    }
}

TEST_F(ShiftCommand, ZeroFramesGiveAnEmptyWav)
{
    put("empty.wav", riff({chunk("fmt ", pcmFormat(1, 44100)), chunk("data", {})}));
    const ToolRun r = run(shellQuoted(file("empty.wav")) + " " + shellQuoted(file("out.wav")));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const WavReadResult out = readWavFile(file("out.wav"));
    ASSERT_TRUE(out.ok()) << out.error;
    EXPECT_EQ(out.audio.frames(), 0u);
    EXPECT_EQ(fs::file_size(file("out.wav")), 44u);
}

TEST_F(ShiftCommand, ReplacesAnExistingOutputAndMayOverwriteItsInput)
{
    putTone("in.wav", 1, 8000, 3000);
    put("out.wav", text("old contents"));
    EXPECT_EQ(run(shellQuoted(file("in.wav")) + " " + shellQuoted(file("out.wav"))).exitCode, 0);
    EXPECT_TRUE(readWavFile(file("out.wav")).ok());

    const std::string before = fileBytes(file("in.wav"));
    EXPECT_EQ(run(shellQuoted(file("in.wav")) + " " + shellQuoted(file("in.wav"))).exitCode, 0);
    EXPECT_EQ(fileBytes(file("in.wav")).size(), before.size());
    EXPECT_EQ(workFiles(), (std::set<std::string>{"in.wav", "out.wav"}));
}

TEST_F(ShiftCommand, LongFilesShowNoProgressWhenStderrIsNotATerminal)
{
    putTone("long.wav", 1, 8000, 8000 * 25);
    const ToolRun r = run(shellQuoted(file("long.wav")) + " " + shellQuoted(file("out.wav")));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
}

TEST_F(ShiftCommand, RefusesBadUseWithOneLineAndNoOutput)
{
    putTone("in.wav", 1, 44100, 1000);
    put("text.wav", text("just some text, not a sound"));
    put("wide.wav", riff({chunk("fmt ", pcmFormat(1, 44100, 24)), chunk("data", Bytes(30, 1))}));
    put("many.wav", riff({chunk("fmt ", pcmFormat(4, 44100)), chunk("data", Bytes(32, 1))}));
    put("cut.wav", riff({chunk("fmt ", pcmFormat(1, 44100)), chunkDeclaring("data", 4000, Bytes(100, 1))}));
    put("nodata.wav", riff({chunk("fmt ", pcmFormat(1, 44100))}));
    const std::string in = shellQuoted(file("in.wav"));
    const std::string out = shellQuoted(file("out.wav"));
    struct Case {
        std::string args;
        int exitCode;
        std::string mention;
    };
    const std::vector<Case> cases = {
        {"", 2, "missing INPUT.wav and OUTPUT.wav"},
        {in, 2, "missing OUTPUT.wav"},
        {in + " " + out + " extra.wav", 2, "too many arguments"},
        {"--bogus " + in + " " + out, 2, "unknown option '--bogus'"},
        {"--semitones 49 " + in + " " + out, 2, "from -48 to 48, not '49'"},
        {"--semitones -49 " + in + " " + out, 2, "not '-49'"},
        {"--semitones 1.5 " + in + " " + out, 2, "not '1.5'"},
        {"--semitones abc " + in + " " + out, 2, "not 'abc'"},
        {"--semitones= " + in + " " + out, 2, "not ''"},
        {in + " " + out + " --semitones", 2, "--semitones needs a value"},
        {"--help=yes " + in + " " + out, 2, "takes no value"},
        {shellQuoted(file("missing.wav")) + " " + out, 1, "missing.wav: cannot open: No such file or directory"},
        {shellQuoted(file("text.wav")) + " " + out, 1, "text.wav: not a RIFF/WAVE file"},
        {shellQuoted(file("wide.wav")) + " " + out, 1, "unsupported sample width: 24 bits"},
        {shellQuoted(file("many.wav")) + " " + out, 1, "unsupported channel count: 4"},
        {shellQuoted(file("cut.wav")) + " " + out, 1, "truncated data chunk"},
        {shellQuoted(file("nodata.wav")) + " " + out, 1, "no data chunk"},
        {in + " " + shellQuoted(file("no/such/folder/out.wav")), 1, "out.wav: cannot create"},
    };
    const std::set<std::string> before = workFiles();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        expectOneErrorLine(r, c.mention);
        EXPECT_EQ(workFiles(), before);
    }
}

TEST_F(ShiftCommand, LeavesAnExistingOutputAloneWhenItFails)
{
    put("text.wav", text("not a sound"));
    put("out.wav", text("keep me"));
    const ToolRun r = run(shellQuoted(file("text.wav")) + " " + shellQuoted(file("out.wav")));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(fileBytes(file("out.wav")), "keep me");
    EXPECT_EQ(workFiles(), (std::set<std::string>{"text.wav", "out.wav"}));
}

TEST_F(ShiftCommand, RemovesItsTemporaryFileWhenTheRenameFails)
{
    putTone("in.wav", 1, 44100, 1000);
    fs::create_directory(file("taken"));
    fs::create_directory(file("taken") + "/inside");
    const ToolRun r = run(shellQuoted(file("in.wav")) + " " + shellQuoted(file("taken")));
    EXPECT_EQ(r.exitCode, 1);
    expectOneErrorLine(r, "taken: cannot replace");
    EXPECT_EQ(workFiles(), (std::set<std::string>{"in.wav", "taken"}));
    EXPECT_TRUE(fs::is_directory(file("taken") + "/inside"));
}

TEST_F(ShiftCommand, AnswersHelpAndVersion)
{
    const ToolRun help = run("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: zimbalo-shift [--semitones N] INPUT.wav OUTPUT.wav\n", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");

    const ToolRun version = run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("zimbalo-shift ") + ZIMBALO_VERSION + "\n");
}

}  // namespace
