#include "about/MWebLink.h"

#include "platform/Shell.h"

#include <QUrl>

namespace MWebLink {

namespace {
const QString http = QStringLiteral("http://");
const QString mailto = QStringLiteral("mailto:");
} // namespace

QString linkAddress(const QString& Target, quint8 Kind) {
    switch (Kind) {
    case WebLink:
        return Target.left(7) == http ? Target : http + Target;
    case MailLink:
        return mailto + Target;
    default:
        return Target;
    }
}

bool OpenLink(platform::Shell& shell, const QString& Target, quint8 Kind) {
    if (Kind != MailLink)
        return shell.openUrl(QUrl(linkAddress(Target, Kind)));
    // A card's address may come from a vCard someone sent: "?" or "#" in it stay part of the
    // address rather than adding "attach=..." or a body to the new message.
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(linkAddress(Target, Kind).mid(mailto.size()), QUrl::DecodedMode);
    return shell.openUrl(url);
}

} // namespace MWebLink
