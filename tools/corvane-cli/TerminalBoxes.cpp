#include "TerminalBoxes.h"

#include <cctype>

#include "platform/Console.h"

namespace {

MbAnswer Consent(MbButtons buttons, bool yes)
{
    if (buttons == MbButtons::YesNo)
        return yes ? MbAnswer::Yes : MbAnswer::No;
    return yes ? MbAnswer::Ok : MbAnswer::Cancel;
}

std::string ReadLine(std::FILE* input)
{
    std::string line;
    for (int c = std::fgetc(input); c != EOF && c != '\n'; c = std::fgetc(input))
        line += static_cast<char>(std::tolower(c));
    return line;
}

}  // namespace

CTerminalBoxes::CTerminalBoxes(CliAnswers answers, std::FILE* out, std::FILE* input)
    : answers_(answers), out_(out), input_(input)
{
}

MbAnswer CTerminalBoxes::Show(const MessageBoxRequest& box)
{
    std::fprintf(out_, "%s: %s\n", box.caption.c_str(), box.text.c_str());
    std::fflush(out_);
    if (box.buttons == MbButtons::Ok)
        return MbAnswer::Ok;
    switch (answers_) {
    case CliAnswers::Yes: return Consent(box.buttons, true);
    case CliAnswers::No: return Consent(box.buttons, false);
    case CliAnswers::Ask: break;
    }
    return Ask(box.buttons);
}

MbAnswer CTerminalBoxes::Ask(MbButtons buttons)
{
    // Without a terminal nobody can consent: never write to a radio then.
    if (!IsInteractive(input_))
        return Consent(buttons, false);
    const bool yesNo = buttons == MbButtons::YesNo;
    std::fprintf(out_, yesNo ? "Yes or No? [y/N] " : "OK or Cancel? [o/C] ");
    std::fflush(out_);
    const std::string line = ReadLine(input_);
    const bool yes = yesNo ? (line == "y" || line == "yes") : (line == "o" || line == "ok");
    return Consent(buttons, yes);
}
