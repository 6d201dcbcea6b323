#pragma once

#include <unistd.h>
#include <utility>

namespace platform {

// Owns one open file descriptor and closes it when it goes.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : descriptor(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : descriptor(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return descriptor; }
    bool valid() const { return descriptor >= 0; }
    int release() { return std::exchange(descriptor, -1); }
    void reset(int fd = -1) {
        if (descriptor >= 0)
            ::close(descriptor);
        descriptor = fd;
    }

private:
    int descriptor = -1;
};

} // namespace platform
