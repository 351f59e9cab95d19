#include "gui/dialogs/MsgBoxForm.h"

#include "gui/desk/FormStyle.h"
#include "render/QtText.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <algorithm>

namespace presenze {
namespace {

constexpr int kMargin = 90; // twips between the frame and the message

MsgBoxMetrics metricsOf(const MsgBox_Form& form)
{
    MsgBoxMetrics m;
    const int perPixel = std::max(1, 1440 / std::max(1, form.logicalDpiY()));
    m.labelHeight = std::max(m.labelHeight, form.Label1()->sizeHint().height() * perPixel);
    m.textTop = m.labelHeight + 45;
    m.buttonWidth = std::max(m.buttonWidth, form.T(0)->sizeHint().width() * perPixel);
    m.buttonHeight = std::max(m.buttonHeight, form.T(0)->sizeHint().height() * perPixel);
    return m;
}

} // namespace

MsgBox_Form::MsgBox_Form(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("MsgBox_Form"));
    setModal(true);
    m_shape1 = new QFrame(this);
    m_shape1->setObjectName(QStringLiteral("Shape1"));
    m_shape1->setFrameStyle(QFrame::Box | QFrame::Plain);

    m_label1 = new QLabel(QStringLiteral("Label1"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setAlignment(Qt::AlignCenter);
    m_label1->setFont(formFont(QStringLiteral("Corbel"), 12, true));
    m_label1->setAttribute(Qt::WA_TranslucentBackground);

    m_text1 = new QTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setReadOnly(true);
    m_text1->setFont(formFont(QStringLiteral("Corbel"), 9.75));
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QTextOption centred = m_text1->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    m_text1->document()->setDefaultTextOption(centred);
    setMessage(QStringLiteral("Text1"));

    const QStringList captions{QStringLiteral("Ok"), QStringLiteral("Ok"),
                               QStringLiteral("Annulla")};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(captions[i], this);
        button->setObjectName(QStringLiteral("T_%1").arg(i));
        button->setFont(formFont(QStringLiteral("Corbel"), 12));
        button->setVisible(false);
        connect(button, &QPushButton::clicked, this, [this, i] { T_Click(i); });
        m_t[static_cast<std::size_t>(i)] = button;
    }
    setTabOrder(T(0), T(1));
    setTabOrder(T(1), T(2));
}

void MsgBox_Form::setMessage(const QString& text)
{
    m_message = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_text1->setPlainText(shown);
}

QString MsgBox_Form::message() const
{
    return m_message;
}

int MsgBox_Form::pixels(int twips) const
{
    // The form was drawn for characters 90 twips wide; a wider font widens it.
    const double designChar = 90.0 * logicalDpiX() / 1440.0;
    const double scale =
        std::max(1.0, m_text1->fontMetrics().averageCharWidth() / std::max(1.0, designChar));
    return static_cast<int>(twips * logicalDpiX() / 1440.0 * scale + 0.5);
}

void MsgBox_Form::showEvent(QShowEvent* event)
{
    Form_Activate();
    QDialog::showEvent(event);
}

void MsgBox_Form::Form_Load()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

void MsgBox_Form::Form_Activate()
{
    const MsgBoxMetrics m = metricsOf(*this);
    const std::string text = toCp1252(m_message);
    const MsgBoxLayout l = layoutMsgBox(text, MsgBoxStile, m);

    setFixedSize(pixels(l.formWidth), pixels(l.formHeight));
    m_shape1->setGeometry(0, 0, width(), height());
    m_label1->setGeometry(0, pixels(45), width(), pixels(m.labelHeight - 45));
    m_text1->setGeometry(pixels(kMargin), pixels(m.textTop), pixels(l.textWidth),
                         pixels(l.textHeight));
    for (std::size_t i = 0; i < 3; ++i) {
        QPushButton* button = m_t[i];
        button->resize(pixels(m.buttonWidth), pixels(m.buttonHeight));
        if (l.buttonLeft[i])
            button->move(pixels(*l.buttonLeft[i]), pixels(l.buttonTop));
    }
    if (l.focusFirst)
        T(0)->setFocus();
    // Centred once its size is known.
    Form_Load();
    raise();
}

void MsgBox_Form::T_Click(int index)
{
    QString caption = T(0)->text();
    caption.remove(QLatin1Char('&'));
    MsgBoxRisposta = msgBoxAnswer(index, toCp1252(caption), MsgBoxRisposta);
    accept();
}

void MsgBox_Form::reject()
{
    // Escape answers like the cancelling button, else like "No", else like the first.
    if (T(2)->isVisibleTo(this))
        T_Click(2);
    else if (T(1)->isVisibleTo(this))
        T_Click(1);
    else
        T_Click(0);
}

std::int16_t MsgBox_Show(const QString& title, const QString& text, std::int16_t style,
                         QWidget* parent)
{
    // A style the form cannot lay out would leave no button: it gets "Ok".
    if (buttonsOfStyle(style) == 0)
        style = 0;
    MsgBox_Form form(parent);
    form.Label1()->setText(title);
    form.setMessage(text);
    const int buttons = buttonsOfStyle(style);
    form.T(0)->setText(buttons == 1 ? QStringLiteral("Ok") : QStringLiteral("Si"));
    form.T(1)->setText(QStringLiteral("No"));
    form.T(2)->setText(QStringLiteral("Annulla"));
    for (int i = 0; i < 3; ++i)
        form.T(i)->setVisible(i < buttons);
    MsgBoxStile = style;
    form.exec();
    return MsgBoxRisposta;
}

} // namespace presenze
