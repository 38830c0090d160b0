#pragma once

#include <QUdpSocket>

// A UDP port that is free on this machine now (bound on loopback and released).
inline quint16 FreeUdpPort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}
