#include "about/systeminfotext.h"

#include <QDir>

namespace vartemo {

QString GroupedNumber(quint64 value) {
    if (value == 0)
        return {};
    QString digits = QString::number(value);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u' ');
    return digits;
}

QString DriveTypeText(DriveType type) {
    switch (type) {
    case DriveType::NoRoot: return QStringLiteral("Nenaformátován");
    case DriveType::Removable: return QStringLiteral("Výměnný");
    case DriveType::Fixed: return QStringLiteral("Lokální");
    case DriveType::Remote: return QStringLiteral("Síťový");
    case DriveType::CdRom: return QStringLiteral("CD ROM");
    case DriveType::RamDisk: return QStringLiteral("RAM disk");
    case DriveType::Unknown: break;
    }
    return QStringLiteral("Neznámý typ");
}

namespace {
QString kilobytes(quint64 bytes) {
    return GroupedNumber(bytes / 1024) + QStringLiteral(" kB");
}
} // namespace

QStringList BuildSystemInfo(const QString& productName, const QString& buildText, const QString& programFolder,
                            const SystemFacts& f) {
    QStringList rows;
    rows << productName + u' ' + buildText;
    QString folder = QDir::toNativeSeparators(programFolder);
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    rows << QStringLiteral("Program instalován do: ") + folder << QString();

    QString system = QStringLiteral("Systém:\t") + f.productName;
    if (f.majorVersion == 5 && f.minorVersion == 2)
        system += QStringLiteral(" x64");
    rows << system << u'\t' + f.servicePack
         << QStringLiteral("\t%1.%2 (%3)").arg(f.majorVersion).arg(f.minorVersion).arg(f.buildNumber) << QString();

    QString fixes = QStringLiteral("Opravné balíčky: ");
    for (const QString& fix : f.hotFixes)
        fixes += fix + u';';
    rows << fixes << QString();

    rows << QStringLiteral("Jméno počítače:\t") + f.hostName << QStringLiteral("Vlastní IP adresa: \t") + f.ipAddress
         << QString();
    rows << QStringLiteral("Přihlášený uživatel:\t") + f.logonUser << QStringLiteral("Reg. uživatel:\t") + f.registeredOwner
         << QStringLiteral("Organizace:\t") + f.organisation << QStringLiteral("ID:\t\t") + f.productId << QString();

    const QString indent(8, u' ');
    const ProcessorFacts cpu = f.processor.value_or(ProcessorFacts{});
    rows << QStringLiteral("Procesor:") << cpu.name << indent + cpu.vendor << indent + cpu.identifier
         << indent + (f.processor ? QStringLiteral("%1 MHz").arg(cpu.mhz) : QString()) << QString();

    rows << QStringLiteral("Fyzická pamět celkem:\t") + kilobytes(f.totalPhysical)
         << QStringLiteral("Fyzická volná pamět:\t") + kilobytes(f.freePhysical)
         << QStringLiteral("Celková pamět systému:\t") + kilobytes(f.totalVirtual)
         << QStringLiteral("Volná celková pamět:\t") + kilobytes(f.freeVirtual) << QString();

    rows << QStringLiteral("Disk\t  Typ\tSystem\tVelikost\tVolné místo");
    for (const DriveFacts& d : f.drives) {
        if (d.floppy) {
            rows << d.root;
            continue;
        }
        rows << QStringList{d.root, DriveTypeText(d.type), d.fileSystem,
                            GroupedNumber(d.totalBytes >> 30) + QStringLiteral(" GB"),
                            GroupedNumber(d.freeBytes >> 20) + QStringLiteral(" MB")}
                    .join(u'\t');
    }
    return rows;
}

} // namespace vartemo
