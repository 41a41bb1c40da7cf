#include "app/web_pages.h"

#include <QDesktopServices>

namespace tessimar {

QString SiteAddress() { return QStringLiteral(TESSIMAR_SITE_HOST); }

QUrl ProductPage() { return QUrl(QStringLiteral("http://" TESSIMAR_SITE_HOST "/photo.html")); }

QUrl HowToUsePage() { return QUrl(QStringLiteral("http://" TESSIMAR_SITE_HOST "/photo-how-to-use.html")); }

QUrl DonationPage() { return QUrl(QStringLiteral("https://" TESSIMAR_PAYMENT_HOST "/")); }

QUrl SupportMail() { return QUrl(QStringLiteral("mailto:" TESSIMAR_SUPPORT_MAIL)); }

void OpenPage(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace tessimar
