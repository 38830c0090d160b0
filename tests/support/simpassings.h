#pragma once

#include <QByteArray>
#include <QList>
#include <vector>

// The passings vartemo-sim printed, "PASS kart sensor delivered began", in ms
// since its start signal: the passing left between `began` and `delivered`
// (the sender's own call can be held up after the bytes are out).
struct SimPassing {
    int kart = 0;
    int sensor = 0;
    double deliveredMs = 0;
    double beganMs = 0;
};

// The least and the most time that can truly have passed from a to b.
inline double ShortestBetween(const SimPassing& a, const SimPassing& b) { return b.beganMs - a.deliveredMs; }
inline double LongestBetween(const SimPassing& a, const SimPassing& b) { return b.deliveredMs - a.beganMs; }

inline std::vector<SimPassing> ParseSimPassings(const QByteArray& output) {
    std::vector<SimPassing> passings;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> f = line.trimmed().split(' ');
        if (f.size() == 5 && f[0] == "PASS")
            passings.push_back({f[1].toInt(), f[2].toInt(), f[3].toDouble(), f[4].toDouble()});
    }
    return passings;
}
