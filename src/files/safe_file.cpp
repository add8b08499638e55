#include "files/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

namespace qel {
namespace {

constexpr int kMostLinksFollowed = 40;  // as the system itself follows
constexpr int kNameTries = 100;
// Written bytes after which their way to the disk is started.
constexpr std::size_t kStartWritingEvery = std::size_t{256} << 10;
const char* const kNotRegular = "not a regular file: a device, FIFO or socket";

std::string reasonOf(int error) { return std::strerror(error); }

std::string folderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

// A short name in `folder` that nobody is likely to use: ".qel-" and six
// random letters or digits.
std::string randomNameIn(const std::string& folder) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string name = folder + "/.qel-";
    for (int i = 0; i < 6; ++i) name += letters[random() % (sizeof letters - 1)];
    return name;
}

// What `path` stands for once its symbolic links are followed: the final
// path, and whether something (st) is there. False with errno on failure.
bool followLinks(std::string path, std::string& target, bool& exists, struct stat& st) {
    for (int i = 0; i <= kMostLinksFollowed; ++i) {
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno != ENOENT) return false;
            target = path;
            exists = false;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            target = path;
            exists = true;
            return true;
        }
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) return false;
        link.resize(static_cast<std::size_t>(n));
        const std::filesystem::path named(link);
        path = named.is_absolute() ? link : (std::filesystem::path(path).parent_path() / named).string();
    }
    errno = ELOOP;
    return false;
}

// An unnamed file in `folder` that becomes visible only when it is linked
// in; -1 with errno EOPNOTSUPP when the system or file system has none.
int openUnnamed(const std::string& folder) {
#ifdef O_TMPFILE
    // Linking it in later goes through /proc.
    if (::access("/proc/self/fd", X_OK) != 0) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    // Kernels and file systems without it answer with one of these.
    if (fd < 0 && (errno == EISDIR || errno == EINVAL || errno == ENOTSUP)) errno = EOPNOTSUPP;
    return fd;
#else
    (void)folder;
    errno = EOPNOTSUPP;
    return -1;
#endif
}

// A new file with a short random name in `folder`, never through a link.
int openNamed(const std::string& folder, std::string& name) {
    for (int i = 0; i < kNameTries; ++i) {
        name = randomNameIn(folder);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Gives the unnamed file behind `fd` a short random name in `folder`.
bool linkUnnamed(int fd, const std::string& folder, std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int i = 0; i < kNameTries; ++i) {
        name = randomNameIn(folder);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno != EEXIST) break;
    }
    name.clear();
    return false;
}

// The new file takes the replaced one's owner and group where the system
// allows it, then its mode.
bool keepOwnerAndMode(int fd, const struct stat& old) {
    struct stat now {};
    if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)!::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// Starts writing the file's changed pages to the disk without waiting for
// them: the flush at the commit then has little left to wait for.
void startWritingToDisk(int fd) {
#ifdef SYNC_FILE_RANGE_WRITE
    (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    (void)fd;
#endif
}

// Makes a rename in `folder` last through a crash; a failure here loses
// nothing that was written.
void flushFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

}  // namespace

SafeFile::SafeFile(const std::string& path) {
    if (path.empty()) {
        fail(reasonOf(ENOENT));
        return;
    }
    bool exists = false;
    struct stat st {};
    if (!followLinks(path, target_, exists, st)) {
        failWithErrno();
        return;
    }
    if (exists && S_ISDIR(st.st_mode)) {
        fail(reasonOf(EISDIR));
        return;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        fail(kNotRegular);
        return;
    }
    replacing_ = exists;
    const std::string folder = folderOf(target_);
    fd_ = openUnnamed(folder);
    if (fd_ < 0 && errno == EOPNOTSUPP) fd_ = openNamed(folder, temporary_);
    if (fd_ < 0) {
        temporary_.clear();
        failWithErrno();
        return;
    }
    if (replacing_ && !keepOwnerAndMode(fd_, st)) failWithErrno();
}

SafeFile::~SafeFile() { abort(); }

bool SafeFile::fail(const std::string& why) {
    why_ = why;
    abort();
    return false;
}

bool SafeFile::failWithErrno() { return fail(reasonOf(errno)); }

void SafeFile::wrote(std::size_t size) {
    unstarted_ += size;
    if (unstarted_ < kStartWritingEvery) return;
    unstarted_ = 0;
    startWritingToDisk(fd_);
}

bool SafeFile::write(const void* data, std::size_t size) {
    if (fd_ < 0) return false;
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? failWithErrno() : fail(reasonOf(EIO));
        bytes += n;
        size -= static_cast<std::size_t>(n);
        wrote(static_cast<std::size_t>(n));
    }
    return true;
}

bool SafeFile::writeAt(std::int64_t offset, const void* data, std::size_t size) {
    if (fd_ < 0) return false;
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, bytes, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? failWithErrno() : fail(reasonOf(EIO));
        bytes += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
        wrote(static_cast<std::size_t>(n));
    }
    return true;
}

bool SafeFile::commit() {
    if (fd_ < 0) return false;
    if (::fsync(fd_) != 0) return failWithErrno();
    const std::string folder = folderOf(target_);
    if (temporary_.empty() && !linkUnnamed(fd_, folder, temporary_)) return failWithErrno();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return failWithErrno();
    // What came to stand at the target meanwhile is replaced only if it is
    // a regular file too.
    struct stat st {};
    if (::lstat(target_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return fail(kNotRegular);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return failWithErrno();
    temporary_.clear();
    flushFolder(folder);
    return true;
}

void SafeFile::abort() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool writeFileSafely(const std::string& path, std::span<const std::uint8_t> bytes, std::string* why) {
    SafeFile file(path);
    const bool written = file.write(bytes) && file.commit();
    if (!written && why) *why = file.why();
    return written;
}

}  // namespace qel
