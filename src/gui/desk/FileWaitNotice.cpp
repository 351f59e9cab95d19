#include "gui/desk/FileWaitNotice.h"

#include "render/QtText.h"

#include <QApplication>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>
#include <memory>

namespace presenze {

namespace {

class WaitDialog {
public:
    ~WaitDialog() { close(); }

    // False once "Annulla" was pressed.
    bool show(std::string_view text)
    {
        if (!m_dialog) {
            m_dialog = new QProgressDialog(QApplication::activeWindow());
            m_dialog->setObjectName(QStringLiteral("AttesaFile"));
            m_dialog->setWindowTitle(QStringLiteral("Lettura dei dati"));
            m_dialog->setCancelButtonText(QStringLiteral("Annulla"));
            m_dialog->setRange(0, 0);
            m_dialog->setMinimumDuration(0);
            m_dialog->setWindowModality(Qt::ApplicationModal);
            m_dialog->setAutoClose(false);
            m_dialog->setAutoReset(false);
            m_dialog->show();
        }
        m_dialog->setLabelText(fromCp1252(text));
        QApplication::processEvents();
        return m_dialog && !m_dialog->wasCanceled();
    }

    void close()
    {
        if (m_dialog)
            delete m_dialog.data();
    }

private:
    QPointer<QProgressDialog> m_dialog;
};

} // namespace

WaitNotice windowWaitNotice()
{
    auto dialog = std::make_shared<WaitDialog>();
    return [dialog](std::string_view text) {
        if (QThread::currentThread() != qApp->thread())
            return true;
        if (text.empty()) {
            dialog->close();
            return true;
        }
        return dialog->show(text);
    };
}

} // namespace presenze
