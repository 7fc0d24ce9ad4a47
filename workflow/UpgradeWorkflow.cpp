#include "workflow/UpgradeWorkflow.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/MessageBox.h"
#include "app/ProcessObjects.h"
#include "errors/Error.h"
#include "res/StringTable.h"

namespace {

constexpr std::size_t kNumberBuffer = 32;
constexpr std::size_t kNumberCapacity = 17;  // 16 characters and the NUL
constexpr std::size_t kNumberMax = 16;

const char kRadioGroupSection[] = "RADIO_GROUP_REGION";

std::string TrimRight(std::string text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    return text;
}

// Makes a directory current for its life and puts the previous one back.
class CScopedCurrentDirectory {
public:
    explicit CScopedCurrentDirectory(const std::string& directory)
    {
        std::error_code error;
        saved_ = std::filesystem::current_path(error);
        if (!directory.empty())
            std::filesystem::current_path(directory, error);
    }
    ~CScopedCurrentDirectory()
    {
        std::error_code error;
        if (!saved_.empty())
            std::filesystem::current_path(saved_, error);
    }
    CScopedCurrentDirectory(const CScopedCurrentDirectory&) = delete;
    CScopedCurrentDirectory& operator=(const CScopedCurrentDirectory&) = delete;

private:
    std::filesystem::path saved_;
};

}  // namespace

CUpgradeWorkflow::CUpgradeWorkflow() = default;

CUpgradeWorkflow::~CUpgradeWorkflow() = default;

void CUpgradeWorkflow::ShowErrorBox(const std::string& text)
{
    errorShown_ = true;
    AppMessageBox(text);
}

void CUpgradeWorkflow::RequestQuit(int exitCode)
{
    quitRequested_ = true;
    quitExitCode_ = exitCode;
}

bool CUpgradeWorkflow::ReadConfiguration(const std::string& startDirectory)
{
    CScopedCurrentDirectory inStart(startDirectory);
    if (!config_.OpenConfig()) {
        ShowErrorBox("Unable to open configuration file");
        return false;
    }
    if (!config_.LoadConfig()) {
        ShowErrorBox("Unable to read configuration file");
        return false;
    }
    sectionName_ = ResString(IDS_HEADER_SECTION);
    config_.FindSection(sectionName_);
    config_.GetLine(1, headerLines_[0]);
    config_.GetLine(2, headerLines_[1]);
    title_ = headerLines_[0];
    description_ = headerLines_[1];
    configRead_ = true;
    return true;
}

bool CUpgradeWorkflow::OnInitialUpdate(const std::string& startDirectory)
{
    if (!ReadConfiguration(startDirectory))
        return false;
    RunStartUpChecks();
    return true;
}

void CUpgradeWorkflow::RunStartUpChecks()
{
    CheckProductLine();
    CheckTestingVersion();
}

void CUpgradeWorkflow::CheckProductLine()
{
    if (theApp.productLine != kNoProductLine)
        return;
    errorShown_ = true;
    if (ShowMessageBox("Error", "Unknown product line in configuration file. Press OK to exit.",
                       MbIcon::Error, MbButtons::Ok) == MbAnswer::Ok)
        RequestQuit(0);
}

bool CUpgradeWorkflow::IsTestingVersion()
{
    if (!configRead_)
        return false;
    sectionName_ = kRadioGroupSection;
    config_.FindSection(sectionName_);
    std::string line;
    config_.GetLine(2, line);
    return !line.empty() && (line[0] == 't' || line[0] == 'T');
}

void CUpgradeWorkflow::CheckTestingVersion()
{
    if (IsTestingVersion() &&
        ShowMessageBox("Warning", ResString(IDS_TESTING_WARNING), MbIcon::Warning,
                       MbButtons::OkCancel) == MbAnswer::Cancel)
        RequestQuit(0);
}

void CUpgradeWorkflow::ClosePort()
{
    broker_.comm.Close();
    broker_.portOpen = 0;
}

void CUpgradeWorkflow::ReportError(const char* text)
{
    ShowErrorBox(text);
    theErrorLog.Log("%s", text);
}

bool CUpgradeWorkflow::OnProgram(std::int32_t portId, unsigned char ribEchoType)
{
    try {
        broker_.comm.Open(static_cast<unsigned>(portId), ribEchoType);
        broker_.portOpen = 1;
    } catch (const CError& error) {
        errorShown_ = true;
        ShowMessageBox("Error", error.GetText(), MbIcon::Error, MbButtons::Ok);
        ClosePort();
        return false;
    }

    bool good = true;
    try {
        good = RepairModelNumber();
    } catch (const CError& error) {
        // Every error of the job, a CGenError too, ends it here.
        ReportError(error.GetText());
        theErrorLog.Log("CRadioInfo::UpdateModelNo: Update Model No. failed");
        ClosePort();
        return false;
    }

    try {
        broker_.SendEndOfJobRequest();
    } catch (const CError& error) {
        ReportError(error.GetText());
        good = false;
    }
    ClosePort();
    return good;
}

bool CUpgradeWorkflow::RepairModelNumber()
{
    char number[kNumberBuffer] = {};
    broker_.RadioStatusRequest(kSbepItemModelRead, number, kNumberCapacity);

    const std::string question =
        TrimRight(std::string("Are you sure you want to fix the invalid sales model number of ") +
                  number) +
        "?";
    if (number[0] >= 'A' && number[0] <= 'Z') {
        ShowMessageBox("Info",
                       TrimRight(number) + " appears to be a valid sales model number, no weird "
                                           "character found at the first character",
                       MbIcon::Information, MbButtons::Ok);
        return true;
    }
    if (number[0] == '\0') {
        // Only the recovery path of lines 3 and 4 gets here: the radio told us
        // no number, so there is nothing to repair and nothing may be written.
        theErrorLog.Log("CUpgradeForm::OnProgram: No sales model number was read, nothing "
                        "written");
        ShowErrorBox("The radio did not report a sales model number, so it cannot be "
                     "repaired. Nothing was written to the radio.");
        return false;
    }
    if (ShowMessageBox("Confirm", question, MbIcon::Question, MbButtons::YesNo) != MbAnswer::Yes)
        return true;

    // The new number is the old one without its first character; a full
    // 16-character number keeps its length with a trailing blank.
    number[kNumberMax] = ' ';
    number[kNumberMax + 1] = '\0';
    char newNumber[kNumberBuffer] = {};
    std::memcpy(newNumber, number + 1, kNumberBuffer - 3);

    const std::string report =
        TrimRight(TrimRight(std::string("From: ") + number) + " to " + newNumber);
    broker_.UpdateModelNumber(newNumber);
    ShowMessageBox("Process completed", report, MbIcon::Information, MbButtons::Ok);
    return true;
}
