#include "generator/files/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace orv {
namespace {

FileResult Failure(int error) { return {false, std::strerror(error)}; }

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closing reports late write errors (NFS, quotas), so it is checked.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// Saving through a symbolic link replaces the file it names, not the link.
std::string ResolveLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

FileResult ReadFileBytes(const std::string& path, std::string& bytes) {
    // Non-blocking, so opening a pipe without a writer does not wait.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return Failure(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return Failure(errno);
    if (S_ISDIR(st.st_mode)) return Failure(EISDIR);
    if (!S_ISREG(st.st_mode)) return {false, "Not a regular file"};
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > kMaxFileBytes)
        return Failure(EFBIG);

    std::string data;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Failure(errno);
        if (n == 0) break;
        // The file may grow while it is read.
        if (data.size() + static_cast<size_t>(n) > kMaxFileBytes) return Failure(EFBIG);
        data.append(buffer, static_cast<size_t>(n));
    }
    bytes = std::move(data);
    return {};
}

FileResult ReplaceFileBytes(const std::string& path, std::string_view bytes) {
    const std::string target = ResolveLink(path);
    const std::string folder = FolderOf(target);

    // A fresh name in the target's folder, created with 0666 so the umask
    // applies as for any new file.
    std::string temp;
    int created = -1;
    for (unsigned attempt = 0; created < 0; ++attempt) {
        temp = folder + "/.orv-" + std::to_string(::getpid()) + "-" + std::to_string(attempt) +
               ".tmp";
        created = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (created < 0 && (errno != EEXIST || attempt >= 100)) return Failure(errno);
    }
    Fd fd(created);

    const auto abandon = [&](int error) {
        ::unlink(temp.c_str());
        return Failure(error);
    };

    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
        ::fchmod(fd.get(), old.st_mode & 07777) != 0)
        return abandon(errno);
    if (!WriteAll(fd.get(), bytes)) return abandon(errno);
    if (::fsync(fd.get()) != 0) return abandon(errno);
    if (!fd.Close()) return abandon(errno);
    if (::rename(temp.c_str(), target.c_str()) != 0) return abandon(errno);

    // Makes the rename itself durable. The new contents are in place by
    // now, so a folder that cannot be synced is not a failed save.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace orv
