#pragma once

#include "fleet/kartfleet.h"
#include "support/filebytes.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vartemo::testing {

// A fleet over a stav.ini in a temporary folder, logging into a list, with
// the clock at 14:03:27 and "Admin" at the station.
class FleetTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("stav.ini"));
    QStringList log;
    KartFleet fleet{path, KartFleet::Hooks{
                              .addLogEntry = [this](const QString& line) { log << line; },
                              .currentOperator = [] { return QStringLiteral("Admin"); },
                              .now = [] { return QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27)); },
                          }};

    void writeFile(const QByteArray& bytes) { writeBytes(path, bytes); }
    // Loads a file holding only the driven time of the karts given.
    void loadDriven(const std::map<int, QString>& driven) {
        QByteArray bytes;
        for (const auto& [kart, text] : driven)
            bytes += "[Motokara" + QByteArray::number(kart) + "]\r\nNajeto=" + text.toLatin1() + "\r\n";
        writeFile(bytes);
        fleet.LoadKartStatus();
        fleet.RefreshKartTotals();
    }
    static std::array<int, kFleetKarts> ride(std::initializer_list<int> minutes) {
        std::array<int, kFleetKarts> r{};
        std::copy(minutes.begin(), minutes.end(), r.begin());
        return r;
    }
};

} // namespace vartemo::testing
