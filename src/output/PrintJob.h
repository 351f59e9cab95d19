#pragma once
// A print of the report file, prepared from the print menu's choices and the
// configuration of the data folder: the device D, the settings of the
// destination, the page length P, the font, the option letters and where the
// report lines come from. The report is read as a stream while it is sent,
// so a print takes little memory whatever the report's length; each output
// (raw device, system printer, PDF) converts the lines for itself.

#include "common/WorkProgress.h"
#include "data/DataFolder.h"
#include "output/PrintSettings.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace presenze {

// What the person chose in the print menu (texts are Windows-1252).
struct PrintChoices {
    std::string destination; // a Destinazione of Stampanti
    std::string printer;     // a device that overrides the destination's, when not blank
    bool compressed = false;
    bool landscape = false;
    bool duplex = false;
};

// The report lines of a print: the report file, read again from its start
// each time the lines are walked, or lines held in memory.
class PrintLines {
public:
    PrintLines() = default;
    PrintLines(std::vector<std::string> lines) : m_lines(std::move(lines)) {}
    PrintLines(std::initializer_list<std::string> lines) : m_lines(lines) {}
    static PrintLines fromFile(std::filesystem::path reportFile);

    // Hands the lines one by one to `take`. Raises DataError when the report
    // file cannot be read, WorkCancelled when the progress says stop.
    void forEach(const std::function<void(std::string_view)>& take) const;
    // Who hears how far a walk of the lines has got (a print from the window).
    void setProgress(WorkProgress progress) { m_progress = std::move(progress); }

private:
    std::filesystem::path m_file;
    std::vector<std::string> m_lines;
    WorkProgress m_progress;
};

struct PrintJob {
    std::string destination;
    std::string device; // D
    PrintSettings settings;
    int pageLength = 60; // P
    std::string font;    // F
    std::string optionLetters;
    bool compressed = false;
    bool landscape = false;
    bool duplex = false;
    PrintLines lines; // the report lines as the file holds them

    bool systemPrinterMode() const { return settings.systemPrinterMode(); }
    // "U": raw pages are padded with empty lines instead of ending with a form feed.
    bool padsPages() const;
    // "K": the printer draws the report's bytes itself, so lines are sent as
    // they are (a system printer still draws the frames).
    bool keepsBytes() const;
};

enum class PrintStatus {
    Ready,
    UnknownDestination, // no Stampanti record of that name: nothing to print
    NoReport,           // no report file: nothing to print
};

struct PreparedPrint {
    PrintStatus status = PrintStatus::Ready;
    PrintJob job;
};

// Looks up an environment variable by name; nullopt when unset. Names and
// values are Windows-1252.
using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view)>;
std::optional<std::string> systemEnvironment(std::string_view name);

// The device of a destination, without the blanks around it: the value of
// the environment variable named after it when not blank, else its Linea; a
// printer chosen in the menu (not blank) wins over all.
std::string chooseDevice(std::string_view destinazione, std::string_view linea,
                         std::string_view printer, const EnvironmentLookup& env);

// The hotel whose Contatori record gives the page lengths when no hotel is
// chosen (the command line, and the window before a choice).
inline constexpr std::int64_t kFirstHotel = 1;

// Reads the configuration and the report file "fd" + tag for the choices.
// `hotel` names the Contatori record of the page lengths. Raises DataError
// when a configuration file cannot be read.
PreparedPrint preparePrint(const DataFolder& folder, std::string_view stationTag,
                           std::int64_t hotel, const PrintChoices& choices,
                           const EnvironmentLookup& env = systemEnvironment);

} // namespace presenze
