#include "platform/testing/ScriptedPrompter.h"

#include <QStringList>

namespace platform::testing {

Answer ScriptedPrompter::ask(const Message& message) {
    m_messages.append(message);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return message.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

QStringList ScriptedPrompter::texts() const {
    QStringList out;
    for (const auto& m : m_messages)
        out << m.text;
    return out;
}

} // namespace platform::testing
