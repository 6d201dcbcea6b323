#pragma once

#include <QByteArray>

// A pseudo-terminal of a given width, for a program that behaves differently on a terminal.
// It passes the bytes written to its slave side unchanged ("\n" is not made "\r\n").
class PseudoTerminal {
public:
    explicit PseudoTerminal(int columns);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The side a program writes to; a child process keeps its own copy.
    int slave() const { return slaveFd; }
    void closeSlave();
    // Everything written, once every copy of the slave side is closed.
    QByteArray readToEnd();

private:
    int masterFd = -1;
    int slaveFd = -1;
};
