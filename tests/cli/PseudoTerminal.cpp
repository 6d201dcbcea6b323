#include "PseudoTerminal.h"

#include <QtGlobal>

#include <cerrno>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal(int columns) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = static_cast<unsigned short>(columns);
    if (::openpty(&masterFd, &slaveFd, nullptr, nullptr, &size) != 0)
        qFatal("openpty failed");
    termios mode{};
    ::tcgetattr(slaveFd, &mode);
    mode.c_oflag &= ~OPOST;
    ::tcsetattr(slaveFd, TCSANOW, &mode);
}

PseudoTerminal::~PseudoTerminal() {
    closeSlave();
    ::close(masterFd);
}

void PseudoTerminal::closeSlave() {
    if (slaveFd >= 0)
        ::close(slaveFd);
    slaveFd = -1;
}

QByteArray PseudoTerminal::readToEnd() {
    QByteArray all;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(masterFd, buffer, sizeof buffer);
        if (count > 0)
            all.append(buffer, count);
        else if (count == 0 || errno != EINTR)
            return all; // EIO: the slave side is closed everywhere and everything is read
    }
}
