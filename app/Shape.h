#pragma once
// A background panel of the window: a money-green rectangle without outline,
// filled solid or hatched with a diagonal cross (a command waiting for its
// transfer to end).

#include <QColor>
#include <QWidget>

namespace uroflow {

inline const QColor kMoneyGreen{192, 220, 192};

class TShape : public QWidget {
    Q_OBJECT

  public:
    explicit TShape(QWidget* parent);

    void setHatched(bool hatched);
    bool isHatched() const { return hatched_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool hatched_ = false;
};

}  // namespace uroflow
