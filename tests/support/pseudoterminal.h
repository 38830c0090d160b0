#pragma once

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// A real pseudo-terminal pair for serial tests: the station (or the
// simulator) opens the terminal side by its path, the test reads and writes
// the other side. Closed when the fixture goes.
struct PseudoTerminal {
    int master = -1;
    int slave = -1;
    QString slavePath;

    PseudoTerminal() {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0)
            slavePath = QString::fromLocal8Bit(name);
    }
    ~PseudoTerminal() {
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool isOpen() const { return !slavePath.isEmpty(); }

    // Bytes pass unchanged (no line-end translation on the way).
    void makeRaw() const {
        termios raw{};
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
    }

    // Bytes as the sensor sends them.
    void write(const QByteArray& bytes) const {
        ASSERT_EQ(::write(master, bytes.constData(), size_t(bytes.size())), bytes.size());
    }
};
