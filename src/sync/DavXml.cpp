#include "sync/DavXml.h"

#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace carddav::xml {

namespace {

const QString Dav = QStringLiteral("DAV:");
const QString CardDav = QStringLiteral("urn:ietf:params:xml:ns:carddav");
const QString CalServer = QStringLiteral("http://calendarserver.org/ns/");

QString decodedPath(const QString& href) {
    const QUrl url(href.trimmed());
    return url.path(QUrl::FullyDecoded);
}

int statusOf(const QString& line) {
    // "HTTP/1.1 404 Not Found"
    return line.simplified().section(u' ', 1, 1).toInt();
}

bool is(const QXmlStreamReader& r, const QString& ns, const char* name) {
    return r.namespaceUri() == ns && r.name() == QLatin1String(name);
}

// The properties of one propstat, kept apart until its status says whether they count.
struct Found {
    Entry props;
    int status = 0;
};

void mergeInto(Entry& entry, const Entry& found) {
    if (!found.etag.isEmpty())
        entry.etag = found.etag;
    if (!found.displayName.isEmpty())
        entry.displayName = found.displayName;
    if (!found.ctag.isEmpty())
        entry.ctag = found.ctag;
    if (!found.addressData.isEmpty())
        entry.addressData = found.addressData;
    entry.collection = entry.collection || found.collection;
    entry.addressBook = entry.addressBook || found.addressBook;
    entry.principal += found.principal;
    entry.homeSet += found.homeSet;
}

// Reads one property element (the reader is on its start) into `into`.
void readProperty(QXmlStreamReader& r, Entry& into) {
    if (is(r, Dav, "getetag")) {
        into.etag = r.readElementText().trimmed().toUtf8();
    } else if (is(r, Dav, "displayname")) {
        into.displayName = r.readElementText();
    } else if (is(r, CalServer, "getctag")) {
        into.ctag = r.readElementText().trimmed();
    } else if (is(r, CardDav, "address-data")) {
        into.addressData = r.readElementText().toUtf8();
    } else if (is(r, Dav, "resourcetype")) {
        while (r.readNextStartElement()) {
            into.collection = into.collection || is(r, Dav, "collection");
            into.addressBook = into.addressBook || is(r, CardDav, "addressbook");
            r.skipCurrentElement();
        }
    } else if (is(r, Dav, "current-user-principal") || is(r, CardDav, "addressbook-home-set")) {
        QStringList& list = is(r, Dav, "current-user-principal") ? into.principal : into.homeSet;
        while (r.readNextStartElement()) {
            if (is(r, Dav, "href"))
                list << decodedPath(r.readElementText());
            else
                r.skipCurrentElement();
        }
    } else {
        r.skipCurrentElement();
    }
}

Found readPropstat(QXmlStreamReader& r) {
    Found found;
    while (r.readNextStartElement()) {
        if (is(r, Dav, "status")) {
            found.status = statusOf(r.readElementText());
        } else if (is(r, Dav, "prop")) {
            while (r.readNextStartElement())
                readProperty(r, found.props);
        } else {
            r.skipCurrentElement();
        }
    }
    return found;
}

Entry readResponse(QXmlStreamReader& r) {
    Entry entry;
    while (r.readNextStartElement()) {
        if (is(r, Dav, "href")) {
            entry.href = decodedPath(r.readElementText());
        } else if (is(r, Dav, "status")) {
            entry.status = statusOf(r.readElementText());
        } else if (is(r, Dav, "propstat")) {
            const Found found = readPropstat(r);
            if (found.status >= 200 && found.status < 300) {
                mergeInto(entry, found.props);
                if (entry.status == 0)
                    entry.status = found.status;
            }
        } else {
            r.skipCurrentElement();
        }
    }
    return entry;
}

QByteArray document(const std::function<void(QXmlStreamWriter&)>& body) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeNamespace(Dav, QStringLiteral("d"));
    w.writeNamespace(CardDav, QStringLiteral("card"));
    w.writeNamespace(CalServer, QStringLiteral("cs"));
    body(w);
    w.writeEndDocument();
    return out;
}

QByteArray propfind(std::initializer_list<std::pair<const QString*, const char*>> props) {
    return document([&](QXmlStreamWriter& w) {
        w.writeStartElement(Dav, QStringLiteral("propfind"));
        w.writeStartElement(Dav, QStringLiteral("prop"));
        for (const auto& [ns, name] : props)
            w.writeEmptyElement(*ns, QLatin1String(name));
        w.writeEndElement();
        w.writeEndElement();
    });
}

} // namespace

MultiStatus parseMultiStatus(const QByteArray& body) {
    MultiStatus out;
    QXmlStreamReader r(body);
    if (!r.readNextStartElement() || !is(r, Dav, "multistatus")) {
        out.error = r.hasError() ? r.errorString() : QStringLiteral("not a multi-status answer");
        return out;
    }
    while (r.readNextStartElement()) {
        if (is(r, Dav, "response"))
            out.entries.push_back(readResponse(r));
        else if (is(r, Dav, "sync-token"))
            out.syncToken = r.readElementText().trimmed();
        else
            r.skipCurrentElement();
    }
    if (!r.hasError()) {
        while (!r.atEnd())
            r.readNext();
    }
    if (r.hasError()) {
        out.error = r.errorString();
        out.entries.clear();
    }
    return out;
}

bool namesCondition(const QByteArray& body, const QString& name) {
    QXmlStreamReader r(body);
    while (!r.atEnd()) {
        if (r.readNext() == QXmlStreamReader::StartElement && r.name() == name)
            return true;
    }
    return false;
}

QByteArray propfindPrincipal() {
    return propfind({{&Dav, "current-user-principal"}});
}

QByteArray propfindHomeSet() {
    return propfind({{&CardDav, "addressbook-home-set"}});
}

QByteArray propfindBooks() {
    return propfind({{&Dav, "resourcetype"}, {&Dav, "displayname"}});
}

QByteArray propfindCtag() {
    return propfind({{&CalServer, "getctag"}});
}

QByteArray propfindEtags() {
    return propfind({{&Dav, "resourcetype"}, {&Dav, "getetag"}});
}

QByteArray syncCollection(const QString& token) {
    return document([&](QXmlStreamWriter& w) {
        w.writeStartElement(Dav, QStringLiteral("sync-collection"));
        w.writeTextElement(Dav, QStringLiteral("sync-token"), token);
        w.writeTextElement(Dav, QStringLiteral("sync-level"), QStringLiteral("1"));
        w.writeStartElement(Dav, QStringLiteral("prop"));
        w.writeEmptyElement(Dav, QStringLiteral("getetag"));
        w.writeEndElement();
        w.writeEndElement();
    });
}

QByteArray multiget(const QStringList& hrefs) {
    return document([&](QXmlStreamWriter& w) {
        w.writeStartElement(CardDav, QStringLiteral("addressbook-multiget"));
        w.writeStartElement(Dav, QStringLiteral("prop"));
        w.writeEmptyElement(Dav, QStringLiteral("getetag"));
        w.writeEmptyElement(CardDav, QStringLiteral("address-data"));
        w.writeEndElement();
        for (const QString& href : hrefs)
            w.writeTextElement(Dav, QStringLiteral("href"), QString::fromLatin1(encodedPath(href)));
        w.writeEndElement();
    });
}

QByteArray mkcolAddressBook(const QString& displayName) {
    return document([&](QXmlStreamWriter& w) {
        w.writeStartElement(Dav, QStringLiteral("mkcol"));
        w.writeStartElement(Dav, QStringLiteral("set"));
        w.writeStartElement(Dav, QStringLiteral("prop"));
        w.writeStartElement(Dav, QStringLiteral("resourcetype"));
        w.writeEmptyElement(Dav, QStringLiteral("collection"));
        w.writeEmptyElement(CardDav, QStringLiteral("addressbook"));
        w.writeEndElement();
        w.writeTextElement(Dav, QStringLiteral("displayname"), displayName);
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
    });
}

QByteArray encodedPath(const QString& path) {
    return QUrl::toPercentEncoding(path, "/-._~!$&'()*+,;=:@");
}

} // namespace carddav::xml
