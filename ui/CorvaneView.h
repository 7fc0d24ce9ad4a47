// The background view shown first: the product line's picture centred on a
// grey field. On the first tick of its timer it waits a moment and asks the
// main frame for the main form, once per process.
#pragma once

#include <QBasicTimer>
#include <QWidget>

class CCorvaneView : public QWidget {
    Q_OBJECT

public:
    explicit CCorvaneView(QWidget* parent = nullptr);

    // Starts the 250 ms timer.
    void OnInitialUpdate();

    // The process-wide flag: a background view has already asked for the form.
    static bool FormRequested();
    static void ResetFormRequested();  // for tests that start the kit again

    static constexpr int kTimerPeriodMs = 250;
    static constexpr int kWaitMs = 700;

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QBasicTimer timer_;
};
