#include "ScriptExercise.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace orv::script {
namespace {

TEST(ScriptCorpus, OddLinesKeepEveryProperty) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ORV_SCRIPT_CORPUS_DIR)) {
    std::ifstream in(entry.path(), std::ios::binary);
    ASSERT_TRUE(in) << entry.path();
    const std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(ExerciseScriptInput(data), "") << entry.path();
    ++files;
  }
  EXPECT_GE(files, 6);
}

}  // namespace
}  // namespace orv::script
