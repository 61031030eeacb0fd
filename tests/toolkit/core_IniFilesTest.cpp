// The in-memory INI file: layout, case-insensitive matching, number formats and write errors.
#include "toolkit/IniFiles.h"

#include "platform/FileReplace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class IniFile : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const {
        return dir.path().toStdString() + "/" + name;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name));
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    long Files() const {
        const std::filesystem::directory_iterator files(dir.path().toStdString());
        return std::distance(begin(files), end(files));
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(IniFile, ReadsTheUsualLayoutMatchingSectionsAndKeysWithoutCase) {
    std::ofstream(Path("a.ini")) << "; comment\n[Product]\r\nVersion = 3.1 \r\n\n"
                                    "[sense]\nRatio=0.5\nratio=0.7\nbroken line\n";
    tk::TMemIniFile ini(Path("a.ini"));
    EXPECT_EQ(ini.ReadString("product", "VERSION", "?"), "3.1");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("Sense", "RATIO", 0), 0.5) << "the first of two equal keys";
    EXPECT_TRUE(ini.SectionExists("SENSE"));
    EXPECT_FALSE(ini.ValueExists("Sense", "broken line"));
    EXPECT_EQ(ini.ReadString("Nope", "Version", "dflt"), "dflt");
}

TEST_F(IniFile, AByteOrderMarkAndBlanksAroundASectionNameAreNotPartOfIt) {
    std::ofstream(Path("bom.ini"))
        << "\xEF\xBB\xBF[Sense]\nRatioFlo1=0.5\n[ Status ]\nSaveInt1=3\n";
    tk::TMemIniFile ini(Path("bom.ini"));
    EXPECT_DOUBLE_EQ(ini.ReadFloat("Sense", "RatioFlo1", 0), 0.5);
    EXPECT_EQ(ini.ReadInteger("Status", "SaveInt1", 0), 3);
}

TEST_F(IniFile, MissingOrUnparsableNumbersReadAsTheDefault) {
    tk::TMemIniFile ini(Path("missing.ini"));
    ini.WriteString("S", "Int", "12x");
    ini.WriteString("S", "Float", "1,5");
    ini.WriteString("S", "Empty", "");
    ini.WriteString("S", "Signed", " -7 ");
    EXPECT_EQ(ini.ReadInteger("S", "Int", 3), 3);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "Float", 2.5), 2.5);
    EXPECT_EQ(ini.ReadInteger("S", "Empty", 4), 4);
    EXPECT_EQ(ini.ReadInteger("S", "Signed", 0), -7);
    ini.WriteString("S", "Plus", "+8");
    ini.WriteString("S", "TwoSigns", "+-8");
    EXPECT_EQ(ini.ReadInteger("S", "Plus", 0), 8);
    EXPECT_EQ(ini.ReadInteger("S", "TwoSigns", 1), 1);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "TwoSigns", 1.5), 1.5);
    EXPECT_EQ(ini.ReadInteger("S", "Absent", 9), 9);
    ini.WriteString("S", "Bool", "2");
    EXPECT_TRUE(ini.ReadBool("S", "Bool", false)) << "non-zero is true";
    EXPECT_TRUE(ini.ReadBool("S", "Absent", true));
}

TEST_F(IniFile, WritesKeepTheFirstCaseAndReadBackWholeAfterUpdateFile) {
    {
        tk::TMemIniFile ini(Path("b.ini"));
        ini.WriteInteger("Sense", "CountInt1", 5);
        ini.WriteInteger("SENSE", "countint1", -6);
        ini.WriteBool("Status", "DirtyBoo1", true);
        ini.WriteFloat("Sense", "RatioDou1", 1.0 / 3.0);
        ini.WriteFloat("Sense", "TinyFlo1", 1e-20);
        ini.UpdateFile();
    }
    EXPECT_EQ(Read("b.ini"), "[Sense]\nCountInt1=-6\nRatioDou1=0.333333333333333\n"
                             "TinyFlo1=1e-20\n\n[Status]\nDirtyBoo1=1\n\n");
    tk::TMemIniFile again(Path("b.ini"));
    EXPECT_EQ(again.ReadInteger("sense", "COUNTINT1", 0), -6);
    EXPECT_DOUBLE_EQ(again.ReadFloat("Sense", "TinyFlo1", 0), 1e-20);
}

TEST_F(IniFile, FloatsUseAPointWhateverTheLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old != nullptr ? old : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        std::setlocale(LC_NUMERIC, "C");
    }
    tk::TMemIniFile ini(Path("c.ini"));
    ini.WriteFloat("S", "V", 0.25);
    EXPECT_EQ(ini.ReadString("S", "V", ""), "0.25");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "V", 0), 0.25);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST_F(IniFile, UpdateFileRaisesWhenTheFileCannotBeWritten) {
    tk::TMemIniFile ini(Path("no/such/dir/x.ini"));
    ini.WriteInteger("S", "V", 1);
    EXPECT_THROW(ini.UpdateFile(), tk::Exception);
}

namespace {

// Ways for a write to stop part-way, each set up in a child process before it writes.
void FailWritesPastTenBytes() {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{10, 10};
    setrlimit(RLIMIT_FSIZE, &limit);
}

void StopBeforeTheRename() {
    platform::SetReplaceFileTestHook([] { raise(SIGSTOP); });
}

} // namespace

// The old file stays byte for byte when a write fails or the writer is killed; a temporary file
// is removed on failure, and one left by a kill is neither read nor in the way of the next write.
TEST_F(IniFile, AnInterruptedUpdateFileLeavesTheOldFileWhole) {
    const struct {
        const char* name;
        void (*interrupt)();
        bool killed;
    } rows[] = {
        {"the write fails half-way", FailWritesPastTenBytes, false},
        {"killed between writing and renaming", StopBeforeTheRename, true},
    };
    const std::string old = "[S]\nV=old\n; kept as it was\n";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string name = std::string(row.killed ? "killed" : "failed") + ".ini";
        std::ofstream(Path(name)) << old;
        const long filesBefore = Files();
        const pid_t child = fork();
        if (child == 0) {
            tk::TMemIniFile ini(Path(name));
            ini.WriteString("S", "V", std::string(100, 'n'));
            row.interrupt();
            try {
                ini.UpdateFile();
            } catch (const tk::Exception&) {
                _exit(3);
            }
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, WUNTRACED);
        if (row.killed) {
            ASSERT_TRUE(WIFSTOPPED(status)) << "the writer stops before the rename";
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        } else {
            EXPECT_EQ(WEXITSTATUS(status), 3) << "the failure is raised";
        }
        EXPECT_EQ(Read(name), old);
        EXPECT_EQ(Files(), filesBefore + (row.killed ? 1 : 0)) << "only a kill leaves a temporary";
        tk::TMemIniFile ini(Path(name));
        EXPECT_EQ(ini.ReadString("S", "V", ""), "old");
        ini.WriteString("S", "V", "new");
        ini.UpdateFile();
        EXPECT_EQ(Read(name), "[S]\nV=new\n\n");
        EXPECT_EQ(Files(), filesBefore) << "the next write removes what a killed writer left";
    }
}
