#include "gui/desk/OutputFileDialog.h"

#include "data/DataError.h"
#include "data/ProtectedFiles.h"
#include "render/QtText.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace presenze {

std::string filterExtension(const QString& filter)
{
    const auto match = QRegularExpression(QStringLiteral("\\*(\\.\\w+)")).match(filter);
    return match.hasMatch() ? match.captured(1).toStdString() : std::string();
}

namespace {

// A name without an ending gets the kind's; one with another ending is
// refused, so that a file is never given bytes of another kind. Raises
// DataError.
std::filesystem::path withKindEnding(const std::filesystem::path& named, const QString& filter,
                                     const DataFolder& folder)
{
    std::filesystem::path file = std::filesystem::absolute(named);
    const std::string ending = filterExtension(filter);
    if (!ending.empty() && file.extension().empty())
        file += ending;
    checkUserOutput(file, folder);
    if (!ending.empty() && !hasExtension(file, {ending}))
        throw DataError("Il nome del file deve terminare in " + ending + ": " + displayName(file));
    return file;
}

} // namespace

std::optional<std::filesystem::path> saveFileDialog(QWidget* parent, const QString& title,
                                                    const std::filesystem::path& proposed,
                                                    const QString& filter)
{
    QFileDialog dialog(parent, title, QString::fromStdU16String(proposed.u16string()), filter);
    dialog.setObjectName(QStringLiteral("SalvaFile"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdString(filterExtension(filter)).mid(1));
    // The file is checked first, and only then is its replacing asked.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return std::filesystem::path(dialog.selectedFiles().front().toStdU16String());
}

std::optional<std::filesystem::path> chooseOutputFile(const OutputFileDialog& dialog,
                                                      QWidget* parent, const QString& title,
                                                      const std::filesystem::path& proposed,
                                                      const QString& filter,
                                                      const DataFolder& folder, Interaction& ui)
{
    // A name that may not be written is said, and the dialog opens again.
    for (std::filesystem::path offered = proposed;;) {
        const auto file = dialog(parent, title, offered, filter);
        if (!file)
            return std::nullopt;
        try {
            const std::filesystem::path absolute = withKindEnding(*file, filter, folder);
            std::error_code ec;
            if (std::filesystem::exists(absolute, ec) &&
                ui.ask(toCp1252(title), "Il file " + displayName(absolute) +
                                            " esiste gi\xE0.\r\nSostituirlo?") != AnswerYes)
                return std::nullopt;
            return absolute;
        } catch (const DataError& e) {
            ui.warn(toCp1252(title), e.what());
            offered = *file;
        }
    }
}

} // namespace presenze
