#include "gui/output/QtMessageBoxes.h"

#include "gui/desk/QtText.h"

#include <QMessageBox>
#include <QPushButton>

namespace presenze {

int MessageBoxInteraction::ask(std::string_view title, std::string_view text, bool withCancel)
{
    QMessageBox box(QMessageBox::Question, fromCp1252(title), fromCp1252(text),
                    QMessageBox::Yes | QMessageBox::No |
                        (withCancel ? QMessageBox::Cancel : QMessageBox::NoButton),
                    m_parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&S\u00EC"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
    if (withCancel)
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("Annulla"));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return AnswerYes;
    case QMessageBox::No:
        return AnswerNo;
    default:
        return AnswerCancel;
    }
}

void MessageBoxInteraction::warn(std::string_view title, std::string_view text)
{
    QMessageBox box(QMessageBox::Warning, fromCp1252(title), fromCp1252(text), QMessageBox::Ok,
                    m_parent);
    box.exec();
}

} // namespace presenze
