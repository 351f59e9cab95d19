#include "gui/desk/OutputFileDialog.h"

#include "data/DataError.h"
#include "data/ProtectedFiles.h"
#include "render/QtText.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace presenze {
namespace {

// "xlsx" of "Cartella di Excel (*.xlsx)".
QString firstExtension(const QString& filter)
{
    const auto match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
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
    dialog.setDefaultSuffix(firstExtension(filter));
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
    const auto file = dialog(parent, title, proposed, filter);
    if (!file)
        return std::nullopt;
    try {
        const std::filesystem::path absolute = std::filesystem::absolute(*file);
        checkUserOutput(absolute, folder);
        return absolute;
    } catch (const DataError& e) {
        ui.warn(toCp1252(title), e.what());
        return std::nullopt;
    }
}

} // namespace presenze
