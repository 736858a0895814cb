// The Token Collection Table: which tokens a move lets the player claim, by
// what the move did, in four ruled groups. A fixed card: no input, no logic.
#pragma once

#include <QDialog>

class TokenTableDialog : public QDialog {
    Q_OBJECT

public:
    explicit TokenTableDialog(QWidget* parent = nullptr);
};
