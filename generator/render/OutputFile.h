#pragma once
// The output of orv-render: a file that appears under its name only when
// complete, or standard output.
#include <cstdint>
#include <string>
#include <vector>

#include "generator/files/WaveFile.h"

namespace orv {

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();  // removes an uncommitted temporary file

    // A regular file (new or replaced) is written to a temporary file in
    // the same folder; a device or FIFO that exists is written directly;
    // "-" is standard output. False with ErrorText set when it cannot be
    // opened.
    [[nodiscard]] bool Open(const std::string& path);

    // Gathers the bytes into large writes, so that a reader of a pipe gets
    // the header with the first samples.
    [[nodiscard]] ByteSink Sink();

    // Closes the file and puts it under its name. False with ErrorText set
    // when that fails; nothing is left under the name then.
    [[nodiscard]] bool Commit();

    // Closes and removes the temporary file.
    void Discard();

    const std::string& ErrorText() const { return error_; }

private:
    bool Fail();
    [[nodiscard]] bool Flush();

    int fd_ = -1;
    bool ownsFd_ = false;
    std::string target_;  // the name to rename to; empty when written directly
    std::string temp_;
    std::string error_;
    std::vector<uint8_t> pending_;
};

}  // namespace orv
