#pragma once
// Keeps an action usable exactly while a control is: enabled and not hidden.

#include <QObject>

class QAction;
class QWidget;

namespace uroflow {

class ActionFollower : public QObject {
  public:
    // Owned by the action; `source` outlives it (both belong to the window).
    ActionFollower(QWidget* source, QAction* follower);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void follow();

    QWidget* source_;
    QAction* follower_;
};

}  // namespace uroflow
