#include "gui/desk/MessageBoxes.h"

#include "gui/dialogs/ChoiceDialog.h"
#include "render/QtText.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QPushButton>
#include <memory>

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

// A question box: Yes and No, and Cancel when asked for (Escape and closing
// the box then cancel; without it they answer No).
std::unique_ptr<QMessageBox> questionBox(std::string_view title, std::string_view text,
                                         bool withCancel, QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(
        QMessageBox::Question, dialogText(title), dialogText(text),
        withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                   : QMessageBox::Yes | QMessageBox::No,
        parent);
    captionInItalian(*box, QMessageBox::Yes, QStringLiteral("&S\u00EC"));
    captionInItalian(*box, QMessageBox::No, QStringLiteral("&No"));
    captionInItalian(*box, QMessageBox::Cancel, QStringLiteral("Annulla"));
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    return box;
}

int answerOf(QMessageBox& box)
{
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    return answerCode(clicked == QMessageBox::NoButton ? QMessageBox::Cancel : clicked);
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
    const auto box = questionBox(title, text, withCancel, m_parent);
    return answerOf(*box);
}

int MessageBoxes::askEachMonth(std::string_view title, std::string_view text, bool& sameForRest)
{
    const auto box = questionBox(title, text, true, m_parent);
    auto* same = new QCheckBox(QStringLiteral("Stessa risposta per i mesi seguenti"));
    box->setCheckBox(same);
    const int answer = answerOf(*box);
    sameForRest = same->isChecked();
    return answer;
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

std::optional<std::size_t> MessageBoxes::choose(std::string_view title, std::string_view heading,
                                                const std::vector<std::string>& columns,
                                                const std::vector<std::vector<std::string>>& rows)
{
    QStringList headers;
    for (const auto& column : columns)
        headers << fromCp1252(column);
    std::vector<QStringList> texts;
    texts.reserve(rows.size());
    for (const auto& row : rows) {
        QStringList cells;
        for (const auto& cell : row)
            cells << fromCp1252(cell);
        texts.push_back(cells);
    }
    ChoiceDialog dialog(dialogText(title), dialogText(heading), headers, texts, m_parent);
    dialog.exec();
    const auto chosen = dialog.chosen();
    if (!chosen)
        return std::nullopt;
    return static_cast<std::size_t>(*chosen);
}

} // namespace presenze
