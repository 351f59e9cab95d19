#pragma once
// "Letti per hotel": the beds of each hotel of the registry, as the monthly
// guest movement reads them from LettiHotel.txt (istat/HotelBeds.h). One
// field a hotel, digits only (up to 999999); an empty field gives the hotel
// no line, and its beds stay unknown. "&Salva" replaces the file whole
// through the beds writer; "&Annulla", Escape and closing leave it as it was.
// Lines of hotels the registry does not list are kept as they are.
//
// A file that does not read (a bad line) is said as the editor opens, with
// the file and the line; the fields then hold what its good lines give, and
// saving replaces the file once the user has confirmed it.

#include "data/BookingSource.h"
#include "data/DataFolder.h"
#include "gui/desk/DeskPrompts.h"
#include "istat/HotelBeds.h"

#include <QDialog>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace presenze {

class LettiHotel final : public QDialog {
    Q_OBJECT
public:
    // Reads the registry and LettiHotel.txt of the folder.
    // The hotels are those of `source` (the folder's registry when null).
    LettiHotel(DataFolder folder, DeskPrompts& prompts,
               std::shared_ptr<const BookingSource> source = nullptr, QWidget* parent = nullptr);

    // The hotels with a field, in registry order.
    const std::vector<std::int64_t>& hotelNumbers() const { return m_order; }
    // The field of a hotel ("Letti_3"); null when it has none.
    QLineEdit* Letti(std::int64_t hotel) const;
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }
    // What the file read as, or why not (empty when it read, or is missing).
    const std::string& readError() const { return m_readError; }

    // The beds the fields give, with the kept lines of other hotels.
    HotelBeds beds() const;

    // "&Salva": writes the file (asking first over a file that did not
    // read) and closes; stays open when the file is not written.
    void Salva_Click();

private:
    void load();
    void buildControls();

    DataFolder m_folder;
    std::shared_ptr<const BookingSource> m_source;
    DeskPrompts& m_prompts;
    HotelBeds m_read; // as read, the good lines of a bad file
    std::string m_readError;
    std::vector<std::int64_t> m_order;
    std::map<std::int64_t, std::string> m_names;
    std::map<std::int64_t, QLineEdit*> m_fields;
    QLabel* m_note = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace presenze
