#pragma once
// Whole files as bytes, for the preset and other small files the generator
// reads and saves. Texts are the system's own error texts.
#include <string>
#include <string_view>

namespace orv {

struct FileResult {
    bool Ok = true;
    std::string ErrorText;  // why it failed, e.g. "Permission denied"
};

// Writes all bytes to an open descriptor, retrying short and interrupted
// writes; false with errno set when the descriptor refuses them.
[[nodiscard]] bool WriteAll(int fd, std::string_view bytes);

// Larger files are refused rather than read into memory.
inline constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;

// Reads a regular file whole. Directories, devices and pipes are refused, so
// nothing blocks or reads without end.
[[nodiscard]] FileResult ReadFileBytes(const std::string& path, std::string& bytes);

// Replaces the file's contents with bytes, or creates it. The bytes go to a
// new file in the same folder, are flushed to the disk and only then renamed
// over the old file, so a failure at any step leaves the old file as it was
// and removes the new one. A replaced file keeps its permission bits; a
// symbolic link keeps pointing at the file it names.
[[nodiscard]] FileResult ReplaceFileBytes(const std::string& path, std::string_view bytes);

}  // namespace orv
