#pragma once

#include "platform/FileDialogs.h"

#include <QList>

namespace platform::testing {

// Records every dialog asked for and answers from a script; with the script used up the
// user cancels.
class ScriptedFileDialogs final : public FileDialogs {
public:
    enum class Kind { Open, Save };
    struct Call {
        Kind kind;
        FileRequest request;
        Overwrite overwrite;

        bool operator==(const Call&) const = default;
    };

    FileChoice open(const FileRequest& request) override {
        return answer({Kind::Open, request, Overwrite::Confirm});
    }
    FileChoice save(const FileRequest& request, Overwrite overwrite = Overwrite::Confirm) override {
        return answer({Kind::Save, request, overwrite});
    }

    void script(std::initializer_list<FileChoice> answers) { m_answers.append(answers); }
    const QList<Call>& calls() const { return m_calls; }
    void clear() {
        m_calls.clear();
        m_answers.clear();
    }

private:
    FileChoice answer(const Call& call) {
        m_calls.append(call);
        return m_answers.isEmpty() ? FileChoice::cancelled() : m_answers.takeFirst();
    }

    QList<Call> m_calls;
    QList<FileChoice> m_answers;
};

} // namespace platform::testing
