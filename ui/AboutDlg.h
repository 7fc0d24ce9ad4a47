// The About box: the kit's name for the product line and its version.
#pragma once

#include <QDialog>

class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QLabel* TitleControl() const { return title_; }

private:
    QLabel* title_;
};
