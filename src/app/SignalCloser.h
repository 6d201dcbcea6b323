#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;
class QWidget;

// Turns SIGTERM and SIGINT into a normal close of the main window, so the usual shutdown runs:
// a batch stops and the settings are saved. The handler only writes to a pipe; the window is
// closed from the event loop. One instance at a time; the previous handlers come back when it
// goes.
class SignalCloser : public QObject {
    Q_OBJECT

public:
    explicit SignalCloser(QWidget& window, QObject* parent = nullptr);
    ~SignalCloser() override;
    SignalCloser(const SignalCloser&) = delete;
    SignalCloser& operator=(const SignalCloser&) = delete;

    // False when the pipe or the handlers could not be set up (the signals then act as before).
    bool isActive() const { return notifier != nullptr; }

private:
    static void onSignal(int signal);
    void closeWindow();

    QWidget& window;
    int pipeEnds[2] = {-1, -1};
    QSocketNotifier* notifier = nullptr;
    struct sigaction previousTerm {};
    struct sigaction previousInt {};
};
