// A message-box presenter that records every box and gives a set answer.
#pragma once

#include <vector>

#include "app/MessageBox.h"

class CRecordingBoxes : public IMessageBoxes {
public:
    explicit CRecordingBoxes(MbAnswer answer = MbAnswer::Ok) : answer_(answer) {}
    MbAnswer Show(const MessageBoxRequest& box) override
    {
        shown.push_back(box);
        return answer_;
    }
    std::vector<MessageBoxRequest> shown;

private:
    MbAnswer answer_;
};
