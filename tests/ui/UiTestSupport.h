// Helpers for the desktop kit's tests: a private settings area, a scratch
// current directory with or without patcher.dat, and message boxes answered
// from a script.
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/MessageBox.h"

// Points the settings store and the application profile at a private
// folder; call before QApplication is made.
void UseScratchSettings();

// A fresh current directory for its life; the old one comes back afterwards.
class CScratchDirectory {
public:
    CScratchDirectory();
    ~CScratchDirectory();
    QString Path() const { return dir_.path(); }
    // Writes `plain` enciphered as patcher.dat here.
    void WriteConfig(const std::string& plain) const;

private:
    QString saved_;
    QTemporaryDir dir_;
};

// A patcher.dat text for the product line `line`; testing version when `testing`.
std::string ConfigText(const std::string& line, bool testing = false);

// Records every box and answers from the script; once the script runs out,
// every box is answered with `fallback` (OK for a box with only OK).
class CScriptedBoxes : public IMessageBoxes {
public:
    explicit CScriptedBoxes(std::deque<MbAnswer> script = {}, MbAnswer fallback = MbAnswer::Ok)
        : script_(std::move(script)), fallback_(fallback)
    {
    }
    MbAnswer Show(const MessageBoxRequest& box) override;

    std::vector<MessageBoxRequest> shown;
    // Called with each box before it is answered (screenshots, checks).
    std::function<void(const MessageBoxRequest&)> onShow;

private:
    std::deque<MbAnswer> script_;
    MbAnswer fallback_;
};

class CUpgradeForm;

// A busy machine can hold the simulated radio back longer than the 100 ms to
// acknowledge and the 250 ms for each echoed byte that a real radio gets.
// For a radio that answers every request, the form's job waits patiently.
void WaitPatientlyForTheRadio(CUpgradeForm& form);

// Runs `action` once the next modal dialog is up, then leaves it to the test.
void WhenModalDialogShows(std::function<void(QWidget*)> action);

// main() of a desktop-kit test: scratch settings, the application name, the
// application object, then the test class.
#define CORVANE_UI_TEST_MAIN(TestClass)             \
    int main(int argc, char** argv)                 \
    {                                               \
        UseScratchSettings();                       \
        PrepareKitProcess();                        \
        QApplication app(argc, argv);               \
        TestClass test;                             \
        return QTest::qExec(&test, argc, argv);     \
    }

// Sets the application name, as the program does before any window.
void PrepareKitProcess();
