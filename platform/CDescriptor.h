#pragma once

#include <unistd.h>

#include <utility>

namespace platform {

// Owns a file descriptor (a file, socket or process handle) and closes it
// when it goes out of scope; a negative one is held but never closed.
class CDescriptor
{
public:
    explicit CDescriptor(int fd) : fd_(fd) {}
    CDescriptor(CDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;
    CDescriptor& operator=(CDescriptor&&) = delete;
    ~CDescriptor()
    {
        if (fd_ >= 0) {
            close(fd_);
        }
    }

    int Get() const { return fd_; }

private:
    int fd_;
};

} // namespace platform
