// Communication Settings: the COM port, chosen from a list or typed.
#pragma once

#include <QDialog>
#include <QString>

class QComboBox;

class CCommDialog : public QDialog {
    Q_OBJECT

public:
    explicit CCommDialog(QWidget* parent = nullptr);

    // The port text, exchanged with the combo box: put into it when the
    // dialog is shown, taken from it when OK is accepted.
    QString portText;

    QComboBox* Combo() const { return combo_; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QComboBox* combo_;
};
