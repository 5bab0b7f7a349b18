// zimbalo-measure: compares an input clip with what the program played, for
// the end-to-end tests: pitch ratio, delay, and plain statistics of a file.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "envelope_delay.h"
#include "mono_signal.h"
#include "pitch_ratio.h"
#include "pitch_track.h"
#include "signal_stats.h"
#include "wav_file.h"

namespace {

constexpr const char* PROGRAM = "zimbalo-measure";
constexpr int EXIT_USAGE = 2;

void printUsage(std::FILE* to)
{
    std::fprintf(to,
                 "Usage: %s pitch INPUT.wav OUTPUT.wav\n"
                 "       %s delay INPUT.wav OUTPUT.wav\n"
                 "       %s stats FILE.wav\n"
                 "\n"
                 "pitch  prints 'ratio R', the pitch of OUTPUT over that of INPUT\n"
                 "delay  prints 'delay_ms D', how far OUTPUT lags INPUT (-500 to 3000 ms;\n"
                 "       negative when OUTPUT leads)\n"
                 "stats  prints frames, seconds, rms and peak (full scale 1) and the\n"
                 "       fraction of silent (all-zero) frames, one 'name value' a line\n"
                 "\n"
                 "Files must be 16-bit PCM WAV, 1 or 2 channels (2 are averaged).\n",
                 PROGRAM, PROGRAM, PROGRAM);
}

int fail(const std::string& message, int code = EXIT_FAILURE)
{
    std::fprintf(stderr, "%s: %s\n", PROGRAM, message.c_str());
    return code;
}

// Reads `path` into `audio`; on failure returns the message to print.
std::string load(const std::string& path, WavAudio& audio)
{
    WavReadResult read = readWavFile(path);
    if (!read.ok())
        return path + ": " + read.error;
    if (read.audio.frames() == 0)
        return path + ": holds no audio";
    audio = std::move(read.audio);
    return {};
}

int runStats(const std::string& path)
{
    const WavReadResult read = readWavFile(path);
    if (!read.ok())
        return fail(path + ": " + read.error);
    const SignalStats stats = measureStats(read.audio);
    std::printf("frames %zu\nseconds %.4f\nrms %.6f\npeak %.6f\nsilent %.6f\n", stats.frames, stats.seconds,
                stats.rms, stats.peak, stats.silentFraction);
    return EXIT_SUCCESS;
}

int runPair(const std::string& command, const std::string& inputPath, const std::string& outputPath)
{
    WavAudio inputAudio, outputAudio;
    std::string error = load(inputPath, inputAudio);
    if (error.empty())
        error = load(outputPath, outputAudio);
    if (!error.empty())
        return fail(error);
    if (inputAudio.sampleRate != outputAudio.sampleRate)
        return fail("the two files have different sample rates (" + std::to_string(inputAudio.sampleRate) +
                    " and " + std::to_string(outputAudio.sampleRate) + ")");
    const MonoSignal input = toMono(inputAudio);
    const MonoSignal output = toMono(outputAudio);

    const DelayResult delay = measureDelay(input, output);
    if (command == "delay") {
        if (!delay.ok())
            return fail(delay.error);
        const double ms = delay.seconds * 1000;
        std::printf("delay_ms %.1f\n", std::abs(ms) < 0.05 ? 0.0 : ms);  // never "-0.0"
        return EXIT_SUCCESS;
    }
    // Without a delay the ratio falls back to the tracks' medians.
    const PitchRatioResult ratio =
        measurePitchRatio(trackPitch(input), trackPitch(output), delay.seconds, delay.ok());
    if (!ratio.ok())
        return fail(ratio.error);
    std::printf("ratio %.4f\n", ratio.ratio);
    return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help")) {
        printUsage(stdout);
        return EXIT_SUCCESS;
    }
    if (argc < 2)
        return fail("missing command: pitch, delay or stats (see --help)", EXIT_USAGE);
    const std::string command = argv[1];
    if (command == "stats") {
        if (argc != 3)
            return fail("stats takes one file: stats FILE.wav (see --help)", EXIT_USAGE);
        return runStats(argv[2]);
    }
    if (command == "pitch" || command == "delay") {
        if (argc != 4)
            return fail(command + " takes two files: " + command + " INPUT.wav OUTPUT.wav (see --help)",
                        EXIT_USAGE);
        return runPair(command, argv[2], argv[3]);
    }
    return fail("unknown command '" + command + "': use pitch, delay or stats (see --help)", EXIT_USAGE);
}
