#include "update/VersionPage.h"

#include "orvenna/Config.h"
#include "store/Text.h"

#include <QSettings>

namespace update {

namespace {
const QString downloadLabel = QString::fromLatin1(pageLabels.back());
bool isWebAddress(const QUrl& url) {
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}
} // namespace

std::optional<QString> pageValue(const QString& page, const QString& label) {
    const qsizetype start = page.indexOf(label);
    if (start < 0)
        return std::nullopt;
    const QString marker = label == downloadLabel ? QStringLiteral("\">") : QStringLiteral("</p>");
    const qsizetype end = page.indexOf(marker, start);
    if (end < 0)
        return std::nullopt;
    return store::trimSpaces(page.mid(start, end - start).mid(label.size()));
}

bool isValidPage(const QString& page) {
    for (const char* label : pageLabels)
        if (!pageValue(page, QString::fromLatin1(label)))
            return false;
    return true;
}

bool isNewer(const QString& remote, const QString& own) {
    return QString::compare(remote, own) > 0;
}

std::optional<QString> downloadFileName(const QString& url) {
    const QString path = QUrl(store::trimSpaces(url)).path(QUrl::FullyEncoded);
    const QString name =
        store::trimSpaces(QUrl::fromPercentEncoding(path.mid(path.lastIndexOf(u'/') + 1).toUtf8()));
    if (name.isEmpty() || name == u'.' || name == QLatin1String(".."))
        return std::nullopt;
    // A separator would lead out of the folder; a control character (a line break, say) has
    // no place in the name of a file the user is told to run.
    for (const QChar c : name)
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            return std::nullopt;
    return name;
}

QUrl serverBase(const QSettings& settings) {
    const QUrl configured(settings.value(QStringLiteral("LiveUpdate/Server")).toString().trimmed());
    if (isWebAddress(configured))
        return configured;
    return QUrl(QStringLiteral("http://") + QString::fromUtf8(orvenna::config::vendorSite));
}

QUrl pageUrl(const QUrl& base) {
    QUrl url = base;
    QString path = base.path();
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + QStringLiteral("/version/ov_version.htm"));
    return url;
}

} // namespace update
