// The stand-in for the shell's "open": programs started detached, documents opened with the
// desktop's default application when the named program does not exist here.
#include "platform/Shell.h"
#include "tests/control/support/DriverProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// A temporary directory of fake programs, put first on PATH, each writing its arguments to a
// file named after it.
class FakePrograms {
public:
    FakePrograms() : itsOldPath(std::getenv("PATH") ? std::getenv("PATH") : "") {
        setenv("PATH", (Dir() + ":" + itsOldPath).c_str(), 1);
    }
    ~FakePrograms() { setenv("PATH", itsOldPath.c_str(), 1); }

    std::string Dir() const { return itsDir.path().toStdString(); }
    std::string Add(const std::string& name, const std::string& before = "") {
        const std::string path = Dir() + "/" + name;
        QFile file(QString::fromStdString(path));
        file.open(QIODevice::WriteOnly);
        file.write(("#!/bin/sh\n" + before + "for a in \"$@\"; do echo \"$a\"; done > \"" + path +
                    ".args\"\n")
                       .c_str());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    // The arguments the program received, one a line; "" until it ran.
    std::string ArgsOf(const std::string& name) const {
        QFile file(QString::fromStdString(Dir() + "/" + name + ".args"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
    }

private:
    QTemporaryDir itsDir;
    std::string itsOldPath;
};

} // namespace

TEST(Shell, ParametersSplitAtBlanksAndKeepQuotedParts) {
    using V = std::vector<std::string>;
    EXPECT_EQ(platform::SplitParameters("\"/a b/User Manual.pdf\""), V{"/a b/User Manual.pdf"});
    EXPECT_EQ(platform::SplitParameters("one  two\tthree"), (V{"one", "two", "three"}));
    EXPECT_EQ(platform::SplitParameters(""), V{});
    EXPECT_EQ(platform::SplitParameters("\"\""), V{""});
    EXPECT_EQ(platform::SplitParameters("a\"b c\"d"), V{"ab cd"});
}

TEST(Shell, ProgramByPathStartsWithoutWaiting) {
    FakePrograms fakes;
    const std::string driver = fakes.Add("QUILBEX_Driver.exe", "sleep 1\n");
    QElapsedTimer elapsed;
    elapsed.start();
    platform::SystemShell().Open(driver, "started");
    EXPECT_LT(elapsed.elapsed(), 500);
    EXPECT_TRUE(WaitFor([&] { return fakes.ArgsOf("QUILBEX_Driver.exe") == "started\n"; }));
}

TEST(Shell, NamedProgramOnThePathGetsTheQuotedDocument) {
    FakePrograms fakes;
    fakes.Add("acrord32.exe");
    fakes.Add("xdg-open");
    platform::SystemShell().Open("acrord32.exe", "\"/docs/User Manual.pdf\"");
    EXPECT_TRUE(WaitFor([&] { return fakes.ArgsOf("acrord32.exe") == "/docs/User Manual.pdf\n"; }));
    EXPECT_EQ(fakes.ArgsOf("xdg-open"), "");
}

TEST(Shell, MissingProgramOpensTheDocumentWithTheDefaultApplication) {
    FakePrograms fakes;
    fakes.Add("xdg-open");
    platform::SystemShell().Open("notepad-that-does-not-exist.exe", "\"/x/License.txt\"");
    EXPECT_TRUE(WaitFor([&] { return fakes.ArgsOf("xdg-open") == "/x/License.txt\n"; }));
}

TEST(Shell, MissingProgramPathDoesNothing) {
    FakePrograms fakes;
    fakes.Add("xdg-open");
    platform::SystemShell().Open(fakes.Dir() + "/QUILBEX_Driver.exe", "");
    PumpEvents(200);
    EXPECT_EQ(fakes.ArgsOf("xdg-open"), "");
}
