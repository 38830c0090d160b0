// vartemo-port: drives a simulated parallel port of the timing station by
// hand. Start the station with --simulated-port FILE and use the same FILE.

#include "platform/simulatedport.h"
#include "sensors/lptinputs.h"
#include "platform/portchoice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>

using namespace vartemo;

namespace {

int Fail(const QString& message) {
    std::fprintf(stderr, "vartemo-port: %s\n", qPrintable(message));
    return 1;
}

QString Hex(int value) {
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

QString Bits(quint8 value) {
    return QStringLiteral("%1").arg(value, 8, 2, QLatin1Char('0'));
}

std::optional<int> Number(const QString& text, int base = 10) {
    bool ok = false;
    const int value = text.toInt(&ok, base);
    return ok ? std::optional<int>(value) : std::nullopt;
}

void PrintPort(SimulatedPort& port, quint16 base) {
    const quint8 data = port.data(base);
    const quint8 status = port.status(base);
    std::printf("port %s  data %s (%s)  status %s (%s)\n", qPrintable(Hex(base)),
                qPrintable(Hex(data)), qPrintable(Bits(data)), qPrintable(Hex(status)),
                qPrintable(Bits(status)));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vartemo-port"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Drives a simulated parallel port of the timing station (vartemo --simulated-port FILE).\n"
        "\n"
        "Commands:\n"
        "  show                  data and status register of every port in the file\n"
        "  kart N on|off         kart N's lap sensor (1 to 4: status bits 3 to 6)\n"
        "  pulse N [MS]          kart N in the sensor for MS ms (default 50), then out\n"
        "  start on|off          the external start button (status bit 7)\n"
        "  press [MS]            the start button pressed for MS ms (default 300)\n"
        "  idle                  every kart out of its sensor, the button released\n"
        "  status HEX            the whole status byte\n"
        "  data                  the data register (lights, pulse on bit 6)\n"
        "  watch [SECONDS]       print the data register at each change (default 60 s)"));
    parser.addHelpOption();
    const QCommandLineOption fileOption(QStringLiteral("port"),
                                        QStringLiteral("The simulated port file."),
                                        QStringLiteral("FILE"), SimulatedPort::DefaultPath());
    const QCommandLineOption baseOption(QStringLiteral("base"),
                                        QStringLiteral("Base address in hexadecimal (378 = LPT1)."),
                                        QStringLiteral("HEX"), QStringLiteral("378"));
    const QCommandLineOption activeLow(
        QStringLiteral("active-low"),
        QStringLiteral("Kart sensors pull their line low (the station's \"Negace vstupů\" off)."));
    parser.addOption(fileOption);
    parser.addOption(baseOption);
    parser.addOption(activeLow);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do."));
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return Fail(QStringLiteral("no command; see --help"));
    const std::optional<quint16> base =
        PortBaseFromChoice({.choice = 3, .baseText = parser.value(baseOption)});
    if (!base)
        return Fail(
            QStringLiteral("'%1' is not a port base address").arg(parser.value(baseOption)));
    QString error;
    const auto port = SimulatedPort::open(parser.value(fileOption), &error);
    if (!port)
        return Fail(error);

    const QString command = args[0];
    const auto argument = [&](int i) { return args.value(i); };
    const bool activeHigh = !parser.isSet(activeLow);

    auto kartBit = [&](const QString& text) -> std::optional<quint8> {
        const auto kart = Number(text);
        if (!kart || *kart < 1 || *kart > kLptKartCount)
            return std::nullopt;
        return quint8(1u << (kFirstKartBit + *kart - 1));
    };
    auto setKart = [&](quint8 bit, bool inSensor) {
        port->changeStatusBits(*base, bit, inSensor == activeHigh);
    };

    if (command == QLatin1String("show")) {
        for (quint16 b : port->bases())
            PrintPort(*port, b);
        return 0;
    }
    if (command == QLatin1String("kart") || command == QLatin1String("pulse")) {
        const auto bit = kartBit(argument(1));
        if (!bit)
            return Fail(QStringLiteral("kart must be 1 to 4"));
        if (command == QLatin1String("kart")) {
            const QString state = argument(2);
            if (state != QLatin1String("on") && state != QLatin1String("off"))
                return Fail(QStringLiteral("kart N on|off"));
            setKart(*bit, state == QLatin1String("on"));
        } else {
            const auto ms = args.size() > 2 ? Number(argument(2)) : std::optional<int>(50);
            if (!ms || *ms < 1 || *ms > 60000)
                return Fail(QStringLiteral("pulse length must be 1 to 60000 ms"));
            setKart(*bit, true);
            QThread::msleep(ulong(*ms));
            setKart(*bit, false);
        }
        PrintPort(*port, *base);
        return 0;
    }
    if (command == QLatin1String("start") || command == QLatin1String("press")) {
        if (command == QLatin1String("start")) {
            const QString state = argument(1);
            if (state != QLatin1String("on") && state != QLatin1String("off"))
                return Fail(QStringLiteral("start on|off"));
            port->changeStatusBits(*base, kStartButtonBit, state == QLatin1String("on"));
        } else {
            const auto ms = args.size() > 1 ? Number(argument(1)) : std::optional<int>(300);
            if (!ms || *ms < 1 || *ms > 60000)
                return Fail(QStringLiteral("press length must be 1 to 60000 ms"));
            port->changeStatusBits(*base, kStartButtonBit, true);
            QThread::msleep(ulong(*ms));
            port->changeStatusBits(*base, kStartButtonBit, false);
        }
        PrintPort(*port, *base);
        return 0;
    }
    if (command == QLatin1String("idle")) {
        port->setStatus(*base, activeHigh ? quint8(0x00) : quint8(0x78));
        PrintPort(*port, *base);
        return 0;
    }
    if (command == QLatin1String("status")) {
        const auto value = Number(argument(1), 16);
        if (!value || *value < 0 || *value > 0xFF)
            return Fail(QStringLiteral("status takes a byte in hexadecimal (00 to FF)"));
        port->setStatus(*base, quint8(*value));
        PrintPort(*port, *base);
        return 0;
    }
    if (command == QLatin1String("data")) {
        std::printf("%s\n", qPrintable(Hex(port->data(*base))));
        return 0;
    }
    if (command == QLatin1String("watch")) {
        const auto seconds = args.size() > 1 ? Number(argument(1)) : std::optional<int>(60);
        if (!seconds || *seconds < 1)
            return Fail(QStringLiteral("watch takes a number of seconds"));
        QElapsedTimer elapsed;
        elapsed.start();
        int last = -1;
        while (elapsed.elapsed() < qint64(*seconds) * 1000) {
            const int now = port->data(*base);
            if (now != last) {
                std::printf("%8.3f s  data %s (%s)\n", double(elapsed.elapsed()) / 1000.0,
                            qPrintable(Hex(now)), qPrintable(Bits(quint8(now))));
                std::fflush(stdout);
                last = now;
            }
            QThread::msleep(1);
        }
        return 0;
    }
    return Fail(QStringLiteral("unknown command '%1'; see --help").arg(command));
}
