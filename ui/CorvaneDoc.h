// The application's one document: the communication settings every radio job
// needs, the directory the program started in, and the kind of view the
// frame shows. Settings are loaded when it is made and saved when it closes.
#pragma once

#include <QObject>
#include <string>

#include "app/CommSettings.h"
#include "ui/FrameMessages.h"

class QWidget;

class CCorvaneDoc : public QObject {
    Q_OBJECT

public:
    CCorvaneDoc();

    std::int32_t PortId() const { return settings_.portId; }
    unsigned char RibEchoType() const { return settings_.ribEchoType; }
    const std::string& StartDirectory() const { return settings_.StartDirectory(); }
    CCommSettings& Settings() { return settings_; }

    // Which view the frame shows: VIEW_BACKGROUND or VIEW_MAIN_FORM.
    int currentViewKind = VIEW_BACKGROUND;

    // Saves the settings; the frame calls it when the main window closes.
    void OnCloseDocument();

signals:
    // An accepted Comm Setting chose this port.
    void portChanged(int portId);

public slots:
    // Comm Setting: the port, chosen in its dialog; the frame's status pane
    // follows an accepted choice.
    void OnCommSetting();
    // RIB Setting: echo or no echo, chosen in its dialog.
    void OnRibSetting();

private:
    CCommSettings settings_;
};
