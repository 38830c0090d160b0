#pragma once

#include "platform/systeminfo.h"

#include <QString>
#include <QStringList>

namespace vartemo {

// The system information text of the information window, which the program
// log copies: product and build, installation folder, operating system,
// computer, user, processor, memory and the table of drives, one row a line.
QStringList BuildSystemInfo(const QString& productName, const QString& buildText, const QString& programFolder,
                            const SystemFacts& facts);

// "16 384 000" with a blank between thousands; 0 gives an empty text.
QString GroupedNumber(quint64 value);
QString DriveTypeText(DriveType type);

} // namespace vartemo
