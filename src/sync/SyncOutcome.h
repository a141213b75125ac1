#pragma once

#include "sync/DavTransport.h"

#include <QMetaType>
#include <QString>

namespace carddav {

// Why a sync or a discovery stopped; None when it went through.
enum class Problem {
    None,
    Offline,            // skipped quietly: the host says it has no network
    NotConfigured,      // no server, user or address book yet
    Password,           // 401: the server refused the user name or password
    CertificateRefused, // an untrusted certificate the user did not accept
    CertificateChanged, // not the certificate pinned earlier
    Unreachable,        // the network layer failed (refused, reset, name unknown)
    Stalled,            // no progress for the stall limit
    TooLarge,           // an answer over the size limit
    NoSpace,            // 507
    ServerError,        // any other status the server should not have given
    Unreadable,         // malformed XML, or a multi-status without what was asked for
    NoAddressBook,      // discovery found no CardDAV service or no address books
    LocalError,         // the contact file refused a write
};

struct Outcome {
    Problem problem = Problem::None;
    int status = 0; // the HTTP status, for ServerError and NoSpace
    QString detail; // the network layer's or the store's own words
    int received = 0;
    int sent = 0;
    int deletedHere = 0;
    int deletedThere = 0;
    int conflicts = 0;
    int refused = 0; // server cards that do not fit a list, left on the server untouched
    bool ok() const { return problem == Problem::None; }
};

// The problem a failed answer stands for (None for a 2xx answer).
inline Outcome outcomeOf(const DavResponse& r) {
    Outcome o;
    switch (r.failure) {
    case DavFailure::Network:
        o.problem = Problem::Unreachable;
        o.detail = r.error;
        return o;
    case DavFailure::Stall:
        o.problem = Problem::Stalled;
        return o;
    case DavFailure::TooLarge:
        o.problem = Problem::TooLarge;
        return o;
    case DavFailure::CertificateRefused:
        o.problem = Problem::CertificateRefused;
        return o;
    case DavFailure::CertificateChanged:
        o.problem = Problem::CertificateChanged;
        return o;
    case DavFailure::None:
        break;
    }
    o.status = r.status;
    if (r.status == 401)
        o.problem = Problem::Password;
    else if (r.status == 507)
        o.problem = Problem::NoSpace;
    else if (r.status < 200 || r.status >= 300)
        o.problem = Problem::ServerError;
    return o;
}

} // namespace carddav

Q_DECLARE_METATYPE(carddav::Outcome)
