#include "app/Shape.h"

#include <QPainter>

namespace uroflow {

TShape::TShape(QWidget* parent) : QWidget(parent) {
    // A panel is only a picture: clicks belong to the window beneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void TShape::setHatched(bool hatched) {
    if (hatched_ == hatched) return;
    hatched_ = hatched;
    update();
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (hatched_) {
        // The hatch lies on the window's own colour, which turns green during a transfer.
        painter.fillRect(rect(), palette().color(QPalette::Window));
        painter.fillRect(rect(), QBrush(kMoneyGreen, Qt::DiagCrossPattern));
    } else {
        painter.fillRect(rect(), kMoneyGreen);
    }
}

}  // namespace uroflow
