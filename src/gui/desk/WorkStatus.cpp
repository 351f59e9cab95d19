#include "gui/desk/WorkStatus.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace presenze {

void WorkStatus::setText(const QString& text) const
{
    status->setText(text);
    status->setToolTip(text);
}

WorkStatus addWorkStatus(QHBoxLayout& row, QWidget* box, const QString& stopTip)
{
    WorkStatus work;
    work.status = new QLabel(box);
    work.status->setObjectName(QStringLiteral("Stato"));
    work.status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    work.status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    work.status->setMinimumHeight(work.status->fontMetrics().height() + 8);
    work.progress = new QProgressBar(box);
    work.progress->setObjectName(QStringLiteral("Progresso"));
    work.progress->setFixedWidth(work.progress->fontMetrics().horizontalAdvance(QLatin1Char('M')) *
                                 12);
    work.progress->setVisible(false);
    work.stop = new QPushButton(QStringLiteral("&Annulla"), box);
    work.stop->setObjectName(QStringLiteral("Annulla"));
    work.stop->setToolTip(stopTip);
    work.stop->setAutoDefault(false);
    work.stop->setVisible(false);
    row.addWidget(work.status, 1);
    row.addWidget(work.progress);
    row.addWidget(work.stop);
    return work;
}

} // namespace presenze
