// corvane: the desktop kit.
#include <QApplication>
#include <cstdio>
#include <memory>

#include "app/ProcessObjects.h"
#include "ui/DesktopKit.h"
#include "ui/KitArguments.h"
#include "ui/CorvaneDoc.h"
#include "ui/MainFrame.h"
#include "ui/QtMessageBoxes.h"

#if defined(CORVANE_WITH_SIMULATOR)
#include "SbepSimulator.h"
#endif

int main(int argc, char** argv)
{
    theAppName = kApplicationName;
    QApplication app(argc, argv);
    std::vector<std::string> args;
    for (const QString& arg : QCoreApplication::arguments().mid(1))
        args.push_back(arg.toStdString());
    const KitArguments options = ParseKitArguments(args);
    if (!options.error.empty()) {
        std::fprintf(stderr, "corvane: %s\n%s", options.error.c_str(), kKitUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kKitUsage, stdout);
        return 0;
    }

    CQtMessageBoxes boxes;
    CScopedMessageBoxes presenter(&boxes);
    CDesktopKit kit;
    if (!kit.InitInstance())
        return 0;

    std::string device = options.device;
#if defined(CORVANE_WITH_SIMULATOR)
    std::unique_ptr<sbepsim::SbepSimulator> radio;
    if (options.simulate) {
        sbepsim::SimOptions sim;
        sim.echo = kit.Document()->RibEchoType() == 1;
        if (!options.model.empty())
            sim.model = options.model;
        radio = std::make_unique<sbepsim::SbepSimulator>(sim);
        if (!radio->Start()) {
            std::fprintf(stderr, "corvane: the simulated radio cannot start: %s\n",
                         radio->Error().c_str());
            return 1;
        }
        device = radio->DevicePath();
    }
#else
    if (options.simulate) {
        std::fputs("corvane: this build has no simulated radio\n", stderr);
        return 2;
    }
#endif
    if (!device.empty())
        kit.BindPortsTo(device);
    QObject::connect(kit.Frame(), &CMainFrame::quitRequested, &app,
                     [](int code) { QCoreApplication::exit(code); }, Qt::QueuedConnection);
    return QApplication::exec();
}
