#include "pool/WireFormat.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace wire {

namespace {

void appendUint32(std::string& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::uint32_t readUint32(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

} // namespace

Writer::Writer(std::uint8_t kind) : payload(1, static_cast<char>(kind)) {}

Writer& Writer::put(std::int32_t value) {
    appendUint32(payload, static_cast<std::uint32_t>(value));
    return *this;
}

Writer& Writer::put(const std::string& text) {
    appendUint32(payload, static_cast<std::uint32_t>(text.size()));
    payload += text;
    return *this;
}

Writer& Writer::put64(std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    appendUint32(payload, static_cast<std::uint32_t>(bits & 0xFFFFFFFFu));
    appendUint32(payload, static_cast<std::uint32_t>(bits >> 32));
    return *this;
}

std::string Writer::record() const {
    std::string bytes;
    bytes.reserve(payload.size() + 4);
    appendUint32(bytes, static_cast<std::uint32_t>(payload.size()));
    return bytes + payload;
}

Reader::Reader(std::string record) : data(std::move(record)) {
    if (take(1))
        recordKind = static_cast<std::uint8_t>(data[0]);
}

bool Reader::take(std::size_t count) {
    if (failed || data.size() - position < count) {
        failed = true;
        return false;
    }
    position += count;
    return true;
}

std::int32_t Reader::getInt() {
    if (!take(4))
        return 0;
    return static_cast<std::int32_t>(readUint32(data.data() + position - 4));
}

std::int64_t Reader::getInt64() {
    const auto low = static_cast<std::uint32_t>(getInt());
    const auto high = static_cast<std::uint32_t>(getInt());
    return static_cast<std::int64_t>((std::uint64_t{high} << 32) | low);
}

std::string Reader::getText() {
    const auto length = static_cast<std::uint32_t>(getInt());
    if (!take(length))
        return {};
    return data.substr(position - length, length);
}

std::optional<std::string> takeRecord(std::string& stream) {
    if (stream.size() < 4)
        return std::nullopt;
    const std::uint32_t length = readUint32(stream.data());
    if (stream.size() - 4 < length)
        return std::nullopt;
    std::string record = stream.substr(4, length);
    stream.erase(0, 4 + std::size_t{length});
    return record;
}

bool damaged(const std::string& stream) {
    return stream.size() >= 4 && readUint32(stream.data()) > maxRecordBytes;
}

namespace {

// Sends what is left of the bytes, with the descriptor attached when one is given.
ssize_t sendSome(int fd, const char* data, std::size_t length, int descriptor) {
    iovec part{const_cast<char*>(data), length};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    if (descriptor >= 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(header), &descriptor, sizeof(int));
    }
    // A worker that died must not take the program with it through SIGPIPE.
    return ::sendmsg(fd, &message, MSG_NOSIGNAL);
}

} // namespace

bool writeAll(int fd, const std::string& bytes, int descriptor) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = sendSome(fd, bytes.data() + written, bytes.size() - written, descriptor);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += static_cast<std::size_t>(count);
        descriptor = -1;
    }
    return true;
}

namespace {

void takeDescriptors(msghdr& message, std::deque<platform::UniqueFd>& received) {
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS)
            continue;
        const std::size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int descriptor = -1;
            std::memcpy(&descriptor, CMSG_DATA(header) + i * sizeof(int), sizeof(int));
            received.emplace_back(descriptor);
        }
    }
}

bool readExactly(int fd, char* buffer, std::size_t length, std::deque<platform::UniqueFd>& received) {
    std::size_t done = 0;
    while (done < length) {
        iovec part{buffer + done, length - done};
        alignas(cmsghdr) char control[CMSG_SPACE(4 * sizeof(int))];
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t count = ::recvmsg(fd, &message, MSG_CMSG_CLOEXEC);
        if (count > 0)
            takeDescriptors(message, received);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

} // namespace

std::optional<std::string> readRecord(int fd, std::deque<platform::UniqueFd>& received) {
    char header[4];
    if (!readExactly(fd, header, sizeof header, received))
        return std::nullopt;
    const std::uint32_t length = readUint32(header);
    if (length > maxRecordBytes)
        return std::nullopt;
    std::string record(length, '\0');
    if (!readExactly(fd, record.data(), length, received))
        return std::nullopt;
    return record;
}

} // namespace wire
