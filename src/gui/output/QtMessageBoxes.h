#pragma once
// Questions and warnings of the output windows as the platform's message
// boxes, for a window that is given no other Interaction.

#include "common/Interaction.h"

#include <QPointer>
#include <QWidget>

namespace presenze {

class MessageBoxInteraction final : public Interaction {
public:
    explicit MessageBoxInteraction(QWidget* parent = nullptr) : m_parent(parent) {}

    int ask(std::string_view title, std::string_view text, bool withCancel = false) override;
    void warn(std::string_view title, std::string_view text) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace presenze
