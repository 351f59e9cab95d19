#pragma once
// The foot of a window whose work runs off its thread (the indicators, the
// ISTAT month): a status line, a progress bar and "Annulla", the last two
// shown only while the work runs. The window keeps the three and connects
// "Annulla" to its own slot.
//
//   m_work = addWorkStatus(*row, box, QStringLiteral("Ferma il calcolo"));
//   connect(m_work.stop, &QPushButton::clicked, this, &Istat::Annulla_Click);

#include <QString>

class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace presenze {

struct WorkStatus {
    QLabel* status = nullptr;         // "Stato"
    QProgressBar* progress = nullptr; // "Progresso", hidden
    QPushButton* stop = nullptr;      // "Annulla", hidden

    // The text of the status line, also as its tool tip (a long text is cut
    // on the line).
    void setText(const QString& text) const;
};

// Adds the three to `row`, children of `box`; the status line takes the
// room left.
WorkStatus addWorkStatus(QHBoxLayout& row, QWidget* box, const QString& stopTip);

} // namespace presenze
