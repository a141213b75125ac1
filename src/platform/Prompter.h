#pragma once

#include <QString>

namespace platform {

// Every message box of the program goes through a Prompter, so that tests can script the
// answers and check each text word for word.
enum class Buttons { Ok, OkCancel, YesNo };
enum class Icon { None, Question, Critical, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No };

struct Message {
    QString text;
    QString caption;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;

    bool operator==(const Message&) const = default;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Answer ask(const Message& message) = 0;

    // A notice with an OK button.
    void tell(const QString& text, const QString& caption, Icon icon = Icon::None) {
        ask({text, caption, Buttons::Ok, icon});
    }
};

} // namespace platform
