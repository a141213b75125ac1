#pragma once

#include <QString>
#include <QUrl>

#include <array>
#include <optional>

class QSettings;

// What the version check reads and decides, free of any window or network.
namespace update {

// The labels of the version page, in the order of the window's boxes; the last one opens
// the anchor whose address is the installer's.
inline constexpr std::array<const char*, 5> pageLabels{
    "Application Name:", "Application Version:", "Version Date:", "Version Size:",
    "Download: <a href=\""};

// The value after `label`: from the label's first occurrence up to the next "</p>" (for the
// download label, the next quote followed by ">"), without the label, spaces trimmed at
// both ends. None when the label or its end marker is missing.
std::optional<QString> pageValue(const QString& page, const QString& label);
// Every label present with its end marker after it.
bool isValidPage(const QString& page);

// Versions compare as text, character by character: 1.10.0 is not newer than 1.8.5.
bool isNewer(const QString& remote, const QString& own);

// The name the installer is saved under: the last path segment of its address, decoded and
// trimmed. None for a name that is empty, "." or "..", that would leave the folder or that
// holds a control character.
std::optional<QString> downloadFileName(const QString& url);

// Where the version page lives: the vendor's site, or the settings' "LiveUpdate/Server"
// (a base such as http://127.0.0.1:8080) when that is an http or https address.
QUrl serverBase(const QSettings& settings);
QUrl pageUrl(const QUrl& base);

} // namespace update
