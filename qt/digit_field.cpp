#include "digit_field.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// The digits atoi reads: ASCII only.
bool IsDigit(QChar ch) {
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

// Control characters (Tab, Enter, Backspace) are commands, not text typed.
bool TypesNonDigit(const QString& text) {
    for (QChar ch : text) {
        if (ch.isPrint() && !IsDigit(ch)) return true;
    }
    return false;
}

}  // namespace

DigitField::DigitField(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignCenter);
    setInputMethodHints(Qt::ImhDigitsOnly);
}

QSize DigitField::sizeHint() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QMargins margins = textMargins() + contentsMargins();
    const QSize text(
        fontMetrics().horizontalAdvance(QStringLiteral("00000")) + margins.left() + margins.right(),
        fontMetrics().height());
    const QSize framed = style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this);
    return QSize(framed.width(), QLineEdit::sizeHint().height());
}

void DigitField::keyPressEvent(QKeyEvent* event) {
    // Ctrl and Ctrl+Shift give commands (paste, select all), never text.
    const Qt::KeyboardModifiers held = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (held != Qt::ControlModifier && TypesNonDigit(event->text())) return;  // swallowed
    QLineEdit::keyPressEvent(event);
}

void DigitField::inputMethodEvent(QInputMethodEvent* event) {
    if (!TypesNonDigit(event->commitString())) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QString digits = event->commitString();
    digits.removeIf([](QChar ch) { return ch.isPrint() && !IsDigit(ch); });
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(digits, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}
