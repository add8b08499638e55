// Writing a file so that nothing but a complete file ever replaces what was
// there, and nothing that is not a plain file is ever replaced.
//
// The bytes go to a temporary file created exclusively in the target's
// folder: an unnamed one where the system offers it (a write that is killed
// leaves nothing behind), otherwise one with a short random name opened with
// O_EXCL | O_NOFOLLOW (no file planted under that name is ever written
// through). Only a completely written and flushed file is renamed over the
// target. The target decides what may happen:
//   - absent: it is created, with the mode new files get (0666 less umask);
//   - a regular file: it is replaced, keeping its mode (and, where allowed,
//     its owner and group);
//   - a symbolic link: the file it names (at the end of a chain of links) is
//     written as above, and the link stays a link;
//   - a folder, a device, a FIFO, a socket: refused, nothing is written.
//
// A streaming write: open, write chunks, commit. Aborting, or destroying the
// object before a commit, removes the temporary file and leaves the target
// as it was. While the bytes come, the system is asked every few hundred
// kilobytes to start writing them to the disk, so that the flush before the
// commit finds little left to write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace qel {

class SafeFile {
public:
    // Prepares the write of `path`; see isOpen() and why().
    explicit SafeFile(const std::string& path);
    ~SafeFile();
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // True while bytes may be written: the target may be replaced and the
    // temporary file is open.
    bool isOpen() const { return fd_ >= 0; }

    // Appends the bytes; false (with why()) on any failure, after which only
    // abort() is left to do.
    bool write(const void* data, std::size_t size);
    bool write(std::span<const std::uint8_t> bytes) { return write(bytes.data(), bytes.size()); }
    // Writes the bytes at `offset` from the file's start, as write() does;
    // write() goes on where it stopped.
    bool writeAt(std::int64_t offset, const void* data, std::size_t size);

    // Flushes the file to the disk and puts it in the target's place; false
    // (with why()) when that fails, the target then being as it was.
    bool commit();

    // Drops what was written; the target stays as it was.
    void abort();

    // Why the last step failed, in a few words ("Permission denied", "not a
    // regular file: a device, FIFO or socket", ...); empty while all went well.
    const std::string& why() const { return why_; }

    // The file the bytes will replace: `path`, or the file its links name.
    const std::string& target() const { return target_; }

private:
    bool fail(const std::string& why);
    bool failWithErrno();
    void wrote(std::size_t size);

    std::string target_;
    std::string temporary_;  // empty while the temporary file has no name
    std::string why_;
    int fd_ = -1;
    bool replacing_ = false;  // the target exists and is a regular file
    std::size_t unstarted_ = 0;  // bytes written since the disk write was last started
};

// Writes all of `bytes` to `path` through a SafeFile. False on any failure,
// with the reason in `why` when it is given.
bool writeFileSafely(const std::string& path, std::span<const std::uint8_t> bytes, std::string* why = nullptr);

}  // namespace qel
