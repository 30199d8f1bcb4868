#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

// Owns an open file descriptor and closes it when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd; }
    bool isOpen() const { return fd >= 0; }

    // Closes now, so that the error a late write gives is seen: 0 or an errno value.
    int closeNow();

private:
    int fd;
};

// The first bytes of an open file, at most `most`: fewer at its end or at a read error.
std::string readFirstBytes(int fd, std::size_t most);

// Writes every byte at `offset` and on, again after an interruption or a short write: 0 or an
// errno value (ENOSPC when the device takes no more).
int writeAll(int fd, std::string_view bytes, off_t offset);
