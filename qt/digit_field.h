// A number field whose keys type digits only. Text that comes any other way,
// pasted or set by an assistive tool, stays as it is: the station queries
// read it by their own (atoi) rules.
#pragma once

#include <QLineEdit>

class DigitField : public QLineEdit {
    Q_OBJECT

public:
    explicit DigitField(QWidget* parent = nullptr);

    // Room for a few digits, not the line edit's usual seventeen letters.
    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};
