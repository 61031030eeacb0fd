#include "tests/control/support/DriverProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <charconv>
#include <cstdlib>

DriverProcess::DriverProcess(Role role) : itsRole(role) {
    itsProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

DriverProcess::~DriverProcess() {
    Stop();
}

std::string DriverProcess::ProgramPath() {
    return QUILBEX_DRIVER_PATH;
}

std::string DriverProcess::IniPath() const {
    return itsDir.filePath("QUILBEX.INI").toStdString();
}

bool DriverProcess::Start(int timeoutMs) {
    QStringList args{"--scripted", "--ini", QString::fromStdString(IniPath())};
    if (itsRole == Role::Slave)
        args << "--slave";
    itsProcess.start(QString::fromStdString(ProgramPath()), args);
    if (!itsProcess.waitForStarted(timeoutMs))
        return false;
    itsGreeting = ReadLine(timeoutMs);
    return itsGreeting == (itsRole == Role::Master ? "ready master" : "ready slave");
}

std::string DriverProcess::ReadLine(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!itsProcess.canReadLine()) {
        if (itsProcess.state() != QProcess::Running && itsProcess.bytesAvailable() == 0)
            return "";
        if (deadline.hasExpired())
            return "";
        itsProcess.waitForReadyRead(
            static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    }
    return itsProcess.readLine().trimmed().toStdString();
}

std::string DriverProcess::Command(const std::string& line, int timeoutMs) {
    if (!Running())
        return "";
    itsProcess.write(QByteArray::fromStdString(line + "\n"));
    itsProcess.waitForBytesWritten(timeoutMs);
    return ReadLine(timeoutMs);
}

bool DriverProcess::Set(const std::string& sec, const std::string& name, const std::string& value) {
    return Command("set " + sec + " " + name + " " + value) == "ok";
}

bool DriverProcess::SetSilent(const std::string& sec, const std::string& name,
                              const std::string& value) {
    return Command("setx " + sec + " " + name + " " + value) == "ok";
}

std::string DriverProcess::Get(const std::string& sec, const std::string& name, int index) {
    const std::string reply = Command("get " + sec + " " + name + " " + std::to_string(index));
    return reply.rfind("value ", 0) == 0 ? reply.substr(6) : "";
}

int DriverProcess::GetInt(const std::string& sec, const std::string& name, int index) {
    const std::string text = Get(sec, name, index);
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

float DriverProcess::GetFloat(const std::string& sec, const std::string& name, int index) {
    const std::string text = Get(sec, name, index);
    float value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

bool DriverProcess::GetBool(const std::string& sec, const std::string& name, int index) {
    return Get(sec, name, index) == "1";
}

int DriverProcess::Acted(const std::string& command) {
    const std::string reply = Command("acted " + command);
    int value = -1;
    if (reply.rfind("value ", 0) == 0)
        std::from_chars(reply.data() + 6, reply.data() + reply.size(), value);
    return value;
}

bool DriverProcess::Live(bool on) {
    return Command(on ? "live on" : "live off") == "ok";
}

bool DriverProcess::TrackDirty(bool on) {
    return Command(on ? "dirty on" : "dirty off") == "ok";
}

bool DriverProcess::Running() const {
    return itsProcess.state() == QProcess::Running;
}

void DriverProcess::Kill() {
    itsProcess.kill();
    itsProcess.waitForFinished(5000);
}

bool DriverProcess::WaitForExit(int timeoutMs) {
    if (itsProcess.state() == QProcess::NotRunning)
        return true;
    return itsProcess.waitForFinished(timeoutMs);
}

void DriverProcess::Stop() {
    if (itsProcess.state() == QProcess::NotRunning)
        return;
    itsProcess.closeWriteChannel();
    if (!itsProcess.waitForFinished(5000)) {
        itsProcess.kill();
        itsProcess.waitForFinished(5000);
    }
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

void PumpEvents(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
}
