#pragma once

// A pyftpdlib server on 127.0.0.1 for one test, in a folder of its own, with
// the extras of ftp_test_server.py switched on by options.

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace vartemo::test {

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class FtpTestServer {
public:
    static constexpr const char* kUser = "vysledky";
    static constexpr const char* kPassword = "Qx7-heslo-Zr9";

    // Extra options of the script (--proxy, --gateway, --no-226 ...).
    explicit FtpTestServer(QStringList options = {}) {
        const QString python = QStringLiteral(VARTEMO_FTP_PYTHON);
        if (python.isEmpty()) {
            ADD_FAILURE() << "no python3 with pyftpdlib was found when the build was configured";
            return;
        }
        QDir(dir_.path()).mkpath(QStringLiteral("root"));
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(python, QStringList{QStringLiteral(VARTEMO_FTP_SERVER_PY), QStringLiteral("--root"), root(),
                                           QStringLiteral("--user"), QString::fromLatin1(kUser),
                                           QStringLiteral("--password"), QString::fromLatin1(kPassword),
                                           QStringLiteral("--commands"), commandsPath(),
                                           QStringLiteral("--proxy-log"), proxyLogPath()}
                                   + options);
        while (process_.waitForReadyRead(10000) || process_.canReadLine()) {
            while (process_.canReadLine()) {
                const QList<QByteArray> words = process_.readLine().trimmed().split(' ');
                if (words.value(0) == "FTP")
                    port_ = words.value(1).toInt();
                else if (words.value(0) == "PROXY")
                    proxyPort_ = words.value(1).toInt();
                else if (words.value(0) == "READY")
                    return;
            }
        }
        ADD_FAILURE() << "the FTP test server did not start";
    }
    ~FtpTestServer() {
        process_.kill();
        process_.waitForFinished(5000);
    }

    int port() const { return port_; }
    int proxyPort() const { return proxyPort_; }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    QString root() const { return dir_.filePath(QStringLiteral("root")); }
    QString file(const QString& relative) const { return root() + u'/' + relative; }
    // Every command line the server received, passwords masked.
    QStringList commands() const {
        return QString::fromUtf8(ReadAll(commandsPath())).split(u'\n', Qt::SkipEmptyParts);
    }
    // Logins seen: one per control connection.
    int logins() const { return int(commands().filter(QRegularExpression(QStringLiteral("^USER "))).size()); }
    QStringList proxyLog() const {
        return QString::fromUtf8(ReadAll(proxyLogPath())).split(u'\n', Qt::SkipEmptyParts);
    }
    // Every file under the root, relative, sorted.
    QStringList files() const {
        QStringList found;
        QDirIterator it(root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(root()).relativeFilePath(it.next());
        found.sort();
        return found;
    }

private:
    QString commandsPath() const { return dir_.filePath(QStringLiteral("commands.txt")); }
    QString proxyLogPath() const { return dir_.filePath(QStringLiteral("proxy.txt")); }

    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
    int proxyPort_ = 0;
};

} // namespace vartemo::test
