#pragma once
// The preview window ("Anteprima di Stampa"): the report file in an editable
// text box, a chunk at a time, with paging, text size, saving back and
// e-mail. The first chunk is read once, when the window opens; only its
// buttons change the chunk afterwards, and coming back to the window from
// another program changes nothing. Moving on or leaving with unsaved edits
// asks first. It opens wide enough for a whole report line, remembers its
// size and text size, and stays on top of the other windows; without a report
// file it closes at once.

#include "common/Interaction.h"
#include "data/DataFolder.h"
#include "output/ReportPreview.h"

#include <QDialog>
#include <array>
#include <memory>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace presenze {

class Anteprima final : public QDialog {
    Q_OBJECT
public:
    // The preview of the report file "fd" + tag of the data folder; `ui`
    // answers its messages (message boxes when null).
    Anteprima(DataFolder folder, std::string stationTag, QWidget* parent = nullptr,
              Interaction* ui = nullptr);
    ~Anteprima() override;

    // Returns at once (rejected) when there is no report file.
    int exec() override;

    // The buttons: 0 close, 1 smaller, 2 larger, 3 next chunk, 4 first chunk,
    // 5 e-mail, 6 save.
    void Tasto_Click(int index);
    // Writes the message file with the shown text and starts the mail program.
    void InviaEMail(const QString& unused = {});

    QPlainTextEdit* text() const { return m_text; }
    const ReportPreview& preview() const { return m_preview; }
    // The shown text has edits not saved yet.
    bool hasUnsavedEdits() const;

    // Closes unless the person keeps the window for unsaved edits.
    void done(int result) override;

signals:
    // What an action did: the report saved, the message handed to the mail program.
    void statusMessage(const QString& text);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void showChunk(const std::string& chunk);
    // The text box's text, UTF-8.
    std::string shownText() const;
    bool save();
    // Asks what to do with unsaved edits; false when the person stays.
    bool editsSettled();
    void setTextSize(double points);
    // The actions of Tasto(1)..Tasto(4).
    void smallerText();
    void largerText();
    void showNextChunk();
    void showFirstChunk();
    void restoreSettings();
    void storeSettings() const;

    DataFolder m_folder;
    std::string m_tag;
    std::unique_ptr<Interaction> m_ownUi;
    Interaction* m_ui;
    ReportPreview m_preview;
    QPlainTextEdit* m_text = nullptr;        // Text1
    std::array<QPushButton*, 7> m_buttons{}; // Tasto(0)..Tasto(6)
};

} // namespace presenze
