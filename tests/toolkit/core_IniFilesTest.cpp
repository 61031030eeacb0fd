// The in-memory INI file: layout, case-insensitive matching, number formats and write errors.
#include "toolkit/IniFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <initializer_list>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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
    // Sets S/V to `value` and saves the file in a forked child, after `prepare` (false: exit 2).
    // Returns the child's wait status: exit 0 when saved, 3 when the save raised.
    static int SaveInChild(const std::string& path, const std::string& value,
                           const std::function<bool()>& prepare) {
        const pid_t child = fork();
        if (child == 0) {
            if (!prepare()) {
                _exit(2);
            }
            try {
                tk::TMemIniFile ini(path);
                ini.WriteString("S", "V", value);
                ini.UpdateFile();
            } catch (const tk::Exception&) {
                _exit(3);
            }
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return status;
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

// A file too large to hold is refused as an unreadable one is, so its caller never writes
// defaults over it.
TEST_F(IniFile, AFileLargerThanTheCeilingIsRefusedLikeAnUnreadableOne) {
    std::ofstream(Path("large.ini")) << "[S]\nV=1\n";
    std::filesystem::resize_file(Path("large.ini"), tk::TMemIniFile::kMaxFileSize + 1);
    EXPECT_THROW(tk::TMemIniFile ini(Path("large.ini")), tk::Exception);
    EXPECT_EQ(std::filesystem::file_size(Path("large.ini")), tk::TMemIniFile::kMaxFileSize + 1);
}

namespace {

// Ways for a write to stop part-way, each set up in a child process before it writes.
void FailWritesPastTenBytes() {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{10, 10};
    setrlimit(RLIMIT_FSIZE, &limit);
}

// Kills the process at its first call of any of `calls`, as a crash at that point would.
void KillAtFirstCallOf(std::initializer_list<long> calls) {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    std::vector<sock_filter> filter{BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
    for (const long call : calls) {
        filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<__u32>(call), 0, 1));
        filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS));
    }
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    const sock_fprog program{static_cast<unsigned short>(filter.size()), filter.data()};
    prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program);
}

void KillBeforeTheRename() {
    KillAtFirstCallOf({SYS_rename, SYS_renameat, SYS_renameat2, SYS_linkat});
}

// Where the new file is given a mode, it must not yet be open to others.
void KillWhereTheNewFileGetsItsMode() {
    KillAtFirstCallOf({SYS_fchmod, SYS_fchmodat, SYS_chmod});
}

} // namespace

// The old file stays byte for byte when a write fails or the writer is killed, and nothing is
// left beside it that fills the disk or that others may read.
TEST_F(IniFile, AnInterruptedUpdateFileLeavesTheOldFileWhole) {
    const struct {
        const char* name;
        void (*interrupt)();
        bool killed;
    } rows[] = {
        {"the write fails half-way", FailWritesPastTenBytes, false},
        {"killed between writing and renaming", KillBeforeTheRename, true},
        {"killed where the new file gets its mode", KillWhereTheNewFileGetsItsMode, true},
    };
    const std::string old = "[S]\nV=old\n; kept as it was\n";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string name = std::string(row.name) + ".ini";
        std::ofstream(Path(name)) << old;
        std::filesystem::permissions(Path(name), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_write);
        const long filesBefore = Files();
        const int status = SaveInChild(Path(name), std::string(100, 'n'), [&] {
            row.interrupt();
            return true;
        });
        if (row.killed) {
            EXPECT_TRUE(WIFSIGNALED(status)) << "the writer is killed";
        } else {
            EXPECT_EQ(WEXITSTATUS(status), 3) << "the failure is raised";
        }
        EXPECT_EQ(Read(name), old);
        EXPECT_EQ(Files(), filesBefore) << "nothing is left beside the file";
        tk::TMemIniFile ini(Path(name));
        EXPECT_EQ(ini.ReadString("S", "V", ""), "old");
        ini.WriteString("S", "V", "new");
        ini.UpdateFile();
        EXPECT_EQ(Read(name), "[S]\nV=new\n\n");
    }
}

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;
constexpr gid_t kSharedGroup = 4242;

enum class Writer { Root, Nobody, NobodyInTheGroup };

// Gives up root for good: the process runs as nobody, a member of `groups` only.
bool BecomeNobody(const std::vector<gid_t>& groups) {
    return setgroups(groups.size(), groups.data()) == 0 &&
           setresgid(kNoGroup, kNoGroup, kNoGroup) == 0 &&
           setresuid(kNobody, kNobody, kNobody) == 0;
}

bool BecomeWriter(Writer writer) {
    return writer == Writer::Root ||
           BecomeNobody(writer == Writer::Nobody ? std::vector<gid_t>{}
                                                 : std::vector{kSharedGroup});
}

} // namespace

// A save keeps to the file's rules and its folder's: a file the writer may not read is not
// written over, one it may not write is refused, a FIFO is refused without waiting, a file in a
// folder it may not write, or another user's file in a sticky folder, is written in place, a
// member of the file's group keeps the group, and the file keeps its mode.
TEST_F(IniFile, UpdateFileKeepsTheFilesRules) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root, to write as another user";
    }
    const struct {
        const char* name;
        Writer writer;
        mode_t folderMode;
        mode_t fileMode;
        bool fifo;
        bool saved;
    } rows[] = {
        {"a file it may write but not read", Writer::Nobody, 0777, 0222, false, false},
        {"a read-only file", Writer::Nobody, 0777, 0444, false, false},
        {"a FIFO", Writer::Nobody, 0777, 0666, true, false},
        {"a file in a read-only folder", Writer::Nobody, 0755, 0666, false, true},
        {"another user's file in a sticky folder", Writer::Nobody, 01777, 0666, false, true},
        {"a member of the file's group", Writer::NobodyInTheGroup, 0777, 0664, false, true},
        {"a read-only file root may write", Writer::Root, 0755, 0444, false, true},
    };
    chmod(dir.path().toUtf8().constData(), 0755);
    const std::string old = "[S]\nV=old\n";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string folder = Path(row.name);
        const std::string name = std::string(row.name) + "/x.ini";
        mkdir(folder.c_str(), 0700);
        chmod(folder.c_str(), row.folderMode);
        if (row.fifo) {
            mkfifo(Path(name).c_str(), 0600);
        } else {
            std::ofstream(Path(name)) << old;
        }
        chown(Path(name).c_str(), 0, kSharedGroup);
        chmod(Path(name).c_str(), row.fileMode);
        const int status = SaveInChild(Path(name), "new", [&] {
            alarm(5); // ends a reader that waits on the FIFO
            return BecomeWriter(row.writer);
        });
        EXPECT_TRUE(WIFEXITED(status)) << "the writer ends on its own";
        EXPECT_EQ(WEXITSTATUS(status), row.saved ? 0 : 3) << "saved, or raised";
        struct stat info {};
        ASSERT_EQ(stat(Path(name).c_str(), &info), 0);
        EXPECT_EQ(S_ISFIFO(info.st_mode), row.fifo);
        EXPECT_EQ(info.st_mode & 07777, row.fileMode);
        EXPECT_EQ(info.st_gid, kSharedGroup);
        EXPECT_EQ(info.st_uid, row.writer == Writer::NobodyInTheGroup ? kNobody : 0)
            << "an owner the writer may not give";
        if (!row.fifo) {
            EXPECT_EQ(Read(name), row.saved ? "[S]\nV=new\n\n" : old);
        }
    }
}
