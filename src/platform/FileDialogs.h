#pragma once

#include <QString>

namespace platform {

// What an open or save dialog is asked to show. The filter list names the file types the
// user may pick, as description|pattern pairs separated by vertical bars ("VCARD (*.vcf)|*.vcf",
// several patterns of one type separated by semicolons); the filter index (counted from 1)
// is the type shown first; the file name, possibly with a folder, is the one proposed.
struct FileRequest {
    QString filters;
    int filterIndex = 1;
    QString fileName;

    bool operator==(const FileRequest&) const = default;
};

// How a file dialog ended: a path chosen, cancelled by the user, or failed (with a
// description of why). A cancel is not a failure.
struct FileChoice {
    enum class Outcome { Chosen, Cancelled, Failed };

    Outcome outcome = Outcome::Cancelled;
    QString path;        // when chosen
    QString description; // when failed

    static FileChoice chosen(const QString& path) { return {Outcome::Chosen, path, {}}; }
    static FileChoice cancelled() { return {}; }
    static FileChoice failed(const QString& description) {
        return {Outcome::Failed, {}, description};
    }
    bool isChosen() const { return outcome == Outcome::Chosen; }
    bool isCancelled() const { return outcome == Outcome::Cancelled; }
    bool isFailed() const { return outcome == Outcome::Failed; }

    bool operator==(const FileChoice&) const = default;
};

// Whether the save dialog itself asks before an existing file is chosen. Callers that ask
// in their own words, or refuse to overwrite, pass DontConfirm.
enum class Overwrite { Confirm, DontConfirm };

// The dialogs that choose a file to read or to write.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual FileChoice open(const FileRequest& request) = 0;
    virtual FileChoice save(const FileRequest& request,
                            Overwrite overwrite = Overwrite::Confirm) = 0;
};

} // namespace platform
