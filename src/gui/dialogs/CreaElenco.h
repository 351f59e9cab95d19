#pragma once
// "Elenco Ditte Particolari": edits the company list that "Elenco specifico"
// restricts the reports to. The saved list is on the left (List1(0),
// "Elenco"), a page of at most 50 regular companies on the right (List1(1),
// "Ditte abituali"). A double-click or Enter on a candidate appends it to the
// list (a company already there is only shown); a double-click, Enter or
// Delete on a list item removes it. Selecting, by mouse or by the arrow keys,
// changes nothing. Enter in the search field (Text1) refills the candidates
// with the companies whose name begins with the text. "&Registra" writes
// "ElencoDitte.txt"; leaving otherwise with changes asks whether to save.

#include "data/BookingSource.h"
#include "data/DataFolder.h"
#include "gui/desk/DeskPrompts.h"

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace presenze {

class CreaElenco final : public QDialog {
    Q_OBJECT
public:
    // `hotel`: offer only that hotel's companies (the single-hotel filter).
    // The list shown first and the candidates come from `source` (the
    // folder's files when null); the list is saved into the folder.
    CreaElenco(DataFolder folder, std::optional<std::int64_t> hotel, DeskPrompts& prompts,
               std::shared_ptr<const BookingSource> source = nullptr, QWidget* parent = nullptr);

    QListWidget* List1(int index) const { return m_list1.at(static_cast<std::size_t>(index)); }
    QLineEdit* Text1() const { return m_text1; }
    QPushButton* Tasto(int index) const { return m_tasto.at(static_cast<std::size_t>(index)); }
    QLabel* Label1(int index) const { return m_label1.at(static_cast<std::size_t>(index)); }
    QLabel* Label2() const { return m_label2; }

    // The items of a list, Windows-1252, in order.
    std::vector<std::string> items(int list) const;

    // Loads the saved list and the first page of candidates (once, when first shown).
    void Form_Activate();
    // Adds (index 1) or removes (index 0) the current item of a list.
    void List1_DblClick(int index);
    void Text1_KeyPress();
    void Tasto_Click(int index);
    // The list differs from the saved one.
    bool isModified() const { return m_modified; }

    // Closes; with unsaved changes asks first (Yes saves, Cancel stays).
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillCandidates(std::optional<std::string_view> search);
    std::vector<std::string> savedLines() const;
    const std::vector<CompanyRecord>& sourceCompanies();
    void addItem(QListWidget* list, const std::string& text);
    void addToList(const std::string& text);
    bool save();

    DataFolder m_folder;
    std::shared_ptr<const BookingSource> m_source;
    std::optional<std::vector<CompanyRecord>> m_sourceCompanies; // read once from the source
    std::optional<std::int64_t> m_hotel;
    DeskPrompts& m_prompts;
    bool m_activated = false;
    bool m_modified = false;

    std::array<QListWidget*, 2> m_list1{};
    QLineEdit* m_text1 = nullptr;
    std::array<QPushButton*, 2> m_tasto{};
    std::array<QLabel*, 2> m_label1{};
    QLabel* m_label2 = nullptr;
};

} // namespace presenze
