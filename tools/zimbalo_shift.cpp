// zimbalo-shift: shifts the pitch of a WAV file through the pitch engine,
// block by block, exactly as the live program does.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform_io.h"
#include "shift_file.h"
#include "wav_file.h"

#ifndef ZIMBALO_VERSION
#define ZIMBALO_VERSION "unknown"
#endif

namespace {

constexpr const char* PROGRAM = "zimbalo-shift";
constexpr int EXIT_USAGE = 2;
// Below this much audio the run is over before a progress line is worth it.
constexpr std::size_t PROGRESS_MIN_SECONDS = 20;

void printUsage(std::FILE* to)
{
    std::fprintf(to,
                 "Usage: %s [--semitones N] INPUT.wav OUTPUT.wav\n"
                 "Shifts the pitch of INPUT.wav by N semitones without changing its duration,\n"
                 "through the same engine and in the same 512-frame blocks as the live program,\n"
                 "and writes the result to OUTPUT.wav.\n"
                 "\n"
                 "INPUT.wav must be 16-bit PCM, 1 or 2 channels, %d to %d frames per second.\n"
                 "OUTPUT.wav has the same channels, rate and length.\n"
                 "\n"
                 "Options:\n"
                 "  -s, --semitones N  pitch change, an integer from %d to %d (default %d)\n"
                 "  -h, --help         show this help and exit\n"
                 "  -V, --version      show the version and exit\n",
                 PROGRAM, WAV_MIN_RATE, WAV_MAX_RATE, MIN_SEMITONES, MAX_SEMITONES, DEFAULT_SEMITONES);
}

struct Options {
    int semitones = DEFAULT_SEMITONES;
    std::string input;
    std::string output;
    bool help = false;
    bool version = false;
};

// Strict: an optional sign and decimal digits, nothing else.
bool parseSemitones(const std::string& text, int& value)
{
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (i == text.size() || text.size() - i > 3)
        return false;
    int magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        magnitude = magnitude * 10 + (text[i] - '0');
    }
    value = text[0] == '-' ? -magnitude : magnitude;
    return value >= MIN_SEMITONES && value <= MAX_SEMITONES;
}

// Returns an empty string when the arguments make sense, otherwise why not.
std::string parseOptions(int argc, char** argv, Options& options)
{
    std::string files[2];
    int fileCount = 0;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            std::string value;
            bool hasValue = false;
            std::string name = arg;
            const std::size_t equals = arg.find('=');
            if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos) {
                name = arg.substr(0, equals);
                value = arg.substr(equals + 1);
                hasValue = true;
            }
            if (name == "--") {
                optionsEnded = true;
            } else if (name == "-h" || name == "--help") {
                options.help = true;
            } else if (name == "-V" || name == "--version") {
                options.version = true;
            } else if (name == "-s" || name == "--semitones") {
                if (!hasValue) {
                    if (i + 1 == argc)
                        return name + " needs a value";
                    value = argv[++i];
                }
                if (!parseSemitones(value, options.semitones))
                    return name + " needs an integer from " + std::to_string(MIN_SEMITONES) + " to " +
                           std::to_string(MAX_SEMITONES) + ", not '" + value + "'";
            } else {
                return "unknown option '" + arg + "'";
            }
            if (hasValue && name != "--semitones")
                return "option '" + name + "' takes no value";
            continue;
        }
        if (fileCount == 2)
            return "too many arguments: '" + arg + "'";
        files[fileCount++] = arg;
    }
    if (options.help || options.version)
        return {};
    if (fileCount == 0)
        return "missing INPUT.wav and OUTPUT.wav";
    if (fileCount == 1)
        return "missing OUTPUT.wav";
    options.input = files[0];
    options.output = files[1];
    return {};
}

// A percentage on one terminal line, redrawn only when it changes.
class ProgressLine {
public:
    void update(std::size_t done, std::size_t total)
    {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        if (percent == shown)
            return;
        shown = percent;
        std::fprintf(stderr, "\rshifting: %3d%%", percent);
        std::fflush(stderr);
    }

    void clear()
    {
        if (shown < 0)
            return;
        std::fprintf(stderr, "\r%*s\r", 20, "");
        std::fflush(stderr);
        shown = -1;
    }

private:
    int shown = -1;
};

int fail(ProgressLine& progress, const std::string& message, int code = EXIT_FAILURE)
{
    progress.clear();
    std::fprintf(stderr, "%s: %s\n", PROGRAM, message.c_str());
    return code;
}

}  // namespace

int main(int argc, char** argv)
{
    ProgressLine progress;
    Options options;
    const std::string usageError = parseOptions(argc, argv, options);
    if (!usageError.empty())
        return fail(progress, usageError + " (see --help)", EXIT_USAGE);
    if (options.help) {
        printUsage(stdout);
        return EXIT_SUCCESS;
    }
    if (options.version) {
        std::printf("%s %s\n", PROGRAM, ZIMBALO_VERSION);
        return EXIT_SUCCESS;
    }

    const WavReadResult input = readWavFile(options.input);
    if (!input.ok())
        return fail(progress, options.input + ": " + input.error);
    const WavAudio& in = input.audio;

    ShiftProgress report;
    if (stderrIsTerminal() && in.frames() >= PROGRESS_MIN_SECONDS * static_cast<std::size_t>(in.sampleRate))
        report = [&progress](std::size_t done, std::size_t total) { progress.update(done, total); };
    ShiftResult shifted = shiftFrames(in.samples, in.channels, in.sampleRate, options.semitones, report);
    if (!shifted.ok())
        return fail(progress, options.input + ": " + shifted.error);
    progress.clear();

    WavAudio out;
    out.channels = in.channels;
    out.sampleRate = in.sampleRate;
    out.samples = std::move(shifted.samples);

    // Written beside the final name and moved there only when complete, so
    // that a failed run never leaves a partial OUTPUT.wav.
    const std::string temporary = options.output + ".tmp" + std::to_string(currentProcessId());
    std::string error = writeWavFile(temporary, out);
    if (error.empty()) {
        error = replaceFile(temporary, options.output);
        if (!error.empty())
            error = "cannot replace: " + error;
    }
    if (!error.empty()) {
        std::remove(temporary.c_str());
        return fail(progress, options.output + ": " + error);
    }
    return EXIT_SUCCESS;
}
