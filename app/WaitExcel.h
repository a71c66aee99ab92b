#pragma once
// The wait window shown while the Excel export runs: a counter text and a
// rotating activity indicator. Layout only; the export drives it.

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QLabel;

namespace uroflow {

// A circle of dots with one bright sector that steps round while visible.
class TActivityIndicator : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kFrameDelayMs = 100;
    static constexpr int kSectors = 8;

    explicit TActivityIndicator(QWidget* parent);

    bool isAnimating() const { return timer_.isActive(); }
    int frame() const { return frame_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void step();

    QTimer timer_;
    int frame_ = 0;
};

class TFormWaitExcel : public QWidget {
    Q_OBJECT

  public:
    // `mainWindow` is the window the form is centred over when shown.
    explicit TFormWaitExcel(QWidget* mainWindow = nullptr);

    // Puts `text` into LabelCount and fits the label to it: it grows rightwards from
    // its place, and wraps where the text would run past the window (a wider font
    // standing in for the designed one).
    void setCountText(const QString& text);

    QLabel* LabelCount = nullptr;
    TActivityIndicator* ActivityIndicatorWait = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QPointer<QWidget> mainWindow_;
};

}  // namespace uroflow
