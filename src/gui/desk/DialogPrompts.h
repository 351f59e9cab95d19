#pragma once
// The desktop program's answers to questions: the platform's standard
// message boxes and input box, in Italian (see QtTranslations.h).

#include "gui/desk/DeskPrompts.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace presenze {

// The answer code (6 Yes, 7 No, 2 Cancel, 1 OK) of a message box button.
int answerCode(QMessageBox::StandardButton button);

class DialogPrompts final : public DeskPrompts {
public:
    explicit DialogPrompts(QWidget* parent = nullptr) : m_parent(parent) {}

    int ask(std::string_view title, std::string_view text, bool withCancel = false) override;
    void warn(std::string_view title, std::string_view text) override;
    std::optional<std::string> input(std::string_view title, std::string_view prompt,
                                     std::string_view proposed) override;
    void inform(std::string_view title, std::string_view text) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace presenze
