#pragma once
// Paces the simulated uroflowmeter of the demo mode: its reports reach the window at
// about the speed of a full-speed USB device, one per millisecond, and device
// changes at once. The event loop runs between reports, so the window stays
// responsive during a download.

#include <QElapsedTimer>
#include <QTimer>

#include "reader/SimulatedUroflowmeter.h"

namespace uroflow {

class DemoPacer {
  public:
    explicit DemoPacer(SimulatedUroflowmeter& device);
    ~DemoPacer();
    DemoPacer(const DemoPacer&) = delete;
    DemoPacer& operator=(const DemoPacer&) = delete;

  private:
    void wake();
    void tick();

    SimulatedUroflowmeter& device_;
    QTimer timer_;
    QElapsedTimer clock_;  // since the queue last woke the pacer
    double paid_ = 0;      // reports delivered since, in report periods
};

}  // namespace uroflow
