#include "gui/output/OutputFileChoice.h"

#include "data/ProtectedFiles.h"

#include <QFileDialog>

namespace presenze {

std::optional<std::filesystem::path> chooseSaveFile(QWidget* parent, const QString& title,
                                                    const std::filesystem::path& proposed,
                                                    const QString& extension)
{
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("*%1 (*%1)").arg(extension));
    dialog.setDefaultSuffix(extension.mid(1));
    dialog.setDirectory(QString::fromStdString(proposed.parent_path().string()));
    dialog.selectFile(QString::fromStdString(proposed.filename().string()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

std::optional<std::filesystem::path> chooseOutputFile(const SaveFileChooser& chooser,
                                                      QWidget* parent, const QString& title,
                                                      const std::filesystem::path& proposed,
                                                      std::string_view extension,
                                                      const DataFolder& folder)
{
    const QString kind = QString::fromLatin1(extension.data(), extension.size());
    const auto chosen = chooser(parent, title, proposed, kind);
    if (!chosen || chosen->empty())
        return std::nullopt;
    std::filesystem::path file = std::filesystem::absolute(*chosen);
    if (!hasExtension(file, {extension}))
        file += std::string(extension);
    checkUserOutput(file, folder);
    return file;
}

} // namespace presenze
