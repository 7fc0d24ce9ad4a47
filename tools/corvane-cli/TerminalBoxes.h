// Message boxes on a terminal: each box is printed as "<caption>: <text>";
// questions are answered by a fixed choice, or asked on the terminal.
#pragma once

#include <cstdio>
#include <string>

#include "CliOptions.h"
#include "app/MessageBox.h"

class CTerminalBoxes : public IMessageBoxes {
public:
    // `input` is read for answers only when it is a terminal.
    CTerminalBoxes(CliAnswers answers, std::FILE* out, std::FILE* input);
    MbAnswer Show(const MessageBoxRequest& box) override;

private:
    MbAnswer Ask(MbButtons buttons);

    CliAnswers answers_;
    std::FILE* out_;
    std::FILE* input_;
};
