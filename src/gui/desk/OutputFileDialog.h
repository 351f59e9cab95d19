#pragma once
// The file the user names for an output of a window (a workbook): the
// platform's save dialog, which proposes a name, then the check every output
// the user names goes through (data/ProtectedFiles.h: never a data file, a
// station file of the data folder or what is no file), and last, for a file
// that is there, whether to replace it. The windows take the dialog as a
// value, so that tests name the file themselves.

#include "common/Interaction.h"
#include "data/DataFolder.h"

#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace presenze {

// The file named; nullopt when the dialog was cancelled.
using OutputFileDialog = std::function<std::optional<std::filesystem::path>(
    QWidget* parent, const QString& title, const std::filesystem::path& proposed,
    const QString& filter)>;

// ".xlsx" of "Cartella di Excel (*.xlsx)"; empty when the filter names none.
std::string filterExtension(const QString& filter);

// QFileDialog: `filter` as "Cartella di Excel (*.xlsx)"; a name typed
// without an extension gets the filter's first one. It asks nothing about
// an existing file.
std::optional<std::filesystem::path> saveFileDialog(QWidget* parent, const QString& title,
                                                    const std::filesystem::path& proposed,
                                                    const QString& filter);

// The file named through `dialog`, with the filter's ending added to a name
// without one, once checked for the data folder and for its ending: a file
// that may not be written is said to the user (`ui`, under `title`) and the
// dialog opens again; an existing file is replaced only when the user says
// so. nullopt when the dialog is cancelled or the replacing refused.
std::optional<std::filesystem::path> chooseOutputFile(const OutputFileDialog& dialog,
                                                      QWidget* parent, const QString& title,
                                                      const std::filesystem::path& proposed,
                                                      const QString& filter,
                                                      const DataFolder& folder, Interaction& ui);

} // namespace presenze
