#include "TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace testsupport {

namespace {

QtMessageHandler forwardMessage = nullptr;

void dropOffscreenNotice(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    forwardMessage(type, context, message);
}

} // namespace

void failOnUnexpectedWarnings() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
}

QString programDir() {
    const QString fromBuild = qEnvironmentVariable("FOLVERIN_PROGRAM_DIR");
    return fromBuild.isEmpty() ? QCoreApplication::applicationDirPath() + QLatin1Char('/') : fromBuild;
}

QString saveScreenshot(QWidget* widget, const QString& module, const QString& state) {
    QString folder = qEnvironmentVariable("FOLVERIN_SCREENSHOT_DIR");
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    if (!QDir().mkpath(folder))
        return {};
    const QString file =
        folder + QLatin1Char('/') + module + QLatin1Char('-') + state + QStringLiteral(".png");
    return widget->grab().save(file) ? file : QString();
}

void whenModalShows(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(20);
    auto handled = std::make_shared<QPointer<QWidget>>();
    auto attempts = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act, handled, attempts] {
        QWidget* modal = QApplication::activeModalWidget();
        if (*attempts > 0 && (!*handled || !(*handled)->isVisible())) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (!modal || !modal->isVisible())
            return;
        if (++*attempts > 250) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            return;
        }
        *handled = modal;
        act(modal);
    });
    timer->start();
}

void installOffscreenNoticeFilter() {
    // Installing twice would make the filter forward to itself for ever.
    const QtMessageHandler previous = qInstallMessageHandler(dropOffscreenNotice);
    if (previous != dropOffscreenNotice)
        forwardMessage = previous;
}

void removeOffscreenNoticeFilter() {
    qInstallMessageHandler(forwardMessage);
}

} // namespace testsupport
