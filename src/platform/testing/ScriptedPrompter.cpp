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

namespace platform {
char* toString(const Message& message) {
    const QString text = QStringLiteral("{\"%1\", \"%2\", buttons %3, icon %4}")
                             .arg(message.text, message.caption)
                             .arg(int(message.buttons))
                             .arg(int(message.icon));
    return qstrdup(text.toUtf8().constData());
}
} // namespace platform
