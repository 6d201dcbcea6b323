#pragma once

#include "platform/UniqueFd.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

// The bytes between the program and its worker processes: records of one kind byte and a
// payload of fields, each record behind its length. Both ends are this program, built
// together, so the format carries no version.
namespace wire {

// Builds one record.
class Writer {
public:
    explicit Writer(std::uint8_t kind);
    Writer& put(std::int32_t value);
    Writer& put64(std::int64_t value);
    Writer& put(const std::string& text);
    // The record with its length in front, ready to send.
    std::string record() const;

private:
    std::string payload;
};

// Reads the fields of one record in the order they were put; a record cut short reads as
// zeros and empty texts and marks the reader broken, so a damaged stream cannot overrun.
class Reader {
public:
    explicit Reader(std::string record);
    std::uint8_t kind() const { return recordKind; }
    std::int32_t getInt();
    std::int64_t getInt64();
    std::string getText();
    bool broken() const { return failed; }
    // Marks the record broken for a reason of its content, so every later field reads empty.
    void refuse() { failed = true; }
    // The record must end here: bytes left over were written as other fields than were read.
    void expectEnd() {
        if (position != data.size())
            failed = true;
    }

private:
    bool take(std::size_t count);
    std::string data;
    std::size_t position = 0;
    std::uint8_t recordKind = 0;
    bool failed = false;
};

// Takes the first whole record off the front of a stream's bytes, if one is there.
std::optional<std::string> takeRecord(std::string& stream);

// True when the stream starts with a length no record may have: the stream is damaged.
bool damaged(const std::string& stream);

// Longest record either end accepts: a bigger length means the stream is damaged.
inline constexpr std::uint32_t maxRecordBytes = 64u << 20;

// The socket the program hands every worker: requests in, answers out.
inline constexpr int workerChannelFd = 3;

// Writes all bytes to the socket fd, going on after interruptions; false when the other end
// is gone. A descriptor given travels with the first byte, for the other end's readRecord().
bool writeAll(int fd, const std::string& bytes, int descriptor = -1);
// Reads one whole record from the socket fd, waiting for it; empty at the end of the stream.
// Descriptors that arrive on the way are appended to received, in the order they were sent.
std::optional<std::string> readRecord(int fd, std::deque<platform::UniqueFd>& received);

} // namespace wire
