#include "worker/WireFormat.h"

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

bool writeAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        // A worker that died must not take the program with it through SIGPIPE.
        const ssize_t count = ::send(fd, bytes.data() + written, bytes.size() - written, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += static_cast<std::size_t>(count);
    }
    return true;
}

namespace {

bool readExactly(int fd, char* buffer, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t count = ::read(fd, buffer + done, length - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

} // namespace

std::optional<std::string> readRecord(int fd) {
    char header[4];
    if (!readExactly(fd, header, sizeof header))
        return std::nullopt;
    const std::uint32_t length = readUint32(header);
    if (length > maxRecordBytes)
        return std::nullopt;
    std::string record(length, '\0');
    if (!readExactly(fd, record.data(), length))
        return std::nullopt;
    return record;
}

} // namespace wire
