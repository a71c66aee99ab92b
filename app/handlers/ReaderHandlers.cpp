// The reader link: finding the reader, the download, the commands that write the
// passport, erase and calibrate, and the end of every transfer.

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>

#include "app/Beeper.h"
#include "app/Clock.h"
#include "app/Dialogs.h"
#include "app/MemoText.h"
#include "app/Shape.h"
#include "app/Unit1.h"
#include "charts/ChartView.h"

namespace uroflow {

namespace {

const QString kAttention = QStringLiteral("Внимание!");
const QString kPassportCheck = QStringLiteral("Проверка паспортной части");
const QString kReceiveMode = QStringLiteral("Режим приема данных от Считывателя");
const QString kAtRestText = QStringLiteral(
    "Нажмите кнопку \"Загрузка\" или отсоедините Считыватель от ПК(USB) для автономного запуска "
    "Урофлоуметра!");
const QString kAbandonedText = QStringLiteral(
    "Передача данных прервана: Считыватель не отвечает или отсоединен. Повторите команду.");
const QString kAccessCaption = QStringLiteral("Доступ к Считывателю");
const QString kBatteryCaption = QStringLiteral("Проверка батареи датчика");
const QString kBatteryLowText =
    QStringLiteral("ВНИМАНИЕ! Батарея разряжена! Возможны сбои при стирании и записи!");
const QString kBatteryLowState = QStringLiteral("Uбат < 2,7В");
const QString kBatteryHighState = QStringLiteral("Uбат > 2,7В");
const QString kApplicationTitle = QStringLiteral("Урофлоуметрия");
const QColor kBatteryLowColour{255, 0, 0};

// Where the program's package puts the rule that lets users open the reader.
const QString kUdevRulePath = QStringLiteral("/usr/lib/udev/rules.d/70-uroflow-reader.rules");

QString accessText(const Claim& claim) {
    const QString device = QString::fromStdString(claim.device);
    if (claim.status == ClaimStatus::AccessDenied) {
        return QStringLiteral(
                   "Считыватель подключен, но у программы нет прав на устройство %1.\n\n"
                   "Права дает правило доступа %2, которое устанавливается вместе с "
                   "программой. Если его там нет, переустановите программу (с правами "
                   "администратора). Затем отсоедините Считыватель и подключите его снова.")
            .arg(device, kUdevRulePath);
    }
    return QStringLiteral(
               "Считыватель подключен, но открыть устройство %1 не удалось: %2.\n\n"
               "Отсоедините Считыватель и подключите его снова.")
        .arg(device, QString::fromStdString(claim.errorText));
}

// Radio buttons of one group cannot be unchecked one by one.
void uncheck(QRadioButton* button) {
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

// The window's colour at rest: the platform's own background of windows.
QColor buttonFace() {
    return QApplication::palette().color(QPalette::Window);
}

std::u16string textOf(const QLineEdit* edit) {
    return edit->text().toStdU16String();
}

}  // namespace

void TTMForm::HIDDeviceChange() {
    HidDevice* const before = ReaderDevice;
    ReaderDevice = nullptr;
    ReaderFound = false;
    unclaimedReader_.reset();
    platform_.hid.enumerate(
        [this](HidDevice& device, int index) { return HIDEnumerate(device, index); });
    // Also when no device at all was listed, so an unplugged reader never leaves
    // its commands on screen.
    showReaderCommands();
    if (ReaderDevice != before) {
        transfer_.readerReplaced();
        // The reader that was to answer is gone (or another one took its place).
        if (transfer_.awaitingBlocks()) abandonTransfer();
    }
    reportUnclaimedReader();
}

bool TTMForm::HIDEnumerate(HidDevice& HidDev, int) {
    if (isReader(HidDev.vendorId(), HidDev.productId())) {
        const Claim claim = platform_.hid.claim(HidDev);
        if (claim.status == ClaimStatus::Claimed) {
            ReaderDevice = &HidDev;
            ReaderFound = true;
        } else {
            unclaimedReader_ = claim;
        }
    }
    showReaderCommands();
    return true;
}

void TTMForm::showReaderCommands() {
    for (QPushButton* command : {ReadData, WriteData}) {
        command->setVisible(ReaderFound);
        command->repaint();
    }
}

// Shown outside the enumeration, once per plug-in of a reader that cannot be used.
void TTMForm::reportUnclaimedReader() {
    if (!unclaimedReader_) {
        readerAccessWarned_ = false;
        return;
    }
    if (ReaderFound || readerAccessWarned_) return;
    readerAccessWarned_ = true;
    platform_.dialogs.message(kAccessCaption, accessText(*unclaimedReader_), MsgIcon::Warning,
                              MbOk);
}

void TTMForm::Click_code(int cod) {
    if (!ReaderDevice) return;
    transfer_.OutReport = bareCommand(cod);
    sendOutReport();
    Shape1->setHatched(false);
    Shape2->setHatched(true);
}

void TTMForm::sendOutReport() {
    // The report is 33 bytes; a device declaring shorter ones gets its length.
    const std::size_t declared = platform_.hid.outputReportLength(*ReaderDevice);
    const std::size_t length =
        declared == 0 ? transfer_.OutReport.size() : std::min(declared, transfer_.OutReport.size());
    const WriteResult written =
        platform_.hid.write(*ReaderDevice, std::span(transfer_.OutReport).first(length));
    WriteOK = written.ok;
    if (!WriteOK) {
        // A command the reader never got is not pending: no answer is awaited, so no
        // second message about a silent reader follows.
        transfer_.finishTransfer();
        TransferTimer->stop();
        setTransferColour(false);
        setTransferRunning(false);
        platform_.dialogs.message(kApplicationTitle, QString::fromStdString(written.errorText),
                                  MsgIcon::None, MbOk);
        return;
    }
    transfer_.transferSent(steadyMs(), written.reportsRead);
    if (transfer_.pendingCommand() != kCommandNone) {
        TransferTimer->start();
        setTransferRunning(true);
    } else {
        TransferTimer->stop();
    }
}

void TTMForm::setTransferRunning(bool running) {
    // Only the download may be started over while its answer arrives: a file loaded
    // or another command sent meanwhile would be overwritten by the rest of it.
    for (QWidget* control : transferCommands()) control->setEnabled(!running);
    ReadData->setEnabled(!running || transfer_.pendingCommand() == kCommandRead);
}

void TTMForm::withdrawDay() {
    // The answer replaces the day at its end: from its first block the day on screen is
    // on its way out, so nothing may save, print or evaluate it until a day is
    // downloaded or loaded.
    leaveNomogram();
    for (QWidget* control : studyCommands()) control->setEnabled(false);
    for (QWidget* control : studyNavigation()) control->setEnabled(false);
    Prev->setEnabled(false);
}

void TTMForm::ReadDataClick() {
    for (TChartView* chart : nomogramCharts()) chart->setVisible(false);
    charts.ChartGraf->setVisible(false);
    for (QWidget* control : studyNavigation()) control->setEnabled(false);
    Prev->setEnabled(false);
    Fokys->setVisible(false);
    DateArj->setVisible(false);
    for (QWidget* control : studyCommands()) control->setEnabled(false);
    for (QWidget* control : transferCommands()) control->setEnabled(false);
    Ur->setVisible(false);

    Mst->clear();
    Mnt->clear();
    clearIndexFields();
    for (QLineEdit* field : {DataStart, Name, Old}) field->clear();
    uncheck(sexM);
    uncheck(sexF);

    ReceiveStudies = true;
    ReceivePassport = true;
    Click_code(kCommandRead);
    // Pressed again during a download, the read starts over from block 0.
    transfer_.ReportCount = 0;
}

void TTMForm::HIDDeviceData(HidDevice& HidDev, std::uint8_t, const std::uint8_t* Data,
                            std::uint16_t Size, std::uint64_t ReadNumber) {
    // Only one reader is used: the last one enumerated.
    if (&HidDev != ReaderDevice) return;
    const BlockArrival arrival =
        transfer_.receiveBlock(*received_, {Data, Size}, steadyMs(), ReadNumber);
    if (arrival.stale) return;
    if (arrival.atRest) {
        if (arrival.warnAtRest) {
            platform_.dialogs.message(kReceiveMode, kAtRestText, MsgIcon::Warning, MbOk);
            transfer_.restWarningClosed(steadyMs());
            ReadData->setFocus();
        }
        return;
    }
    setTransferColour(true);
    if (transfer_.ReportCount == 1) withdrawDay();
    if (arrival.endOfTransfer) endOfTransfer();
}

void TTMForm::endOfTransfer() {
    // An error in the decoding (an invalid start time) is shown; the link still
    // returns to rest and the reader goes on delivering.
    guard([this] {
        day_->takeDownload(*received_, transfer_.ReportCount);
        // A downloaded day goes into the archive, also when its drawing fails below.
        if (ReceiveStudies) keepLater(KeepSource::Download, QString());
        charts.ChartGraf->clearSeries();
        charts.ChartVQ->clearSeries();
        Ur->clear();
        Mst->clear();
        Mnt->clear();
        clearIndexFields();
        LoadSteps steps;
        steps.scan = downloadScan(transfer_.ReportCount);
        steps.passport = ReceivePassport;
        steps.studies = ReceiveStudies;
        steps.download = true;
        showLoadedImage(steps);
    });
    transfer_.finishTransfer();
    Click_code(kCommandNone);
    for (TShape* band : {Shape1, Shape2, Shape3}) band->setHatched(false);
    charts.ChartGraf->setVisible(true);
    DateArj->setVisible(true);
    setTransferRunning(false);
    Ur->setVisible(true);
    setTransferColour(false);
    platform_.beeper.beep();
}

void TTMForm::showBatteryState() {
    Ur->clear();
    Ur->setEnabled(true);
    setUrColour(QColor());
    QFont font = Ur->font();
    font.setBold(false);
    Ur->setFont(font);
    switch (day_->deviceImage()[kBatteryOffset]) {
        case kBatteryLow:
            Ur->setText(kBatteryLowState);
            setUrColour(kBatteryLowColour);
            platform_.dialogs.message(kBatteryCaption, kBatteryLowText, MsgIcon::Information, MbOk);
            break;
        case kBatteryHigh:
            Ur->setText(kBatteryHighState);
            break;
        default:
            break;
    }
}

void TTMForm::TransferTimerTimer() {
    if (transfer_.transferStalled(steadyMs())) abandonTransfer();
}

void TTMForm::abandonTransfer() {
    // The day keeps its image (a broken answer is never taken), but a transfer that
    // delivered blocks replaced what the window showed.
    if (transfer_.ReportCount > 0) withdrawDay();
    transfer_.finishTransfer();
    TransferTimer->stop();
    setTransferColour(false);
    for (TShape* band : {Shape1, Shape2, Shape3}) band->setHatched(false);
    setTransferRunning(false);
    platform_.dialogs.message(kReceiveMode, kAbandonedText, MsgIcon::Warning, MbOk);
}

void TTMForm::WriteDataClick() {
    auto refuse = [this](const char* text, QWidget* field) {
        platform_.dialogs.message(kPassportCheck, QString::fromUtf8(text), MsgIcon::Information,
                                  MbOk);
        field->setFocus();
    };
    if (!sexM->isChecked() && !sexF->isChecked()) return refuse("Укажите пол!", sexM);
    if (Old->text().isEmpty()) return refuse("Укажите возраст пациента!", Old);
    // The device stores six digits: a date of another form would be sent garbled.
    if (!isStudyDate(textOf(DataStart)))
        return refuse("Укажите дату исследования в виде дд.мм.гг!", DataStart);

    if (platform_.dialogs.message(kAttention, QStringLiteral("Записать в память урофлоуметра?"),
                                  MsgIcon::Warning, MbYes | MbNo) == MbYes) {
        WriteDataSRAM();
        Shape1->setHatched(true);
        Shape2->setHatched(false);
    }
    ReceiveStudies = false;
    ReceivePassport = true;
}

void TTMForm::WriteDataSRAM() {
    if (!ReaderDevice) return;
    Set_Edit();
    std::optional<Sex> sex;
    if (sexF->isChecked()) sex = Sex::Female;
    if (sexM->isChecked()) sex = Sex::Male;
    transfer_.OutReport = passportCommand(sex, Name->text().toStdString(), StagedPassport);
    sendOutReport();
}

void TTMForm::Set_Edit() {
    StagedPassport = stagePassport(textOf(Old), textOf(DataStart));
}

void TTMForm::EraseDataClick() {
    if (!ReaderDevice) return;
    if (platform_.dialogs.message(kAttention, QStringLiteral("Очистить память урофлоуметра?"),
                                  MsgIcon::Warning, MbYes | MbNo) == MbYes) {
        TimeNow->setText(platform_.clock.now().toString(QStringLiteral("HH:mm")));
        transfer_.OutReport = clockCommand(kCommandErase, textOf(TimeNow));
        sendOutReport();
        Shape1->setHatched(false);
        Shape2->setHatched(true);
    }
    ReceiveStudies = false;
    ReceivePassport = false;
}

void TTMForm::CalibrClick() {
    for (TChartView* chart : nomogramCharts()) chart->setVisible(false);
    PrintNomogram->setEnabled(false);
    if (!ReaderDevice) return;
    if (platform_.dialogs.message(kAttention, QStringLiteral("Откалибровать Урофлоуметр?"),
                                  MsgIcon::Warning, MbYes | MbNo) == MbYes) {
        WriteDataCalibr();
        Shape3->setHatched(true);
        Shape2->setHatched(false);
    }
    ReceiveStudies = false;
    ReceivePassport = false;
}

void TTMForm::WriteDataCalibr() {
    if (!ReaderDevice) return;
    TimeNow->setText(platform_.clock.now().toString(QStringLiteral("HH:mm")));
    transfer_.OutReport = clockCommand(kCommandCalibrate, textOf(TimeNow));
    sendOutReport();
}

void TTMForm::setTransferColour(bool transfer) {
    // Once per transfer, not per block: a palette change reaches every control.
    if (transfer == transferColour_) return;
    transferColour_ = transfer;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, transfer ? kMoneyGreen : buttonFace());
    setPalette(palette);
}

// An invalid colour: the field shows the window's colour, whatever it becomes.
void TTMForm::setUrColour(const QColor& colour) {
    QPalette palette = Ur->palette();
    palette.setColor(QPalette::Base, colour.isValid() ? colour : QColor(Qt::transparent));
    Ur->setPalette(palette);
}

std::int64_t TTMForm::steadyMs() const {
    return platform_.clock.steadyMs();
}

}  // namespace uroflow
