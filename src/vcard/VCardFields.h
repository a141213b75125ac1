#pragma once

#include <QString>

namespace vcard {

// One card while it is written to or read from a vCard file, in the terms of the file.
struct VCardFields {
    QString GivenName;
    QString FamilyName;
    QString FullName;
    QString Street;
    QString Locality;
    QString Region;
    QString PostalCode;
    QString Country;
    QString HomeVoice;
    QString HomeFax;
    QString WorkVoice;
    QString WorkFax;
    QString CellVoice;
    QString EmailAddress;
    QString Url;
    QString OrgName;
    QString OrgUnit;

    bool operator==(const VCardFields&) const = default;
};

inline void ClearVcardFields(VCardFields& fields) {
    fields = {};
}

} // namespace vcard
