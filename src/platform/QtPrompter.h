#pragma once

#include "platform/Prompter.h"

class QWidget;

namespace platform {

// Message boxes on screen, modal to the given parent (or application-modal without one).
class QtPrompter final : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    Answer ask(const Message& message) override;

private:
    QWidget* m_parent;
};

} // namespace platform
