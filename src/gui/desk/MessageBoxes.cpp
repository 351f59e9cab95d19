#include "gui/desk/MessageBoxes.h"

#include "gui/desk/QtText.h"

#include <QInputDialog>
#include <QPushButton>

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

// Italian captions whether or not Qt's own translations are installed.
void captionInItalian(QMessageBox& box, QMessageBox::StandardButton button, const QString& text)
{
    if (QAbstractButton* b = box.button(button))
        b->setText(text);
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

int MessageBoxes::ask(std::string_view title, std::string_view text, bool withCancel)
{
    QMessageBox box(QMessageBox::Question, dialogText(title), dialogText(text),
                    withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                               : QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    captionInItalian(box, QMessageBox::Yes, QStringLiteral("&S\u00EC"));
    captionInItalian(box, QMessageBox::No, QStringLiteral("&No"));
    captionInItalian(box, QMessageBox::Cancel, QStringLiteral("Annulla"));
    box.setDefaultButton(QMessageBox::Yes);
    if (!withCancel)
        box.setEscapeButton(QMessageBox::No);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    return answerCode(clicked == QMessageBox::NoButton ? QMessageBox::Cancel : clicked);
}

void MessageBoxes::warn(std::string_view title, std::string_view text)
{
    show(QMessageBox::Warning, title, text);
}

void MessageBoxes::inform(std::string_view title, std::string_view text)
{
    show(QMessageBox::Information, title, text);
}

void MessageBoxes::show(QMessageBox::Icon icon, std::string_view title, std::string_view text)
{
    QMessageBox box(icon, dialogText(title), dialogText(text), QMessageBox::Ok, m_parent);
    box.exec();
}

std::optional<std::string> MessageBoxes::input(std::string_view title, std::string_view prompt,
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
