// The product's web pages and support address, from the host names the build was given.
#pragma once

#include <QString>
#include <QUrl>

namespace tessimar {

QString SiteAddress();
QUrl ProductPage();
QUrl HowToUsePage();
QUrl DonationPage();
QUrl SupportMail();

// Opens a page in the user's browser or a new mail in the mail program; a missing
// browser goes unnoticed.
void OpenPage(const QUrl& url);

}  // namespace tessimar
