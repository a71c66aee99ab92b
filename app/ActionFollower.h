#pragma once
// Keeps an action usable exactly while a control is: enabled and not hidden, or only
// enabled for an action that stands for more than that control's click.

#include <QObject>

class QAction;
class QWidget;

namespace uroflow {

class ActionFollower : public QObject {
  public:
    enum class Follow { EnabledAndShown, Enabled };

    // Owned by the action; `source` outlives it (both belong to the window).
    ActionFollower(QWidget* source, QAction* follower, Follow rule = Follow::EnabledAndShown);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void follow();

    QWidget* source_;
    QAction* follower_;
    Follow rule_;
};

}  // namespace uroflow
