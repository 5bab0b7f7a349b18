#pragma once
#include <windows.h>

// The bar in meterControl: the level of each output block relative to the
// loudest block so far.
namespace LevelMeter {

constexpr int INITIAL_PEAK_LEVEL = 1;

// Highest block level seen so far; only grows.
extern int peakLevel;
extern HBRUSH fillBrush;
extern HBRUSH backgroundBrush;

// Draws the level of one output block into meterControl.
void update(const WAVEHDR* slot);

}  // namespace LevelMeter

// A quarter of the mean magnitude of the block's samples: 0 to 8192.
unsigned int blockLevel(const WAVEHDR* slot);

// Where the filled part of a bar from left to right ends.
int meterSplit(int left, int right, int level, int peak);
