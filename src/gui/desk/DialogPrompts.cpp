#include "gui/desk/DialogPrompts.h"

#include "gui/desk/QtText.h"

#include <QInputDialog>

namespace presenze {
namespace {

// Message texts carry CR LF line ends; the dialogs want LF.
QString dialogText(std::string_view text)
{
    QString s = fromCp1252(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

} // namespace

int answerCode(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Yes:
        return AnswerYes;
    case QMessageBox::No:
        return AnswerNo;
    case QMessageBox::Ok:
        return AnswerOk;
    default:
        return AnswerCancel;
    }
}

int DialogPrompts::ask(std::string_view title, std::string_view text, bool withCancel)
{
    QMessageBox box(QMessageBox::Question, dialogText(title), dialogText(text),
                    withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                               : QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    if (!withCancel)
        box.setEscapeButton(QMessageBox::No);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    return answerCode(clicked == QMessageBox::NoButton ? QMessageBox::Cancel : clicked);
}

void DialogPrompts::warn(std::string_view title, std::string_view text)
{
    QMessageBox::warning(m_parent, dialogText(title), dialogText(text));
}

void DialogPrompts::inform(std::string_view title, std::string_view text)
{
    QMessageBox::information(m_parent, dialogText(title), dialogText(text));
}

std::optional<std::string> DialogPrompts::input(std::string_view title, std::string_view prompt,
                                                std::string_view proposed)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(m_parent, dialogText(title), dialogText(prompt),
                                                 QLineEdit::Normal, fromCp1252(proposed), &ok);
    if (!ok)
        return std::nullopt;
    return toCp1252(answer);
}

} // namespace presenze
