// The game's six sound cues: each is a few oscillators, noise and envelopes, nothing recorded.
#include "cues.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "wav.h"

namespace soundgen {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kRate = kSampleRate;

std::size_t frames(double seconds) { return static_cast<std::size_t>(seconds * kRate); }

// A small fixed generator, so every build writes the same files.
class Noise {
   public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    // Uniform in [-1, 1).
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 23) - 1.0;
    }

   private:
    std::uint32_t state_;
};

// Attack then exponential decay, t in seconds from the onset.
double strike(double t, double attack, double decay) {
    if (t < 0) return 0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / decay);
}

// Scales the cue so its loudest sample sits at the given peak, and fades the last
// few milliseconds so it never ends with a click.
std::vector<float> finish(std::vector<double> s, double peak = 0.8) {
    double loudest = 0;
    for (const double v : s) loudest = std::max(loudest, std::abs(v));
    const double gain = loudest > 0 ? peak / loudest : 0;
    const std::size_t fade = std::min(s.size(), frames(0.01));
    std::vector<float> out(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        double v = s[i] * gain;
        const std::size_t left = s.size() - i;
        if (left < fade) v *= static_cast<double>(left) / static_cast<double>(fade);
        out[i] = static_cast<float>(v);
    }
    return out;
}

// A one-pole low-pass, for taking the hiss off noise.
class LowPass {
   public:
    explicit LowPass(double cutoff) : k_(1.0 - std::exp(-kTwoPi * cutoff / kRate)) {}
    double operator()(double x) { return y_ += k_ * (x - y_); }

   private:
    double k_;
    double y_ = 0;
};

}  // namespace

std::vector<float> door() {
    std::vector<double> s(frames(1.6));
    Noise noise(7);
    LowPass knock_filter(900);
    // Three knocks: a low body resonance with a short burst of filtered noise.
    for (const double onset : {0.0, 0.18, 0.36}) {
        const std::size_t first = frames(onset);
        for (std::size_t i = first; i < first + frames(0.15) && i < s.size(); ++i) {
            const double t = static_cast<double>(i - first) / kRate;
            const double body = std::sin(kTwoPi * 140 * t) + 0.5 * std::sin(kTwoPi * 310 * t);
            s[i] += strike(t, 0.002, 0.03) * (body + 0.8 * knock_filter(noise.next()));
        }
    }
    // The hinge: a rough sawtooth whose pitch wanders as the door swings.
    double phase = 0;
    const double creak_start = 0.7;
    for (std::size_t i = frames(creak_start); i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate - creak_start;
        const double pitch = 180 + 90 * std::sin(kTwoPi * 0.9 * t) + 25 * noise.next();
        phase += pitch / kRate;
        const double saw = 2 * (phase - std::floor(phase)) - 1;
        const double swell = std::sin(std::numbers::pi * std::min(1.0, t / 0.9));
        s[i] += 0.35 * swell * saw;
    }
    return finish(std::move(s));
}

std::vector<float> nomore() {
    std::vector<double> s(frames(1.5));
    // Three bell notes falling a third at a time, each with a few inharmonic partials.
    const double notes[] = {784.0, 659.3, 523.3};
    const double partials[][2] = {{1.0, 1.0}, {2.76, 0.4}, {5.4, 0.15}};
    for (int n = 0; n < 3; ++n) {
        const double onset = 0.25 * n;
        for (std::size_t i = frames(onset); i < s.size(); ++i) {
            const double t = static_cast<double>(i) / kRate - onset;
            double v = 0;
            for (const auto& p : partials) {
                v += p[1] * std::sin(kTwoPi * notes[n] * p[0] * t) * strike(t, 0.004, 0.45 / p[0]);
            }
            s[i] += v;
        }
    }
    return finish(std::move(s));
}

std::vector<float> laugh() {
    std::vector<double> s(frames(1.3));
    // Five "ha" syllables on a buzzy voice whose pitch drops as the laugh runs out.
    double phase = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double syllable = std::fmod(t, 0.22) / 0.22;
        const int count = static_cast<int>(t / 0.22);
        if (count >= 5) break;
        const double pitch = (260 - 18 * count) * (1 + 0.04 * std::sin(kTwoPi * 7 * t));
        phase += pitch / kRate;
        // Harmonics near 700 and 1200 Hz are lifted, which gives the voice an open "a".
        double v = 0;
        for (int h = 1; h <= 12; ++h) {
            const double f = pitch * h;
            const double formant = std::exp(-std::pow((f - 700) / 250, 2)) +
                                   0.6 * std::exp(-std::pow((f - 1200) / 300, 2)) + 0.1;
            v += formant * std::sin(kTwoPi * h * phase) / h;
        }
        const double envelope = std::sin(std::numbers::pi * std::min(1.0, syllable / 0.7));
        s[i] = v * envelope * envelope;
    }
    return finish(std::move(s));
}

std::vector<float> applause() {
    std::vector<double> s(frames(1.8));
    Noise noise(42);
    Noise timing(1234);
    // Some hundred claps, each a short band-limited noise burst; the crowd swells and fades.
    for (int clap = 0; clap < 140; ++clap) {
        const double onset = (timing.next() + 1) / 2 * 1.6;
        const double brightness = 1500 + 1200 * (timing.next() + 1) / 2;
        const double loudness = 0.4 + 0.6 * (timing.next() + 1) / 2;
        const double crowd = std::sin(std::numbers::pi * onset / 1.6);
        LowPass filter(brightness);
        LowPass rumble(300);
        const std::size_t first = frames(onset);
        for (std::size_t i = first; i < first + frames(0.05) && i < s.size(); ++i) {
            const double t = static_cast<double>(i - first) / kRate;
            const double x = noise.next();
            const double band = filter(x) - rumble(x);  // roughly 300 Hz to a few kHz
            s[i] += crowd * loudness * strike(t, 0.001, 0.012) * band;
        }
    }
    return finish(std::move(s), 0.7);
}

std::vector<float> cophit() {
    std::vector<double> s(frames(0.5));
    Noise noise(99);
    LowPass filter(1200);
    double phase = 0;
    // A low drum-like blow: the pitch falls fast, with a slap of noise at the start.
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double pitch = 45 + 110 * std::exp(-t / 0.04);
        phase += pitch / kRate;
        const double body = std::sin(kTwoPi * phase) * strike(t, 0.002, 0.12);
        const double slap = filter(noise.next()) * strike(t, 0.001, 0.02);
        s[i] = body + 1.5 * slap;
    }
    return finish(std::move(s), 0.9);
}

std::vector<float> siren() {
    std::vector<double> s(frames(2.0));
    double phase = 0;
    // Two full sweeps between 650 and 1300 Hz, with a touch of the second harmonic.
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double sweep = 0.5 - 0.5 * std::cos(kTwoPi * t / 1.0);
        const double pitch = 650 + 650 * sweep;
        phase += pitch / kRate;
        const double v = std::sin(kTwoPi * phase) + 0.3 * std::sin(2 * kTwoPi * phase);
        s[i] = v * strike(t, 0.05, 10.0);
    }
    return finish(std::move(s), 0.6);
}

}  // namespace soundgen
