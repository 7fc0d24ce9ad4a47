// RIB Setting: whether the radio interface box echoes what the PC sends.
#pragma once

#include <QDialog>

class QButtonGroup;

class CRibDialog : public QDialog {
    Q_OBJECT

public:
    explicit CRibDialog(QWidget* parent = nullptr);

    // The selected radio button, exchanged with the dialog: 0 "Echo",
    // 1 "No Echo", -1 none.
    int radioIndex = -1;

    QButtonGroup* Group() const { return group_; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QButtonGroup* group_;
};
