#pragma once
// The program's own message box: a borderless window with a title line, a
// multi-line message and one, two or three buttons, sized to the message,
// centred on the screen and kept above other windows. A caller fills
// Label1 (title) and Text1 (message), captions and shows the buttons it
// needs, sets MsgBoxStile, shows the form modally and reads MsgBoxRisposta
// (MsgBox_Show does all of this).

#include "common/MsgBoxRoutine.h"

#include <QDialog>
#include <array>

class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;

namespace presenze {

class MsgBox_Form final : public QDialog {
    Q_OBJECT
public:
    explicit MsgBox_Form(QWidget* parent = nullptr);

    QLabel* Label1() const { return m_label1; }
    QTextEdit* Text1() const { return m_text1; }
    QPushButton* T(int index) const { return m_t.at(static_cast<std::size_t>(index)); }
    QFrame* Shape1() const { return m_shape1; }

    // The message as the form measures it: lines ended by CR LF.
    void setMessage(const QString& text);
    QString message() const;

    // Pixels of a length in twips on this form's screen.
    int pixels(int twips) const;

    void Form_Load();
    void Form_Activate();
    void T_Click(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    QLabel* m_label1 = nullptr;
    QTextEdit* m_text1 = nullptr;
    std::array<QPushButton*, 3> m_t{};
    QFrame* m_shape1 = nullptr;
    QString m_message;
};

// Shows the form modally with `style` (0 or 48: "Ok"; 4, 36 or 200..400:
// "Si" and "No"; 35 or 51: "Si", "No", "Annulla"; any other style is shown as
// 0) and returns MsgBoxRisposta.
std::int16_t MsgBox_Show(const QString& title, const QString& text, std::int16_t style,
                         QWidget* parent = nullptr);

} // namespace presenze
