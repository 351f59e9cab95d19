#pragma once
// A print of the report file, prepared from the print menu's choices and the
// configuration of the data folder: the device D, the settings of the
// destination, the page length P, the font, the option letters and the
// report lines already converted for the device. The output side (raw
// device, system printer, PDF) only lays out and sends what it finds here.

#include "data/DataFolder.h"
#include "output/PrintSettings.h"

#include <cstdint>
#include <functional>
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
    std::vector<std::string> lines; // the report lines, converted unless "K"

    bool systemPrinterMode() const { return settings.systemPrinterMode(); }
    // "U": raw pages are padded with empty lines instead of ending with a form feed.
    bool padsPages() const;
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

// The device of a destination: the value of the environment variable named
// after it when not empty, else its Linea; a printer chosen in the menu (not
// blank) wins over both.
std::string chooseDevice(std::string_view destinazione, std::string_view linea,
                         std::string_view printer, const EnvironmentLookup& env);

// Reads the configuration and the report file "fd" + tag for the choices.
// `hotel` names the Contatori record of the page lengths. Raises DataError
// when a configuration file cannot be read.
PreparedPrint preparePrint(const DataFolder& folder, std::string_view stationTag,
                           std::int64_t hotel, const PrintChoices& choices,
                           const EnvironmentLookup& env = systemEnvironment);

} // namespace presenze
