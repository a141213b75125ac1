#pragma once

#include <QString>

#include <stdexcept>

namespace store {

// The one error type of the store: a number (the engine's extended result code, or one of
// ours below) and a description fit to show the user.
class StoreError : public std::runtime_error {
public:
    StoreError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number),
          m_description(description) {}

    int number() const { return m_number; }
    const QString& description() const { return m_description; }

    // Our own numbers, above the engine's range.
    static constexpr int NotOpen = 10001;
    static constexpr int NoCurrentRecord = 10002;
    static constexpr int NoSuchField = 10003;
    static constexpr int FileExists = 10004;
    static constexpr int BadQuery = 10006;
    static constexpr int NotARegularFile = 10007; // a folder, a device or a pipe
    // An old Access (Jet) file that its reader cannot read to the end.
    static constexpr int OldFileUnreadable = 10008;

private:
    int m_number;
    QString m_description;
};

} // namespace store
