// Message boxes as Qt windows: the presenter that the desktop kit installs.
#pragma once

#include <memory>

#include "app/MessageBox.h"

class QMessageBox;
class QWidget;

// A message box for the request, not yet shown, parented to `parent` (the
// active window, else the main frame, when null).
std::unique_ptr<QMessageBox> MakeMessageBox(const MessageBoxRequest& box, QWidget* parent = nullptr);

class CQtMessageBoxes : public IMessageBoxes {
public:
    MbAnswer Show(const MessageBoxRequest& box) override;
};
