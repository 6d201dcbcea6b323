#pragma once

#include <QString>

// The product's web addresses and the Help menu's web commands. Each command hands its address
// or mail link to the desktop shell and does not wait for or look at the outcome: without a
// browser or mail program nothing visible happens.
namespace aboutlinks {

QString productName();  // "Folverin"
QString noticeLine();   // the About box's second line
QString homePage();     // the maker's site root
QString helpPage();     // home page + "help.html"
QString productPage();  // home page + "folverin.html"
QString downloadPage(); // home page + "downloads.html"
QString supportMail();  // a bare address, without "mailto:"

// A mailto link without a recipient that invites a friend to try the product. The subject is
// left as it reads and the body carries its line breaks as percent escapes already.
QString tellFriendMailLink();

// Online Help (command 32861), Check New Version (32866), Visit (32867) and Tell to Friend via
// E-mail (32865).
void openOnlineHelp();
void checkNewVersion();
void visitHomePage();
void tellFriendByMail();

} // namespace aboutlinks
