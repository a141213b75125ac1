#pragma once

#include "sync/SyncOutcome.h"

#include <QString>
#include <QUrl>

#include <functional>
#include <vector>

namespace carddav {

class DavTransport;

struct AddressBook {
    QString href; // path on the server, ending in "/"
    QString displayName;
    bool operator==(const AddressBook&) const = default;
};

struct Discovered {
    Outcome outcome;
    QString homeSet; // where address books are made
    std::vector<AddressBook> books;
};

// Finds the user's address books: /.well-known/carddav when the address names no path (else
// the address itself, then the well-known one), the current-user-principal, its
// addressbook-home-set and a PROPFIND of the home set's members.
void discover(DavTransport& transport, const QUrl& server,
              std::function<void(const Discovered&)> done);

// Makes an address book under the home set (an extended MKCOL) named `displayName`.
void createAddressBook(DavTransport& transport, const QUrl& server, const QString& homeSet,
                       const QString& displayName,
                       std::function<void(const Outcome&, const AddressBook&)> done);

// The server's address with a path of its own.
QUrl urlOf(const QUrl& server, const QString& path);

} // namespace carddav
