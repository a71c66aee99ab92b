// An action's enabled state follows its control's enabled and hidden states.

#include "app/ActionFollower.h"

#include <QAction>
#include <QEvent>
#include <QWidget>

namespace uroflow {

ActionFollower::ActionFollower(QWidget* source, QAction* follower, Follow rule)
    : QObject(follower), source_(source), follower_(follower), rule_(rule) {
    source->installEventFilter(this);
    follow();
}

bool ActionFollower::eventFilter(QObject* watched, QEvent* event) {
    if (watched != source_) return false;
    switch (event->type()) {
        case QEvent::EnabledChange:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            follow();
            break;
        default:
            break;
    }
    return false;
}

void ActionFollower::follow() {
    follower_->setEnabled(source_->isEnabled() &&
                          (rule_ == Follow::Enabled || !source_->isHidden()));
}

}  // namespace uroflow
