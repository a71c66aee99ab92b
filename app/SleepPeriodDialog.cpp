// The small dialog before the day report: the sleep period its night figures assume.

#include "app/SleepPeriodDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QTime>
#include <QTimeEdit>

namespace uroflow {

namespace {

QTime clock(int minuteOfDay) {
    return QTime(minuteOfDay / 60, minuteOfDay % 60);
}

int minuteOf(const QTime& time) {
    return time.hour() * 60 + time.minute();
}

QTimeEdit* timeEdit(int minuteOfDay, QWidget* parent) {
    auto* edit = new QTimeEdit(clock(minuteOfDay), parent);
    edit->setDisplayFormat(QStringLiteral("HH:mm"));
    return edit;
}

}  // namespace

SleepPeriodDialog::SleepPeriodDialog(const NightWindow& current, QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Период сна"));
    auto* layout = new QFormLayout(this);
    auto* hint =
        new QLabel(QStringLiteral("Ночные показатели отчета (ноктурия, ночной объем, индекс ночной "
                                  "полиурии) считаются для этого периода сна."),
                   this);
    hint->setWordWrap(true);
    layout->addRow(hint);
    Bedtime = timeEdit(current.from, this);
    Rising = timeEdit(current.to, this);
    layout->addRow(QStringLiteral("Отход ко сну:"), Bedtime);
    layout->addRow(QStringLiteral("Подъем:"), Rising);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    layout->addRow(Buttons);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(Bedtime, &QTimeEdit::timeChanged, this, [this] { checkTimes(); });
    connect(Rising, &QTimeEdit::timeChanged, this, [this] { checkTimes(); });
    checkTimes();
}

NightWindow SleepPeriodDialog::period() const {
    return {minuteOf(Bedtime->time()), minuteOf(Rising->time())};
}

void SleepPeriodDialog::checkTimes() {
    const NightWindow shown = period();
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(shown.from != shown.to);
}

}  // namespace uroflow
