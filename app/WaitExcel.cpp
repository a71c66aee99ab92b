#include "app/WaitExcel.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>

namespace uroflow {

TActivityIndicator::TActivityIndicator(QWidget* parent) : QWidget(parent) {
    timer_.setInterval(kFrameDelayMs);
    connect(&timer_, &QTimer::timeout, this, &TActivityIndicator::step);
}

void TActivityIndicator::step() {
    frame_ = (frame_ + 1) % kSectors;
    update();
}

void TActivityIndicator::showEvent(QShowEvent* event) {
    timer_.start();
    QWidget::showEvent(event);
}

void TActivityIndicator::hideEvent(QHideEvent* event) {
    timer_.stop();
    QWidget::hideEvent(event);
}

void TActivityIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    constexpr int kSpan = 360 * 16 / kSectors;
    for (int i = 0; i < kSectors; ++i) {
        // The bright sector is the current frame; the one behind it fades out.
        const int age = (frame_ - i + kSectors) % kSectors;
        QColor colour = palette().color(QPalette::WindowText);
        colour.setAlphaF(age == 0 ? 1.0 : age == 1 ? 0.5 : 0.15);
        painter.setBrush(colour);
        // Clockwise from twelve o'clock, with a gap between sectors.
        painter.drawPie(box, 90 * 16 - i * kSpan - 8, -(kSpan - 16));
    }
    // The hole in the middle makes a ring of sectors.
    painter.setBrush(palette().color(QPalette::Window));
    const qreal inset = box.width() / 4;
    painter.drawEllipse(box.adjusted(inset, inset, -inset, -inset));
}

TFormWaitExcel::TFormWaitExcel(QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), mainWindow_(mainWindow) {
    setWindowTitle(QStringLiteral("FormWait"));
    setFixedSize(432, 124);
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    LabelCount = new QLabel(QStringLiteral("*****************"), this);
    LabelCount->setGeometry(24, 24, 102, 17);
    LabelCount->setAlignment(Qt::AlignCenter);
    LabelCount->setFont(QFont(QStringLiteral("Arial"), 11));
    LabelCount->setToolTip(QStringLiteral("Counter wait"));

    ActivityIndicatorWait = new TActivityIndicator(this);
    ActivityIndicatorWait->setGeometry(377, 71, 32, 32);
}

void TFormWaitExcel::setCountText(const QString& text) {
    LabelCount->setWordWrap(false);
    LabelCount->setText(text);
    const int natural = LabelCount->sizeHint().width();
    const int room = width() - 2 * LabelCount->x();  // the same margin on the right
    const int labelWidth = std::clamp(natural, LabelCount->minimumWidth(), room);
    LabelCount->setWordWrap(natural > room);
    LabelCount->resize(labelWidth, std::max(LabelCount->heightForWidth(labelWidth),
                                            LabelCount->sizeHint().height()));
}

void TFormWaitExcel::showEvent(QShowEvent* event) {
    if (mainWindow_) {
        QRect frame = geometry();
        frame.moveCenter(mainWindow_->geometry().center());
        move(frame.topLeft());
    }
    QWidget::showEvent(event);
}

}  // namespace uroflow
