// Start-up of the desktop kit: the document, the main frame and its first
// view, brought up in order under the product line's title.
#pragma once

#include <memory>
#include <string>

class CCorvaneDoc;
class CMainFrame;

class CDesktopKit {
public:
    CDesktopKit();
    ~CDesktopKit();
    CDesktopKit(const CDesktopKit&) = delete;
    CDesktopKit& operator=(const CDesktopKit&) = delete;

    // Switches the error log's file output off, chooses the product line,
    // makes the document (which loads the settings), the frame and the
    // background view, shows the frame under the product line's title with
    // the document's port in the status bar, and makes the cancel event.
    // False: the program ends.
    bool InitInstance();

    // From now on the document's port, and every port chosen later, opens
    // `device`. Call after InitInstance.
    void BindPortsTo(const std::string& device);

    CCorvaneDoc* Document() const { return document_.get(); }
    CMainFrame* Frame() const { return frame_.get(); }

private:
    void BindPort(int port) const;

    std::string portDevice_;
    std::unique_ptr<CCorvaneDoc> document_;
    std::unique_ptr<CMainFrame> frame_;
};
