#pragma once
#include <cstdint>

// A ratio in units of 1/10000: 10000 means 1.0.
using ScaledRatio = std::uint32_t;

constexpr ScaledRatio UNIT_RATIO = 10000;
