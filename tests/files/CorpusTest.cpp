#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "generator/files/FileBytes.h"
#include "tests/files/PresetInvariants.h"

namespace orv {
namespace {

// The committed odd files, replayed through the reader with the checks the
// fuzz target makes.
TEST(PresetCorpus, EveryOddFileReadsSafely) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ORV_CORPUS_DIR)) {
        std::string bytes;
        const FileResult read = ReadFileBytes(entry.path(), bytes);
        ASSERT_TRUE(read.Ok) << entry.path() << ": " << read.ErrorText;
        EXPECT_EQ(test::CheckPresetInvariants(bytes), "") << entry.path();
        ++files;
    }
    EXPECT_GE(files, 10);
}

}  // namespace
}  // namespace orv
