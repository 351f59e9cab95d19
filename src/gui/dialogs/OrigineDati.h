#pragma once
// "Origine dati": where the main window reads the hotels' data. "Cartella dei
// dati" (the default) reads the data folder's files; "Server" reads a group
// that `presenze-cli sync` keeps on a chain's server: a PostgreSQL connection
// string or URI, without a password (libpq takes it from the password file
// or PGPASSWORD), and the group, chosen among those the server holds. The
// groups are read off the window's thread when the dialog opens on a server
// and at each "Aggiorna"; the status line says how it went. "OK" keeps the
// choice only when it holds (a connection with a password is refused with a
// message and never kept).
//
//   OrigineDati dialog(DataOrigin::load(), prompts, mainWindow);
//   if (dialog.exec() == QDialog::Accepted)
//       dialog.origin().save();

#include "gui/desk/DataOrigin.h"
#include "gui/desk/DeskPrompts.h"

#include <QDialog>
#include <QPointer>
#include <string>
#include <vector>

class QComboBox;
class QFutureWatcherBase;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace presenze {

class OrigineDati final : public QDialog {
    Q_OBJECT
public:
    OrigineDati(DataOrigin current, DeskPrompts& prompts, QWidget* parent = nullptr);
    ~OrigineDati() override;

    QRadioButton* folderChoice() const { return m_folder; }
    QRadioButton* serverChoice() const { return m_server; }
    QLineEdit* conninfoField() const { return m_conninfo; }
    QComboBox* groupChoice() const { return m_group; }
    QPushButton* refreshButton() const { return m_refresh; }
    QPushButton* okButton() const { return m_ok; }
    QLabel* statusLabel() const { return m_status; }
    // The groups are being read.
    bool isReading() const { return m_task != nullptr; }

    // The choice the controls hold now.
    DataOrigin origin() const;

    // OK: accepts a choice that holds, else says why.
    void accept() override;

signals:
    // A reading of the groups has ended.
    void groupsRead();

private:
    void buildControls();
    void showChoice();
    void refreshGroups();
    void groupsArrived(const std::vector<std::string>& groups, const std::string& error);

    DeskPrompts& m_prompts;
    std::string m_wantedGroup; // kept selected across a new reading
    QRadioButton* m_folder = nullptr;
    QRadioButton* m_server = nullptr;
    QLineEdit* m_conninfo = nullptr;
    QComboBox* m_group = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_ok = nullptr;
    QLabel* m_status = nullptr;
    QPointer<QFutureWatcherBase> m_task;
    int m_generation = 0;
};

} // namespace presenze
