// The main form: the title and description of the kit from patcher.dat, the
// caution line, and the Program button that runs the job against the radio.
#pragma once

#include <QString>
#include <QWidget>

#include "workflow/UpgradeWorkflow.h"

class CCorvaneDoc;
class CSXButton;
class QGroupBox;
class QLabel;

class CUpgradeForm : public QWidget {
    Q_OBJECT

public:
    // Colours of the form: the text of the title and description, and the
    // caution line.
    static constexpr QRgb kTextColour = 0xFFFF00;     // red 255, green 255, blue 0
    static constexpr QRgb kCautionColour = 0xC80000;  // red 200
    static constexpr QRgb kFrameTextColour = 0xFFFFFF;

    CUpgradeForm(CCorvaneDoc* document, QWidget* parent = nullptr);
    ~CUpgradeForm() override;

    // Reads the texts from patcher.dat, sets up the Program button, moves
    // the texts into their controls, then checks the product line and the
    // testing-version marker.
    void OnInitialUpdate();

    CSXButton* ProgramButton() const { return program_; }
    QLabel* TitleControl() const { return titleControl_; }
    QLabel* DescriptionControl() const { return descriptionControl_; }
    QLabel* CautionControl() const { return caution_; }
    CUpgradeWorkflow& Workflow() { return workflow_; }
    QString titleText;
    QString descriptionText;

signals:
    // The program is to end with this exit code.
    void quitRequested(int exitCode);

public slots:
    void OnProgram();

private:
    // Moves the texts into their controls.
    void UpdateControls();
    // Passes on the workflow's request to end the program.
    void ForwardQuitRequest();

    CCorvaneDoc* document_;
    CSXButton* program_;
    QGroupBox* titleFrame_;
    QGroupBox* descriptionFrame_;
    QLabel* titleControl_;
    QLabel* descriptionControl_;
    QLabel* caution_;
    // The form's logic: configuration, checks and the Program job.
    CUpgradeWorkflow workflow_;
};
