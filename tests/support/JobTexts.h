// The texts that the job shows in its boxes and writes to the log, and a
// comparison of the boxes shown with those expected.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MessageBox.h"

namespace testing_support {

struct Box {
    std::string caption;
    std::string text;
    MbIcon icon;
};

inline void ExpectBoxes(const std::vector<MessageBoxRequest>& shown,
                        const std::vector<Box>& expected)
{
    ASSERT_EQ(shown.size(), expected.size()) << "boxes shown";
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(shown[i].caption, expected[i].caption) << "box " << i;
        EXPECT_EQ(shown[i].text, expected[i].text) << "box " << i;
        EXPECT_EQ(shown[i].icon, expected[i].icon) << "box " << i;
    }
}

inline const char kAppTitle[] = "Professional Corvane";

// The application message box with its default exclamation icon.
inline Box AppBox(const std::string& text) { return {kAppTitle, text, MbIcon::Warning}; }

inline Box ConfirmBox(const std::string& number)
{
    return {"Confirm",
            "Are you sure you want to fix the invalid sales model number of " + number + "?",
            MbIcon::Question};
}

inline Box CompletedBox(const std::string& from, const std::string& to)
{
    return {"Process completed", "From: " + from + " to " + to, MbIcon::Information};
}

inline Box ValidBox(const std::string& number)
{
    return {"Info",
            number + " appears to be a valid sales model number, no weird character found at "
                     "the first character",
            MbIcon::Information};
}

inline const std::string kRecoveryText =
    "Error detected.\nPlease press OK to recover the radio or press CANCEL to exit the recovery "
    "function.\nIf problem still persists, please send the radio to service center.";
inline const Box kRecoveryPromptBox{kAppTitle, kRecoveryText, MbIcon::Error};

inline const Box kNoModelNumberBox = AppBox(
    "The radio did not report a sales model number, so it cannot be repaired. Nothing was "
    "written to the radio.");

inline const std::string kJobFailedLine = "CRadioInfo::UpdateModelNo: Update Model No. failed";

// Log lines of the transport and the broker.
inline const std::string kNakText = "Receive Negative Ack from external device";
inline const std::string kCorruptedText = "The SBEP reply message is corrupted";
inline const std::string kWhileSending =
    "CSbepComm::SendCommand: Encountered the above error while sending the following message";
inline const std::string kWhileAck =
    "CSbepComm::SendCommand: Encountered the above error while getting ack";
inline const std::string kWhileReply =
    "CSbepComm::SendCommand: Encountered the above error while getting reply";
inline const std::string kExhausted = "CSbepComm::SendCommand: Retry exhuasted, so exit request";
inline std::string RetryLine(int n)
{
    return "CSbepComm::SendCommand: Request failed! Retry number = " + std::to_string(n);
}

// Texts of the broker's errors.
inline const std::string kBadStatusText =
    "Did not receive good Radio Status reply for SBEP Radio Status Request";
inline const std::string kBadUpdateText =
    "Did not receive good Update Serial Number reply for SBEP Update Serial No. Request";
inline const std::string kTimeoutText = "Timeout occurred while sending SBEP command";

}  // namespace testing_support
