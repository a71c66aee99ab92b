// The demo mode's pacing of the simulated uroflowmeter.

#include "app/DemoPacer.h"

namespace uroflow {

namespace {
constexpr double kReportsPerMs = 1.0;
// After a stall (a message box held the reports) the pace resumes; it does not rush.
constexpr double kMaxOwed = 20;
}  // namespace

DemoPacer::DemoPacer(SimulatedUroflowmeter& device) : device_(device) {
    timer_.setInterval(1);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { tick(); });
    device_.setQueueWake([this] { wake(); });
    if (device_.queued() > 0) wake();
}

DemoPacer::~DemoPacer() {
    device_.setQueueWake(nullptr);
}

void DemoPacer::wake() {
    if (timer_.isActive()) return;
    clock_.restart();
    paid_ = -1;  // the first report is due at once
    timer_.start();
}

void DemoPacer::tick() {
    // Counted from the start, so late timer turns do not slow the pace down.
    double owed = static_cast<double>(clock_.nsecsElapsed()) / 1e6 * kReportsPerMs - paid_;
    if (owed > kMaxOwed) {
        paid_ += owed - kMaxOwed;
        owed = kMaxOwed;
    }
    while (owed >= 1) {
        switch (device_.deliverNext()) {
            case SimulatedUroflowmeter::Delivered::Nothing:
                timer_.stop();
                return;
            case SimulatedUroflowmeter::Delivered::Held:
                return;  // a report is being handled: a later turn goes on
            case SimulatedUroflowmeter::Delivered::Report:
                paid_ += 1;
                owed -= 1;
                break;
            case SimulatedUroflowmeter::Delivered::DeviceChange:
                break;
        }
    }
}

}  // namespace uroflow
