#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace vartemo {

// The two sounds a fresh installation gets, made by the program itself:
// "zvuky/success.wav" (a rising chime) and "zvuky/prg/applause.wav" (a
// crowd's clapping). Existing files are never replaced. Returns false when
// a missing one could not be written.
bool WriteDefaultSounds(const QString& programFolder);

// 16-bit mono PCM WAV of the samples (-1..1) at the rate.
QByteArray WavFile(const std::vector<float>& samples, int rate);

QString SuccessSoundPath(const QString& programFolder);
QString ApplauseSoundPath(const QString& programFolder);

} // namespace vartemo
