#include "support/sound_levels.h"

#include <math.h>

#include <algorithm>

std::vector<double> WindowRms(const std::vector<int16_t>& samples, size_t window)
{
    std::vector<double> out;
    for (size_t start = 0; start + window <= samples.size(); start += window) {
        double sum = 0;
        for (size_t i = start; i < start + window; ++i) sum += double(samples[i]) * samples[i];
        out.push_back(sqrt(sum / window) / 32768.0);
    }
    return out;
}

std::vector<int16_t> BandPass(const std::vector<int16_t>& samples, double loHz, double hiHz)
{
    // Band-pass biquad with 0 dB peak gain (audio-EQ cookbook), applied twice.
    const double pi = 3.14159265358979323846;
    double centre = sqrt(loHz * hiHz);
    double q = centre / (hiHz - loHz);
    double w0 = 2 * pi * centre / kCaptureRate;
    double alpha = sin(w0) / (2 * q);
    double a0 = 1 + alpha;
    double b0 = alpha / a0, b2 = -alpha / a0, a1 = -2 * cos(w0) / a0, a2 = (1 - alpha) / a0;
    std::vector<double> x(samples.begin(), samples.end());
    for (int pass = 0; pass < 2; ++pass) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (double& v : x) {
            double y = b0 * v + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = v;
            y2 = y1;
            y1 = y;
            v = y;
        }
    }
    std::vector<int16_t> out(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        out[i] = static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, x[i])));
    return out;
}

long FirstAbove(const std::vector<double>& rms, double level, size_t from)
{
    for (size_t i = from; i < rms.size(); ++i)
        if (rms[i] > level) return static_cast<long>(i);
    return -1;
}

long LastAbove(const std::vector<double>& rms, double level)
{
    for (size_t i = rms.size(); i-- > 0;)
        if (rms[i] > level) return static_cast<long>(i);
    return -1;
}

long FirstQuietRun(const std::vector<double>& rms, double level, size_t run, size_t from)
{
    size_t quiet = 0;
    for (size_t i = from; i < rms.size(); ++i) {
        quiet = rms[i] <= level ? quiet + 1 : 0;
        if (quiet == run) return static_cast<long>(i + 1 - run);
    }
    return -1;
}

double QuietShare(const std::vector<double>& rms, double level, size_t from, size_t to)
{
    size_t quiet = 0, all = 0;
    for (size_t i = from; i < to && i < rms.size(); ++i, ++all) quiet += rms[i] <= level;
    return all ? static_cast<double>(quiet) / all : 0.0;
}

double DbToLevel(double db) { return pow(10.0, db / 20.0); }
