// The upgrade form's logic, free of windows: its start-up checks and the
// Program job that repairs the radio's sales model number. The desktop form
// and the command-line kit each own one and drive it; every box goes through
// the message-box interface, every radio exchange through the SBEP broker.
#pragma once

#include <cstdint>
#include <string>

#include "app/FileManager.h"
#include "sbep/SbepBroker.h"

class CUpgradeWorkflow {
public:
    CUpgradeWorkflow();
    virtual ~CUpgradeWorkflow();
    CUpgradeWorkflow(const CUpgradeWorkflow&) = delete;
    CUpgradeWorkflow& operator=(const CUpgradeWorkflow&) = delete;

    // The form's initial update without a window: ReadConfiguration, then,
    // when it succeeded, RunStartUpChecks. Returns false when the
    // configuration could not be read; the texts then stay empty and neither
    // check runs. A form with controls calls the two halves itself, so that
    // its texts and Program button are in place before any check's box.
    bool OnInitialUpdate(const std::string& startDirectory);
    // Reads the title and description from patcher.dat in `startDirectory`
    // (the current directory is restored on every path), with the boxes for
    // a file that cannot be opened or read. Returns false for those.
    bool ReadConfiguration(const std::string& startDirectory);
    // The checks that follow a successful read, in this order: the end of
    // the program for an unknown product line, then the testing version.
    void RunStartUpChecks();
    // Ends the program, after its box, when no product line is known.
    void CheckProductLine();
    // Asks before going on with a testing version; Cancel requests the end.
    void CheckTestingVersion();
    // True when line 2 of the RADIO_GROUP_REGION section begins with t or T.
    bool IsTestingVersion();

    // The Program command with the settings' port and RIB echo type. Returns
    // true when the job showed no error. The port is closed on every path.
    bool OnProgram(std::int32_t portId, unsigned char ribEchoType);

    const std::string& Title() const { return title_; }
    const std::string& Description() const { return description_; }
    // The program is to end (the quit message of the desktop kit).
    bool QuitRequested() const { return quitRequested_; }
    int QuitExitCode() const { return quitExitCode_; }
    // Any error box shown since construction.
    bool ErrorShown() const { return errorShown_; }

    CSbepBroker& Broker() { return broker_; }

private:
    // Steps 4 to 8 of the job: read, ask, repair. False when it showed an
    // error of its own.
    bool RepairModelNumber();
    void ClosePort();
    void RequestQuit(int exitCode);
    // Shows `text` in the application message box and writes it to the log.
    void ReportError(const char* text);
    void ShowErrorBox(const std::string& text);

    CSbepBroker broker_;
    FileManager config_;
    std::string sectionName_;
    std::string headerLines_[2];
    std::string title_;
    std::string description_;
    bool configRead_ = false;
    bool quitRequested_ = false;
    int quitExitCode_ = 0;
    bool errorShown_ = false;
};
