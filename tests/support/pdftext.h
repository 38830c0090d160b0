#pragma once

#include <QProcess>
#include <QString>

// The text of a PDF file as pdftotext lays it out.
inline QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30'000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
