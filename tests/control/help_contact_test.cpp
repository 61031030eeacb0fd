// The contact page: the stored files it writes beside the program and the web view's
// navigations as its tab is entered and left.
#include "control/KXB3_Contact.h"
#include "tests/control/support/DriverProcess.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::string RecordContent(const TEmbeddedFile& file) {
    return {reinterpret_cast<const char*>(file.content), static_cast<size_t>(file.length)};
}

class ContactFiles : public testing::Test {
protected:
    std::string Dir() const { return itsDir.path().toStdString() + "/"; }
    fs::path PathOf(const std::string& name) const { return fs::path(Dir()) / name; }

    QTemporaryDir itsDir;
};

} // namespace

TEST_F(ContactFiles, RecordsHoldTheSourceFilesByteForByte) {
    const fs::path sources = QUILBEX_STORED_FILES_DIR;
    ASSERT_EQ(EmbeddedFileCount, 3);
    const char* names[] = {"Contact Page.htm", "image1.jpg", "License.txt"};
    const char* subdirectories[] = {"", "images", ""};
    for (int i = 0; i < EmbeddedFileCount; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_STREQ(EmbeddedFiles[i].name, names[i]);
        EXPECT_STREQ(EmbeddedFiles[i].subdirectory, subdirectories[i]);
        EXPECT_EQ(RecordContent(EmbeddedFiles[i]), ReadFile(sources / names[i]));
    }
    // The page: CR LF line ends, two blanks before "src", an empty line at the end.
    EXPECT_EQ(RecordContent(EmbeddedFiles[0]),
              "<html>\r\n<head>\r\n</head>\r\n<body>\r\n"
              "<img  src=\"./images/image1.jpg\" width=\"100%\" height=\"100%\">\r\n"
              "</body>\r\n</html>\r\n\r\n");
    EXPECT_EQ(EmbeddedFiles[0].length, 114);
    // A JFIF picture.
    EXPECT_EQ(RecordContent(EmbeddedFiles[1]).substr(0, 4), "\xFF\xD8\xFF\xE0");
    EXPECT_EQ(RecordContent(EmbeddedFiles[1]).substr(6, 4), "JFIF");
}

TEST_F(ContactFiles, StartReplacesOlderCopiesAndCreatesTheImagesDirectory) {
    WriteFile(PathOf("Contact Page.htm"), std::string(500, 'x'));
    WriteFile(PathOf("License.txt"), "an older licence");
    ASSERT_FALSE(fs::exists(PathOf("images")));

    TKXBW3_Contact page(nullptr, Dir());

    EXPECT_EQ(fs::file_size(PathOf("Contact Page.htm")), 114u);
    EXPECT_EQ(ReadFile(PathOf("Contact Page.htm")), RecordContent(EmbeddedFiles[0]));
    EXPECT_TRUE(fs::is_directory(PathOf("images")));
    EXPECT_EQ(ReadFile(PathOf("images/image1.jpg")), RecordContent(EmbeddedFiles[1]));
    EXPECT_EQ(ReadFile(PathOf("License.txt")), RecordContent(EmbeddedFiles[2]));
    EXPECT_EQ(page.GetPagePath(), Dir() + "Contact Page.htm");
}

TEST_F(ContactFiles, ReadOnlyLicenceSurvivesWhileTheOthersAreRewritten) {
    WriteFile(PathOf("License.txt"), "kept by the user");
    fs::permissions(PathOf("License.txt"), fs::perms::owner_read | fs::perms::group_read);
    WriteFile(PathOf("Contact Page.htm"), "old");

    TKXBW3_Contact page(nullptr, Dir());

    EXPECT_EQ(ReadFile(PathOf("License.txt")), "kept by the user");
    EXPECT_EQ(ReadFile(PathOf("Contact Page.htm")), RecordContent(EmbeddedFiles[0]));
    EXPECT_EQ(ReadFile(PathOf("images/image1.jpg")), RecordContent(EmbeddedFiles[1]));
}

TEST_F(ContactFiles, OneRecordThatCannotBeWrittenDoesNotStopTheOthers) {
    WriteFile(PathOf("images"), "a file where the directory should be");

    TKXBW3_Contact page(nullptr, Dir());

    EXPECT_EQ(ReadFile(PathOf("images")), "a file where the directory should be");
    EXPECT_EQ(ReadFile(PathOf("Contact Page.htm")), RecordContent(EmbeddedFiles[0]));
    EXPECT_EQ(ReadFile(PathOf("License.txt")), RecordContent(EmbeddedFiles[2]));
}

// Each file is written whole or not at all: a full disk (here a file-size limit that the picture
// exceeds) keeps the old copy whole. A FIFO in a file's place is left alone rather than written
// into (its reader is kept open here, so that a write would be seen instead of blocking the start),
// and the view neither blocks on it as the page nor as the picture.
TEST_F(ContactFiles, AFullDiskKeepsTheOldCopyWholeAndAFifoIsLeftAlone) {
    const struct {
        const char* name;
        const char* fifo;
        rlim_t sizeLimit;
    } rows[] = {
        {"a full disk", nullptr, 8192},
        {"a FIFO named License.txt", "License.txt", RLIM_INFINITY},
        {"a FIFO named Contact Page.htm", "Contact Page.htm", RLIM_INFINITY},
        {"a FIFO named image1.jpg", "images/image1.jpg", RLIM_INFINITY},
    };
    const auto relativePath = [](const TEmbeddedFile& file) {
        return (fs::path(file.subdirectory) / file.name).string();
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string dir = Dir() + row.name + "/";
        fs::create_directories(dir + "images");
        for (const TEmbeddedFile& file : EmbeddedFiles) {
            if (row.fifo == nullptr || row.fifo != relativePath(file))
                WriteFile(fs::path(dir) / relativePath(file), "old copy");
        }
        int reader = -1;
        if (row.fifo != nullptr) {
            ASSERT_EQ(mkfifo((dir + row.fifo).c_str(), 0600), 0);
            reader = open((dir + row.fifo).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        }
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{std::min(row.sizeLimit, saved.rlim_max), saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
        alarm(10); // a start that blocks ends the test as a failure instead of hanging
        {
            TKXBW3_Contact page(nullptr, dir);
            page.WebBrowser->Widget()->grab(); // the view lays the page out with its picture
        }
        alarm(0);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        for (const TEmbeddedFile& file : EmbeddedFiles) {
            SCOPED_TRACE(file.name);
            const fs::path path = fs::path(dir) / relativePath(file);
            if (row.fifo != nullptr && row.fifo == relativePath(file)) {
                EXPECT_TRUE(fs::is_fifo(path));
                char byte = 0;
                EXPECT_LE(read(reader, &byte, 1), 0) << "nothing is written into the FIFO";
            } else if (static_cast<rlim_t>(file.length) > row.sizeLimit) {
                EXPECT_TRUE(ReadFile(path) == "old copy") << "the old copy stays whole";
            } else {
                EXPECT_EQ(ReadFile(path), RecordContent(file));
            }
        }
        if (reader >= 0)
            close(reader);
    }
}

TEST_F(ContactFiles, RecordsWithEmptyOrNegativeLength) {
    const unsigned char none[] = {0};
    WriteFile(PathOf("empty.txt"), "old");
    WriteFile(PathOf("negative.txt"), "old");
    TKXBW3_Contact page(nullptr, Dir());

    page.WriteEmbeddedFile({"empty.txt", "", 0, none});
    page.WriteEmbeddedFile({"negative.txt", "", -1, none});

    EXPECT_TRUE(fs::exists(PathOf("empty.txt")));
    EXPECT_EQ(fs::file_size(PathOf("empty.txt")), 0u);
    EXPECT_EQ(ReadFile(PathOf("negative.txt")), "old");
}

TEST_F(ContactFiles, ViewNavigatesAtStartOnTheFirstTickAndOnEachTabChangeAcrossTicks) {
    TKXBW3_Contact page(nullptr, Dir());
    tk::TWebBrowser* view = page.WebBrowser;
    EXPECT_EQ(view->GetNavigateCount(), 1);
    EXPECT_EQ(view->GetLocationName(), Dir() + "Contact Page.htm");

    // Created as if disabled, so the first tick with the tab shown navigates once more.
    page.SlowTick();
    EXPECT_EQ(view->GetNavigateCount(), 2);
    page.SlowTick();
    page.Initialise();
    EXPECT_EQ(view->GetNavigateCount(), 2);

    // Leaving and returning over two ticks: once on each.
    page.SetEnabled(false);
    page.SlowTick();
    EXPECT_EQ(view->GetNavigateCount(), 3);
    page.SetEnabled(true);
    page.SlowTick();
    EXPECT_EQ(view->GetNavigateCount(), 4);

    // Leaving and returning between two ticks: not at all.
    page.SetEnabled(false);
    page.SetEnabled(true);
    page.SlowTick();
    EXPECT_EQ(view->GetNavigateCount(), 4);
}
