#pragma once
// A file the person names in a window for an output (a workbook, a CSV, a
// PDF): asked for with the desktop's save dialog, or, in tests, with the
// chooser given; the kind's ending is added when the name lacks it, so a
// file is never given bytes of another kind; then the name is checked as
// every file a person names for an output is (data/ProtectedFiles.h: never
// a data file, a station file, a folder or a device).
//
//   const auto file = chooseOutputFile(chooser, this, "Salva il CSV",
//                                      folder.dir() / "indicatori.csv", ".csv", folder);
//   if (file) writeIndicatorCsv(kpi, *file);

#include "data/DataFolder.h"

#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

class QWidget;

namespace presenze {

// Asks for the name of a file of the kind `extension` (".csv"), proposing
// `proposed`; nullopt when the person cancels.
using SaveFileChooser = std::function<std::optional<std::filesystem::path>(
    QWidget* parent, const QString& title, const std::filesystem::path& proposed,
    const QString& extension)>;

// The save dialog (QFileDialog): it lists the files of the kind, adds the
// ending to a name typed without it and asks before replacing a file.
std::optional<std::filesystem::path> chooseSaveFile(QWidget* parent, const QString& title,
                                                    const std::filesystem::path& proposed,
                                                    const QString& extension);

// The file chosen, with `extension` (".csv") at its end; nullopt when
// cancelled. Raises DataError (Italian, naming the file) when it may not be
// written.
std::optional<std::filesystem::path> chooseOutputFile(const SaveFileChooser& chooser,
                                                      QWidget* parent, const QString& title,
                                                      const std::filesystem::path& proposed,
                                                      std::string_view extension,
                                                      const DataFolder& folder);

} // namespace presenze
