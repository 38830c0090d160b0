#include "sound/defaultsounds.h"

#include "core/textfile.h"

#include <QDir>
#include <QtEndian>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace vartemo {

namespace {

constexpr int kRate = 22050;

std::vector<float> Chime() {
    // Three rising notes, each dying away.
    const double notes[] = {659.25, 783.99, 1046.5};
    const int noteLength = kRate * 3 / 10;
    std::vector<float> out(size_t(noteLength * 3 + kRate / 2), 0.0f);
    for (int n = 0; n < 3; ++n)
        for (int i = 0; i < noteLength + kRate / 2 && n * noteLength + i < int(out.size()); ++i) {
            const double t = double(i) / kRate;
            const double wave = std::sin(2 * std::numbers::pi * notes[n] * t) +
                                0.3 * std::sin(4 * std::numbers::pi * notes[n] * t);
            out[size_t(n * noteLength + i)] += float(0.35 * wave * std::exp(-4.0 * t));
        }
    return out;
}

std::vector<float> Applause() {
    // Many short claps at random moments: bursts of noise, each a few ms long.
    std::mt19937 random(20261210);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::uniform_int_distribution<int> moment(0, kRate * 5 / 2);
    std::vector<float> out(size_t(kRate * 3), 0.0f);
    for (int clap = 0; clap < 900; ++clap) {
        const int start = moment(random);
        const float loudness = 0.05f + 0.1f * (noise(random) + 1.0f);
        for (int i = 0; i < kRate / 100; ++i)
            out[size_t(start + i)] += loudness * noise(random) * std::exp(-float(i) / (kRate / 400.0f));
    }
    for (size_t i = 0; i < out.size(); ++i) {
        const float fade = std::min(1.0f, float(out.size() - i) / (kRate / 2.0f));
        out[i] = std::clamp(out[i] * fade, -1.0f, 1.0f);
    }
    return out;
}

void Put32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void Put16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

} // namespace

QByteArray WavFile(const std::vector<float>& samples, int rate) {
    const quint32 dataSize = quint32(samples.size() * 2);
    QByteArray out;
    out.append("RIFF");
    Put32(out, 36 + dataSize);
    out.append("WAVEfmt ");
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, quint32(rate));
    Put32(out, quint32(rate * 2));
    Put16(out, 2);
    Put16(out, 16);
    out.append("data");
    Put32(out, dataSize);
    for (float sample : samples)
        Put16(out, quint16(qint16(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f))));
    return out;
}

QString SuccessSoundPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("zvuky/success.wav"));
}

QString ApplauseSoundPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("zvuky/prg/applause.wav"));
}

bool WriteDefaultSounds(const QString& programFolder) {
    const bool success = writeFileIfMissing(SuccessSoundPath(programFolder), [] { return WavFile(Chime(), kRate); });
    const bool applause = writeFileIfMissing(ApplauseSoundPath(programFolder), [] { return WavFile(Applause(), kRate); });
    return success && applause;
}

} // namespace vartemo
