#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "pitch_track.h"

enum class RatioMethod {
    AlignedPairs,   // median of per-frame log ratios after aligning by the delay
    MedianOfTracks  // ratio of the two tracks' median F0
};

struct PitchRatioResult {
    double ratio = 0;
    RatioMethod method = RatioMethod::AlignedPairs;
    std::size_t inputVoiced = 0;
    std::size_t outputVoiced = 0;
    std::size_t pairs = 0;
    double agreement = 0;  // fraction of pairs within PAIR_AGREEMENT of the result
    std::string error;

    bool ok() const { return error.empty(); }
};

// Fewer aligned pairs than this, or fewer than MIN_AGREEMENT of them within
// PAIR_AGREEMENT (as a log ratio) of their median, and the tracks' medians
// are used instead: a wrong delay pairs unrelated frames, which scatter.
constexpr std::size_t MIN_ALIGNED_PAIRS = 20;
constexpr double PAIR_AGREEMENT = 0.03;
constexpr double MIN_AGREEMENT = 0.5;

// The median of a copy of `values` (the mean of the middle two for an even
// count); requires at least one value.
double median(std::vector<double> values);

// The pitch ratio output/input. Each voiced output frame is paired with the
// input track at its time minus `delaySeconds`, interpolated between two
// voiced input frames; the median of the log ratios of the pairs is robust
// to the odd octave error and to frames voiced in one track only. When too
// few frames pair up or they disagree (no usable delay, a wrong one, or
// tracks that barely overlap), the
// ratio of the tracks' median F0 is used.
PitchRatioResult measurePitchRatio(const std::vector<PitchFrame>& input, const std::vector<PitchFrame>& output,
                                   double delaySeconds, bool delayKnown);
