#include "tests/control/support/VirtualDisplay.h"

#include <QFile>
#include <QRandomGenerator>

namespace {

// One MIT-MAGIC-COOKIE-1 entry for any address and display number (family "wild"), in the
// Xauthority layout: each field a big-endian 16-bit length, then its bytes.
bool WriteCookieFile(const QString& path) {
    auto field = [](const QByteArray& bytes) {
        const auto n = static_cast<unsigned>(bytes.size());
        return QByteArray(1, static_cast<char>(n >> 8)) + static_cast<char>(n & 0xff) + bytes;
    };
    QByteArray cookie(16, '\0');
    for (char& byte : cookie)
        byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(QByteArray("\xff\xff", 2) + field({}) + field({}) +
                      field("MIT-MAGIC-COOKIE-1") + field(cookie)) > 0;
}

} // namespace

VirtualDisplay::VirtualDisplay(Access access) {
    // The server writes the display number it took to its standard output.
    QStringList args{"-displayfd", "1", "-nolisten", "tcp"};
    if (access == Access::RequireAuth) {
        const QString cookieFile = itsDir.filePath("cookie");
        if (!WriteCookieFile(cookieFile))
            return;
        args << "-auth" << cookieFile;
    }
    itsServer.setStandardErrorFile(QProcess::nullDevice());
    itsServer.start("Xvfb", args);
    while (itsServer.waitForReadyRead(10000) && !itsServer.canReadLine()) {
    }
    const QByteArray number = itsServer.readLine().trimmed();
    if (!number.isEmpty())
        itsName = ":" + number.toStdString();
}

VirtualDisplay::~VirtualDisplay() {
    Stop();
}

void VirtualDisplay::Stop() {
    if (itsServer.state() != QProcess::NotRunning) {
        itsServer.terminate();
        if (!itsServer.waitForFinished(5000))
            itsServer.kill();
        itsServer.waitForFinished(5000);
    }
    itsName.clear();
}
