#pragma once

#include <unistd.h>

namespace vorta::os {

// Owns a POSIX file descriptor and closes it however the scope ends.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

} // namespace vorta::os
