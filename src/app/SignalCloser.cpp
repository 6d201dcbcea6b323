#include "app/SignalCloser.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Where the handler writes; -1 while no closer is installed.
volatile std::sig_atomic_t writeEnd = -1;

} // namespace

void SignalCloser::onSignal(int signal) {
    const int savedErrno = errno;
    const char byte = char(signal);
    // Non-blocking: with the pipe full, a close is already pending and the byte is not needed.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

SignalCloser::SignalCloser(QWidget& window, QObject* parent) : QObject(parent), window(window) {
    Q_ASSERT_X(writeEnd == -1, "SignalCloser", "one at a time");
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    writeEnd = pipeEnds[1];
    struct sigaction action {};
    action.sa_handler = &SignalCloser::onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &previousTerm);
    ::sigaction(SIGINT, &action, &previousInt);
    notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SignalCloser::closeWindow);
}

SignalCloser::~SignalCloser() {
    if (notifier) {
        ::sigaction(SIGTERM, &previousTerm, nullptr);
        ::sigaction(SIGINT, &previousInt, nullptr);
    }
    writeEnd = -1;
    for (const int end : pipeEnds) {
        if (end >= 0)
            ::close(end);
    }
}

void SignalCloser::closeWindow() {
    char bytes[64];
    while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
    }
    // A dialog left open would keep the program running without its window, and a batch
    // waiting for the dialog's answer would never stop: dialogs go first, each answering as
    // its Escape would.
    QWidget* previous = nullptr;
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal == previous)
            break; // it refused to close
        modal->close();
        previous = modal;
    }
    // Queued, so the dialogs' own event loops have returned when the window closes.
    QMetaObject::invokeMethod(&window, &QWidget::close, Qt::QueuedConnection);
}
