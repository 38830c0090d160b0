#pragma once

#include <QString>
#include <QStringView>

namespace vartemo::czech {

// A counted noun in Czech: 1 soubor, 2 to 4 soubory, every other count
// (0, 5 and more, 21, 22, ...) souborů. Written numbers take the form of the
// whole count, not of its last digit.
QStringView pluralForm(qint64 count, QStringView one, QStringView twoToFour, QStringView other);

// The count and its noun: counted(3, u"soubor", u"soubory", u"souborů") is
// "3 soubory".
QString counted(qint64 count, QStringView one, QStringView twoToFour, QStringView other);

} // namespace vartemo::czech
