#include "ui/AboutLinks.h"

#include "platform/ShellFeedback.h"

namespace aboutlinks {

namespace {

void open(const QString& address) {
    platform::openOrTell(platform::ShellVerb::Url, address);
}

} // namespace

QString productName() {
    return QStringLiteral("Folverin");
}

QString noticeLine() {
    return QStringLiteral("Folverin 1.0 - PDF to text and HTML converter");
}

QString homePage() {
    return QStringLiteral("https://www.corvanta.example/");
}

QString helpPage() {
    return homePage() + QStringLiteral("help.html");
}

QString productPage() {
    return homePage() + QStringLiteral("folverin.html");
}

QString downloadPage() {
    return homePage() + QStringLiteral("downloads.html");
}

QString supportMail() {
    return QStringLiteral("support@corvanta.example");
}

QString tellFriendMailLink() {
    return QStringLiteral("mailto:?subject=Invitation from Folverin&Body=") +
           QStringLiteral("Hello!%0A%0DFolverin from ") + homePage() +
           QStringLiteral(" is a excellent PDF to TXT converter!%0A%0DLearn more by visiting%0A") +
           homePage() + QStringLiteral("%0A%0DTo download it right now click here%0A") + downloadPage() +
           QStringLiteral("%0A%0D[please type your text here]%0A%0D");
}

void openOnlineHelp() {
    open(helpPage());
}

void checkNewVersion() {
    open(productPage());
}

void visitHomePage() {
    open(homePage());
}

void tellFriendByMail() {
    open(tellFriendMailLink());
}

} // namespace aboutlinks
