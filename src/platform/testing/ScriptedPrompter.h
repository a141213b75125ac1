#pragma once

#include "platform/Prompter.h"

#include <QList>

namespace platform::testing {

// Records every message and answers from a script; with the script used up it answers OK
// (or Yes for a Yes/No question).
class ScriptedPrompter final : public Prompter {
public:
    Answer ask(const Message& message) override;

    void script(std::initializer_list<Answer> answers) { m_answers.append(answers); }
    const QList<Message>& messages() const { return m_messages; }
    QStringList texts() const;
    void clear() {
        m_messages.clear();
        m_answers.clear();
    }

private:
    QList<Message> m_messages;
    QList<Answer> m_answers;
};

} // namespace platform::testing

namespace platform {
// How QCOMPARE prints a message when two lists differ.
char* toString(const Message& message);
} // namespace platform
