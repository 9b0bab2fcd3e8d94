#include "generator/files/FileBytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orv {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void Put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class FileBytesTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orv-files-" + std::to_string(::getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Everything in the folder, to show that no temporary file is left.
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
};

TEST_F(FileBytesTest, ReplacesContentsKeepsModeAndLeavesNothingBehind) {
    const fs::path file = dir_ / "a.orv";
    Put(file, "old contents that are longer than the new");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);

    const std::string bytes = std::string("new\r\n\0\xff\x1a", 8);
    const FileResult r = ReplaceFileBytes(file, bytes);
    ASSERT_TRUE(r.Ok) << r.ErrorText;
    EXPECT_EQ(Contents(file), bytes);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Listing(), std::vector<std::string>{"a.orv"});

    std::string back;
    ASSERT_TRUE(ReadFileBytes(file, back).Ok);
    EXPECT_EQ(back, bytes);
}

TEST_F(FileBytesTest, CreatesANewFileAndWritesThroughALink) {
    const fs::path file = dir_ / "new.orv";
    ASSERT_TRUE(ReplaceFileBytes(file, "x").Ok);
    EXPECT_EQ(Contents(file), "x");

    const fs::path link = dir_ / "link.orv";
    fs::create_symlink(file, link);
    ASSERT_TRUE(ReplaceFileBytes(link, "through the link").Ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Contents(file), "through the link");
    EXPECT_EQ(Listing(), (std::vector<std::string>{"link.orv", "new.orv"}));
}

TEST_F(FileBytesTest, AFailedSaveLeavesTheOldFileAndNoTemporary) {
    const fs::path notAFolder = dir_ / "plain";
    Put(notAFolder, "old bytes");
    const fs::path folderTarget = dir_ / "folder";
    fs::create_directory(folderTarget);
    Put(folderTarget / "inside", "kept");

    // A parent that is a file, a target that is a folder, a folder of the
    // kernel that takes no new files; root passes permission checks, these
    // it cannot.
    for (const fs::path& target : {notAFolder / "a.orv", folderTarget, fs::path("/proc/version")}) {
        const std::string before = fs::is_regular_file(target) ? Contents(target) : "";
        const FileResult r = ReplaceFileBytes(target, "new bytes");
        EXPECT_FALSE(r.Ok) << target;
        EXPECT_FALSE(r.ErrorText.empty());
        if (fs::is_regular_file(target)) {
            EXPECT_EQ(Contents(target), before);
        }
    }
    EXPECT_EQ(Contents(notAFolder), "old bytes");
    EXPECT_EQ(Contents(folderTarget / "inside"), "kept");
    EXPECT_EQ(Listing(), (std::vector<std::string>{"folder", "plain"}));
}

TEST_F(FileBytesTest, ReadRefusesWhatIsNoRegularFile) {
    const fs::path fifo = dir_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path big = dir_ / "big";
    Put(big, "");
    fs::resize_file(big, kMaxFileBytes + 1);

    for (const fs::path& path : {dir_ / "missing.orv", dir_, fifo, fs::path("/dev/zero"), big}) {
        std::string bytes = "unchanged";
        const FileResult r = ReadFileBytes(path, bytes);
        EXPECT_FALSE(r.Ok) << path;
        EXPECT_FALSE(r.ErrorText.empty());
        EXPECT_EQ(bytes, "unchanged");
    }
}

}  // namespace
}  // namespace orv
