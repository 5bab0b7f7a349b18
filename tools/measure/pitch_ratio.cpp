#include "pitch_ratio.h"

#include <algorithm>
#include <cmath>

double median(std::vector<double> values)
{
    const std::size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + mid, values.end());
    const double upper = values[mid];
    if (values.size() % 2 == 1)
        return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + mid);
    return 0.5 * (lower + upper);
}

namespace {

std::vector<double> voicedLogF0(const std::vector<PitchFrame>& track)
{
    std::vector<double> logs;
    for (const PitchFrame& frame : track)
        if (frame.voiced())
            logs.push_back(std::log(frame.hz));
    return logs;
}

// The input's log F0 at `seconds`, interpolated between the two frames
// around it; false unless both are voiced.
bool inputLogF0At(const std::vector<PitchFrame>& input, double seconds, double& logHz)
{
    if (input.size() < 2)
        return false;
    const double first = input.front().seconds;
    const double hop = input[1].seconds - first;
    double position = (seconds - first) / hop;
    // A time on a frame must not land a rounding error before it, where the
    // frame below may be unvoiced.
    if (std::abs(position - std::round(position)) < 1e-6)
        position = std::round(position);
    if (position < 0 || position > static_cast<double>(input.size() - 1))
        return false;
    const std::size_t below = std::min(static_cast<std::size_t>(position), input.size() - 2);
    const PitchFrame& a = input[below];
    const PitchFrame& b = input[below + 1];
    if (!a.voiced() || !b.voiced())
        return false;
    const double t = position - static_cast<double>(below);
    logHz = (1 - t) * std::log(a.hz) + t * std::log(b.hz);
    return true;
}

}  // namespace

PitchRatioResult measurePitchRatio(const std::vector<PitchFrame>& input, const std::vector<PitchFrame>& output,
                                   double delaySeconds, bool delayKnown)
{
    PitchRatioResult result;
    const std::vector<double> inLogs = voicedLogF0(input);
    const std::vector<double> outLogs = voicedLogF0(output);
    result.inputVoiced = inLogs.size();
    result.outputVoiced = outLogs.size();
    if (inLogs.empty() || outLogs.empty()) {
        result.error = inLogs.empty() ? "no voiced frames in the input" : "no voiced frames in the output";
        return result;
    }

    std::vector<double> differences;
    if (delayKnown) {
        for (const PitchFrame& frame : output) {
            double inputLog = 0;
            if (frame.voiced() && inputLogF0At(input, frame.seconds - delaySeconds, inputLog))
                differences.push_back(std::log(frame.hz) - inputLog);
        }
    }
    result.pairs = differences.size();
    if (differences.size() >= MIN_ALIGNED_PAIRS) {
        const double middle = median(differences);
        std::size_t agreeing = 0;
        for (double d : differences)
            agreeing += std::abs(d - middle) <= PAIR_AGREEMENT ? 1 : 0;
        result.agreement = static_cast<double>(agreeing) / static_cast<double>(differences.size());
        result.ratio = std::exp(middle);
    }
    if (result.pairs >= MIN_ALIGNED_PAIRS && result.agreement >= MIN_AGREEMENT) {
        result.method = RatioMethod::AlignedPairs;
    } else {
        result.method = RatioMethod::MedianOfTracks;
        result.ratio = std::exp(median(outLogs) - median(inLogs));
    }
    return result;
}
