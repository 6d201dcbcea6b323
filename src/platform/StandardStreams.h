#pragma once

namespace platform {

// Opens /dev/null on each of standard input, output and error that is closed, as cron and
// service managers may leave them. Called first thing in main(): otherwise the next file or
// socket the program opens takes that number, and what is printed or read on the stream goes
// to it (a worker's channel, an output file).
void openClosedStandardStreams();

} // namespace platform
