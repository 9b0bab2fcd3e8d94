#include "generator/render/OutputFile.h"

#include "generator/files/FileBytes.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {

constexpr size_t kWriteSize = 256 * 1024;

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Fail()
{
    error_ = std::strerror(errno);
    return false;
}

bool OutputFile::Open(const std::string& path)
{
    if (path == "-") {
        fd_ = STDOUT_FILENO;
        return true;
    }
    // A link keeps pointing at the file it names.
    std::string name = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        name = real;
        std::free(real);
    }
    struct stat st {};
    const bool exists = ::stat(name.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return Fail();
    }
    if (exists && !S_ISREG(st.st_mode)) {
        // Devices and FIFOs cannot be renamed onto; O_NONBLOCK makes a FIFO
        // without a reader fail instead of hanging.
        fd_ = ::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0)
            return Fail();
        ownsFd_ = true;
        const int flags = ::fcntl(fd_, F_GETFL);
        if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) < 0)
            return Fail();
        return true;
    }
    const size_t slash = name.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : name.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    std::vector<char> pattern(folder.begin(), folder.end());
    const std::string hidden = "." + base + ".XXXXXX";
    pattern.insert(pattern.end(), hidden.begin(), hidden.end());
    pattern.push_back('\0');
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0)
        return Fail();
    ownsFd_ = true;
    temp_ = pattern.data();
    target_ = name;
    // A replaced file keeps its permission bits; a new one gets the usual.
    const mode_t mode = exists ? (st.st_mode & 07777) : NewFileMode();
    if (::fchmod(fd_, mode) != 0)
        return Fail();
    return true;
}

ByteSink OutputFile::Sink()
{
    pending_.reserve(kWriteSize);
    return [this](const uint8_t* data, size_t size) {
        pending_.insert(pending_.end(), data, data + size);
        return pending_.size() < kWriteSize || Flush();
    };
}

bool OutputFile::Flush()
{
    const bool ok = fd_ >= 0 && WriteAll(fd_, {reinterpret_cast<const char*>(pending_.data()), pending_.size()});
    pending_.clear();
    return ok;
}

bool OutputFile::Commit()
{
    if (fd_ < 0) {
        error_ = "not open";
        return false;
    }
    if (!Flush()) {
        Fail();
        Discard();
        return false;
    }
    if (ownsFd_) {
        const int fd = fd_;
        fd_ = -1;
        ownsFd_ = false;
        if (::close(fd) != 0) {
            Fail();
            Discard();
            return false;
        }
    }
    if (!temp_.empty()) {
        if (::rename(temp_.c_str(), target_.c_str()) != 0) {
            Fail();
            Discard();
            return false;
        }
        temp_.clear();
    }
    fd_ = -1;
    return true;
}

void OutputFile::Discard()
{
    pending_.clear();
    if (ownsFd_ && fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    ownsFd_ = false;
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

}  // namespace orv
