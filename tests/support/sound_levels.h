// Levels of recorded sound, in windows of consecutive samples (mono, 16-bit).
#ifndef TILO_TESTS_SUPPORT_SOUND_LEVELS_H
#define TILO_TESTS_SUPPORT_SOUND_LEVELS_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

const int kCaptureRate = 44100;                 // Hz
const size_t kWindow10ms = kCaptureRate / 100;  // samples in one 10 ms window

// RMS of each consecutive window, as a fraction of full scale.
std::vector<double> WindowRms(const std::vector<int16_t>& samples, size_t window = kWindow10ms);
// Band-limited copy (two cascaded band-pass biquads around lo..hi Hz).
std::vector<int16_t> BandPass(const std::vector<int16_t>& samples, double loHz, double hiHz);
// First / last window index at or after `from` whose level exceeds `level`; -1 if none.
long FirstAbove(const std::vector<double>& rms, double level, size_t from = 0);
long LastAbove(const std::vector<double>& rms, double level);
// First window index at or after `from` that starts a run of `run` windows at or below `level`.
long FirstQuietRun(const std::vector<double>& rms, double level, size_t run, size_t from = 0);
// Share of the windows from `from` up to (not including) `to` that are at or below
// `level`; 0 for an empty range. A busy host starves the sound server now and then for
// some tens of milliseconds (up to 1% of a play measured with both cores loaded); a
// player that fails to keep its device fed leaves a gap at every buffer.
double QuietShare(const std::vector<double>& rms, double level, size_t from, size_t to);
const double kHostDropoutShare = 0.03;
double DbToLevel(double db);

#endif
