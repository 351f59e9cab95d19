#pragma once
// The one way every window asks, warns and informs: the platform's standard
// message boxes and input box, with Italian buttons. A window that is given
// other prompts (a test's scripted answers) never opens one.

#include "gui/desk/DeskPrompts.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace presenze {

// The answer code (6 Yes, 7 No, 2 Cancel, 1 OK) of a message box button.
int answerCode(QMessageBox::StandardButton button);

class MessageBoxes final : public DeskPrompts {
public:
    explicit MessageBoxes(QWidget* parent = nullptr) : m_parent(parent) {}

    int ask(std::string_view title, std::string_view text, bool withCancel = false) override;
    void warn(std::string_view title, std::string_view text) override;
    void inform(std::string_view title, std::string_view text) override;
    std::optional<std::string> input(std::string_view title, std::string_view prompt,
                                     std::string_view proposed) override;

private:
    void show(QMessageBox::Icon icon, std::string_view title, std::string_view text);

    QPointer<QWidget> m_parent;
};

} // namespace presenze
