// The eleven synthesised sound effects, in the order of the game's sound table.
#include "tools/assets/sounds.h"

#include "tools/assets/canvas.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

constexpr double kRate = kSoundRate;
constexpr double kTwoPi = 6.283185307179586;

using Samples = std::vector<double>;

Samples Silence(double seconds) {
    return Samples(static_cast<size_t>(seconds * kRate), 0.0);
}

double Noise(AssetRng* rng) {
    return NextUnit(rng) * 2.0 - 1.0;
}

// RBJ band-pass (0 dB peak) biquad; coefficients may change per sample for moving formants.
struct Biquad {
    double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

void SetBandPass(Biquad* f, double hz, double bandwidthHz) {
    double w = kTwoPi * std::min(hz, kRate * 0.45) / kRate;
    double q = std::max(0.5, hz / bandwidthHz);
    double alpha = std::sin(w) / (2 * q);
    double a0 = 1 + alpha;
    f->b0 = alpha / a0;
    f->b1 = 0;
    f->b2 = -alpha / a0;
    f->a1 = -2 * std::cos(w) / a0;
    f->a2 = (1 - alpha) / a0;
}

void SetLowPass(Biquad* f, double hz) {
    double w = kTwoPi * std::min(hz, kRate * 0.45) / kRate;
    double alpha = std::sin(w) / (2 * 0.7071);
    double a0 = 1 + alpha, c = std::cos(w);
    f->b0 = (1 - c) / 2 / a0;
    f->b1 = (1 - c) / a0;
    f->b2 = (1 - c) / 2 / a0;
    f->a1 = -2 * c / a0;
    f->a2 = (1 - alpha) / a0;
}

double Run(Biquad* f, double x) {
    double y = f->b0 * x + f->b1 * f->x1 + f->b2 * f->x2 - f->a1 * f->y1 - f->a2 * f->y2;
    f->x2 = f->x1;
    f->x1 = x;
    f->y2 = f->y1;
    f->y1 = y;
    return y;
}

// Smooth 0..1..0 window over [start, end] with the given rise and fall times.
double Window(double t, double start, double end, double rise, double fall) {
    if (t < start || t > end) return 0;
    double a = rise > 0 ? std::min(1.0, (t - start) / rise) : 1;
    double b = fall > 0 ? std::min(1.0, (end - t) / fall) : 1;
    return std::sin(a * kTwoPi / 4) * std::sin(b * kTwoPi / 4);
}

// A glottal pulse (Rosenberg shape), differentiated for the lips' radiation.
struct Voice {
    double phase = 0;
    double last = 0;
};

double Glottal(Voice* v, double f0) {
    v->phase += f0 / kRate;
    if (v->phase >= 1) v->phase -= 1;
    double p = v->phase, g;
    if (p < 0.4)
        g = 0.5 * (1 - std::cos(M_PI * p / 0.4));
    else if (p < 0.56)
        g = std::cos(M_PI * (p - 0.4) / 0.32);
    else
        g = 0;
    double out = g - v->last;
    v->last = g;
    return out * 8.0;
}

struct Formants {
    double f1, f2, f3;
};

Formants Blend(const Formants& a, const Formants& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.f1 + (b.f1 - a.f1) * t, a.f2 + (b.f2 - a.f2) * t, a.f3 + (b.f3 - a.f3) * t};
}

// A voiced sound: pitch, vowel, loudness and breathiness given per moment by the caller.
struct VoiceFrame {
    double f0;
    Formants vowel;
    double loud;
    double breath;
};

template <typename Shape> Samples Sing(double seconds, uint64_t seed, Shape shape) {
    Samples out = Silence(seconds);
    AssetRng rng = SeedRng(seed);
    Voice v;
    Biquad f1, f2, f3;
    Biquad breathLow;
    SetLowPass(&breathLow, 5000);
    double jitter = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        VoiceFrame fr = shape(t);
        // Slow random wander of the pitch keeps the voice from sounding like an organ.
        jitter = jitter * 0.995 + Noise(&rng) * 0.005;
        double source = Glottal(&v, fr.f0 * (1 + jitter * 0.6)) * (1 - fr.breath);
        source += Run(&breathLow, Noise(&rng)) * fr.breath * 1.5;
        if ((i & 15) == 0) {
            SetBandPass(&f1, fr.vowel.f1, 90 + fr.f0 * 0.15);
            SetBandPass(&f2, fr.vowel.f2, 120 + fr.f0 * 0.15);
            SetBandPass(&f3, fr.vowel.f3, 180);
        }
        double s = Run(&f1, source) + Run(&f2, source) * 0.6 + Run(&f3, source) * 0.3;
        out[i] = s * fr.loud;
    }
    return out;
}

// A small room-and-distance reverb: four combs into two all-passes.
Samples Reverb(const Samples& in, double mix, double tailSeconds, double feedback) {
    Samples out(in.size() + static_cast<size_t>(tailSeconds * kRate), 0.0);
    const double combMs[4] = {29.7, 37.1, 41.1, 43.7};
    const double allMs[2] = {5.0, 1.7};
    Samples wet(out.size(), 0.0);
    for (double ms : combMs) {
        size_t d = static_cast<size_t>(ms * kRate / 1000);
        Samples line(out.size(), 0.0);
        for (size_t i = 0; i < out.size(); ++i) {
            double x = i < in.size() ? in[i] : 0;
            line[i] = x + (i >= d ? line[i - d] * feedback : 0);
            wet[i] += line[i] * 0.25;
        }
    }
    for (double ms : allMs) {
        size_t d = static_cast<size_t>(ms * kRate / 1000);
        Samples y(out.size(), 0.0);
        for (size_t i = 0; i < out.size(); ++i) {
            double xd = i >= d ? wet[i - d] : 0, yd = i >= d ? y[i - d] : 0;
            y[i] = -0.5 * wet[i] + xd + 0.5 * yd;
        }
        wet = y;
    }
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = (i < in.size() ? in[i] : 0) * (1 - mix) + wet[i] * mix;
    return out;
}

// The peak of a sound at level 1: -6 dBFS. The game plays its sounds at full volume and often starts
// two on one frame (an opening and the ghost it releases, a death and an ambient cry). Under this
// ceiling, and with no level above 0.9, any two of them add up to less than full scale wherever their
// peaks fall, so the mix does not clip.
constexpr double kPeakCeiling = 0.5;

// Removes any DC offset, fades both ends so nothing clicks, and scales the peak to `level` (0..1) of
// kPeakCeiling; the levels set the sounds' loudness against each other.
Samples Finish(Samples s, double level) {
    double x1 = 0, y1 = 0;
    for (double& v : s) {
        double y = v - x1 + 0.997 * y1; // high-pass around 10 Hz
        x1 = v;
        y1 = y;
        v = y;
    }
    size_t fadeIn = std::min(s.size() / 4, static_cast<size_t>(0.004 * kRate));
    size_t fadeOut = std::min(s.size() / 3, static_cast<size_t>(0.030 * kRate));
    for (size_t i = 0; i < fadeIn; ++i)
        s[i] *= static_cast<double>(i) / static_cast<double>(fadeIn);
    for (size_t i = 0; i < fadeOut; ++i)
        s[s.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fadeOut);
    double maxAbs = 0;
    for (double v : s)
        maxAbs = std::max(maxAbs, std::abs(v));
    if (maxAbs > 0) {
        for (double& v : s)
            v *= level * kPeakCeiling / maxAbs;
    }
    return s;
}

void Add(Samples* dst, const Samples& src, double at, double gain) {
    size_t start = static_cast<size_t>(at * kRate);
    if (dst->size() < start + src.size()) dst->resize(start + src.size(), 0.0);
    for (size_t i = 0; i < src.size(); ++i)
        (*dst)[start + i] += src[i] * gain;
}

// A struck bell: inharmonic partials, the higher ones dying first.
Samples Bell(double hz, double seconds, double brightness) {
    Samples s = Silence(seconds);
    const double ratios[5] = {1.0, 2.0, 2.76, 4.07, 5.4};
    const double gains[5] = {1.0, 0.5, 0.35, 0.2, 0.12};
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / kRate, v = 0;
        for (int k = 0; k < 5; ++k) {
            double decay = std::exp(-t * (2.0 + k * 2.5) / seconds * 2.0);
            v += std::sin(kTwoPi * hz * ratios[k] * t) * gains[k] * (k ? brightness : 1.0) * decay;
        }
        s[i] = v * std::min(1.0, t / 0.002) * std::min(1.0, (seconds - t) / 0.08);
    }
    return s;
}

Samples Thud(double hz, double seconds, uint64_t seed) {
    Samples s = Silence(seconds);
    AssetRng rng = SeedRng(seed);
    Biquad low;
    SetLowPass(&low, 400);
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        phase += kTwoPi * hz * (1 + 0.6 * std::exp(-t / 0.02)) / kRate;
        s[i] = (std::sin(phase) + Run(&low, Noise(&rng)) * 2.0 * std::exp(-t / 0.03)) *
               std::exp(-t / (seconds * 0.3)) * std::min(1.0, t / 0.002) *
               std::min(1.0, (seconds - t) / 0.08);
    }
    return s;
}

Samples CursorTick() {
    Samples s = Silence(0.06);
    AssetRng rng = SeedRng(1);
    Biquad click;
    SetBandPass(&click, 3800, 1500);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        s[i] = std::sin(kTwoPi * 2100 * t) * std::exp(-t / 0.010) * std::min(1.0, t / 0.0015) +
               Run(&click, Noise(&rng)) * 1.5 * std::exp(-t / 0.003);
    }
    return Finish(s, 0.5);
}

double Rms(const Samples& s, size_t from, size_t to) {
    double sum = 0;
    to = std::min(to, s.size());
    for (size_t i = from; i < to; ++i)
        sum += s[i] * s[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0;
}

Samples RustyDoor() {
    // A hinge that sticks and slips: bursts of friction pulses ringing the door's panel.
    Samples s = Silence(kDoorThudAt + 0.35);
    AssetRng rng = SeedRng(2);
    Biquad r1, r2, r3;
    // Narrow bands ring on between the pulses, so the creak is a sustained squeal and not a
    // train of clicks whose peaks would cap its loudness.
    SetBandPass(&r1, 620, 14);
    SetBandPass(&r2, 1130, 24);
    SetBandPass(&r3, 2350, 60);
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double rate = 38 + 26 * std::sin(kTwoPi * 0.8 * t + 0.5) + 10 * std::sin(kTwoPi * 3.1 * t);
        phase += rate * (1 + Noise(&rng) * 0.25) / kRate;
        double pulse = 0;
        if (phase >= 1) {
            phase -= 1;
            pulse = 1 + Noise(&rng) * 0.3;
        }
        double env = Window(t, 0.0, kDoorThudAt + 0.03, 0.15, 0.25) *
                     (0.6 + 0.4 * std::sin(kTwoPi * 1.3 * t) * std::sin(kTwoPi * 1.3 * t));
        double excite = pulse * env + Noise(&rng) * 0.02 * env;
        double ring = Run(&r1, excite) + Run(&r2, excite) * 0.8 + Run(&r3, excite) * 0.5;
        // The rasp of iron on iron: the panel rings at only a few thousandths, so it takes this much
        // drive for the soft clip to bend the loudest slips. That also keeps those few peaks from
        // setting the creak's level once the door is scaled to its peak.
        s[i] = std::tanh(ring * 50.0);
    }
    // The closing thud ends the sound and stays the loudest part, but only a little above the
    // creak: levelled by RMS so the creak is heard through a single play at low volume.
    Samples thud = Thud(62, 0.35, 3);
    size_t creakEnd = static_cast<size_t>(kDoorThudAt * kRate);
    double creak = Rms(s, 0, creakEnd), blow = Rms(thud, 0, thud.size());
    Add(&s, thud, kDoorThudAt, blow > 0 ? creak / blow * std::pow(10.0, kDoorThudOverCreakDb / 20) : 0);
    return Finish(s, 0.9);
}

Samples OpenSlab() {
    // Stone dragged over stone, then set down.
    Samples s = Silence(0.85);
    AssetRng rng = SeedRng(4);
    Biquad low, grain;
    SetLowPass(&low, 1100);
    SetLowPass(&grain, 35);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double rough = 0.5 + std::abs(Run(&grain, Noise(&rng))) * 12;
        s[i] = Run(&low, Noise(&rng)) * rough * Window(t, 0.0, 0.6, 0.08, 0.2);
    }
    Add(&s, Thud(85, 0.3, 5), 0.55, 0.6);
    return Finish(s, 0.85);
}

Samples Apparition() {
    // Cold rising tones with a breathy sweep: something arriving.
    Samples s = Silence(1.4);
    AssetRng rng = SeedRng(6);
    Biquad sweep;
    double p[3] = {0, 0, 0};
    const double ratio[3] = {1.0, 1.498, 2.013};
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double glide = 0.62 + 0.38 * std::min(1.0, t / 0.5);
        double vib = 1 + 0.012 * std::sin(kTwoPi * 5.3 * t);
        double v = 0;
        for (int k = 0; k < 3; ++k) {
            p[k] += kTwoPi * 392 * ratio[k] * glide * vib / kRate;
            v += std::sin(p[k]) * (k == 0 ? 1.0 : 0.5);
        }
        v *= 0.6 + 0.4 * std::sin(kTwoPi * 7.0 * t); // shimmer
        if ((i & 15) == 0) SetBandPass(&sweep, 500 + 2200 * std::min(1.0, t / 0.9), 400);
        double breath = Run(&sweep, Noise(&rng)) * 3.0;
        s[i] = (v * 0.5 + breath) * Window(t, 0.0, 1.4, 0.35, 0.7);
    }
    return Finish(Reverb(s, 0.3, 0.3, 0.72), 0.8);
}

Samples SealChime() {
    // A rising run of bells: the seal answers.
    Samples s = Silence(2.0);
    Add(&s, Bell(1046.5, 1.6, 0.7), 0.0, 0.6);
    Add(&s, Bell(1568.0, 1.5, 0.6), 0.11, 0.5);
    Add(&s, Bell(2093.0, 1.4, 0.5), 0.22, 0.45);
    Add(&s, Bell(523.25, 1.7, 0.4), 0.22, 0.5);
    return Finish(Reverb(s, 0.25, 0.4, 0.75), 0.85);
}

Samples PauseChime() {
    Samples s = Silence(0.5);
    Add(&s, Bell(1318.5, 0.35, 0.25), 0.0, 0.6);
    Add(&s, Bell(987.8, 0.38, 0.25), 0.11, 0.6);
    return Finish(s, 0.6);
}

Samples Death() {
    // Two falling, beating voices over a low rush, ending in a dull blow.
    Samples s = Silence(2.1);
    AssetRng rng = SeedRng(7);
    Biquad low, rush;
    SetLowPass(&low, 1400);
    double p1 = 0, p2 = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double hz = 330 * std::pow(55.0 / 330.0, std::min(1.0, t / 1.6));
        p1 += kTwoPi * hz / kRate;
        p2 += kTwoPi * hz * 1.059 / kRate;
        double saw = 0;
        for (int k = 1; k <= 6; ++k)
            saw += (std::sin(p1 * k) + std::sin(p2 * k)) / k;
        double trem = 0.75 + 0.25 * std::sin(kTwoPi * (9 - 5 * t) * t);
        if ((i & 15) == 0) SetLowPass(&rush, 300 + 1800 * std::exp(-t * 2));
        double noise = Run(&rush, Noise(&rng)) * Window(t, 0.0, 1.8, 0.05, 1.0);
        s[i] = Run(&low, saw * 0.35 * trem) * Window(t, 0.0, 1.9, 0.02, 0.6) + noise * 0.5;
    }
    Add(&s, Thud(48, 0.5, 8), 1.55, 0.7);
    return Finish(Reverb(s, 0.2, 0.2, 0.7), 0.9);
}

const Formants kVowelA = {900, 1400, 2800};
const Formants kVowelChildA = {1050, 1650, 3300};
const Formants kVowelE = {530, 1850, 2500};
const Formants kVowelO = {480, 820, 2450};
const Formants kVowelU = {340, 640, 2300};
const Formants kL = {360, 1000, 2600};
const Formants kW = {320, 700, 2300};

Samples Scream() {
    Samples voice = Sing(1.3, 9, [](double t) {
        double rise = std::min(1.0, t / 0.15);
        double f0 = 700 + 420 * rise - std::max(0.0, t - 0.8) * 900;
        f0 *= 1 + 0.035 * std::sin(kTwoPi * 7 * t);
        VoiceFrame fr;
        fr.f0 = f0;
        fr.vowel = Blend(kVowelE, kVowelA, t / 0.2);
        fr.loud = Window(t, 0.0, 1.25, 0.06, 0.45);
        fr.breath = 0.25;
        return fr;
    });
    return Finish(Reverb(voice, 0.35, 0.5, 0.78), 0.85);
}

Samples Groan() {
    Samples voice = Sing(1.8, 10, [](double t) {
        VoiceFrame fr;
        fr.f0 = (96 - 18 * t / 1.8) * (1 + 0.04 * std::sin(kTwoPi * 3.3 * t));
        fr.vowel = Blend(kVowelO, kVowelU, (t - 0.6) / 0.9);
        fr.loud = Window(t, 0.0, 1.75, 0.25, 0.6) * (0.8 + 0.2 * std::sin(kTwoPi * 2.1 * t));
        fr.breath = 0.15 + 0.25 * std::max(0.0, t - 1.2);
        return fr;
    });
    // A rasp: every other glottal period weaker, as in a strained throat.
    for (size_t i = 0; i < voice.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        voice[i] *= 0.75 + 0.25 * std::sin(kTwoPi * 45 * t);
    }
    return Finish(Reverb(voice, 0.4, 0.6, 0.8), 0.85);
}

Samples ChildWail() {
    // A small voice wailing "waa-aah", doubled a fifth below for something not quite a child.
    auto shape = [](double ratio) {
        return [ratio](double t) {
            VoiceFrame fr;
            double contour =
                430 + 110 * std::sin(M_PI * std::min(1.0, t / 1.1)) - std::max(0.0, t - 1.1) * 200;
            fr.f0 = contour * ratio * (1 + 0.05 * std::sin(kTwoPi * 6.2 * t));
            fr.vowel = Blend(kW, kVowelChildA, (t - 0.05) / 0.2);
            fr.loud = Window(t, 0.0, 1.6, 0.1, 0.5) * (0.75 + 0.25 * std::sin(kTwoPi * 2.4 * t + 1));
            fr.breath = 0.2;
            return fr;
        };
    };
    Samples main = Sing(1.7, 11, shape(1.0));
    Samples low = Sing(1.7, 12, shape(0.667));
    for (size_t i = 0; i < main.size(); ++i)
        main[i] += low[i] * 0.35;
    return Finish(Reverb(main, 0.45, 0.7, 0.8), 0.8);
}

Samples CallForHelp() {
    // "He-e-elp!" from somewhere far off: breath, a long vowel, the l, a burst for the p.
    Samples voice = Sing(0.85, 13, [](double t) {
        VoiceFrame fr;
        double f0 = 210 + 60 * std::sin(M_PI * std::min(1.0, t / 0.6));
        fr.f0 = f0 * (1 + 0.02 * std::sin(kTwoPi * 5.5 * t));
        fr.vowel = t < 0.5 ? kVowelE : Blend(kVowelE, kL, (t - 0.5) / 0.12);
        fr.loud = Window(t, 0.02, 0.70, 0.06, 0.12);
        fr.breath = t < 0.09 ? 0.95 : 0.18;
        return fr;
    });
    AssetRng rng = SeedRng(14);
    Biquad burst;
    SetBandPass(&burst, 900, 800);
    size_t p0 = static_cast<size_t>(0.76 * kRate), p1 = static_cast<size_t>(0.80 * kRate);
    for (size_t i = p0; i < p1 && i < voice.size(); ++i) {
        double t = static_cast<double>(i - p0) / kRate;
        voice[i] += Run(&burst, Noise(&rng)) * 0.6 * std::exp(-t / 0.01);
    }
    Samples echoed = voice;
    Add(&echoed, voice, 0.32, 0.35); // the marsh throws it back
    return Finish(Reverb(echoed, 0.45, 0.6, 0.8), 0.75);
}

} // namespace

std::vector<double> MakeSound(int id) {
    switch (id) {
    case 0:
        return CursorTick();
    case 1:
        return RustyDoor();
    case 2:
        return OpenSlab();
    case 3:
        return Apparition();
    case 4:
        return SealChime();
    case 5:
        return PauseChime();
    case 6:
        return Death();
    case 7:
        return Scream();
    case 8:
        return Groan();
    case 9:
        return ChildWail();
    case 10:
        return CallForHelp();
    default:
        return {};
    }
}

} // namespace assets
