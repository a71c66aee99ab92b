// Construction, layout and start/end of the main window.

#include "app/Unit1.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStringList>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <iterator>
#include <utility>

#include "app/Clock.h"
#include "app/Dialogs.h"
#include "app/Settings.h"
#include "app/Shape.h"
#include "charts/ChartSetup.h"
#include "charts/ChartView.h"
#include "study/RuntimeError.h"

namespace uroflow {

namespace {

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QFont fontOf(const char* family, int pointSize, bool bold = false) {
    QFont font(QString::fromLatin1(family), pointSize);
    font.setBold(bold);
    return font;
}

// Where the window's fonts are missing, prefer metric-compatible or narrow
// families, so that captions keep to the places laid out for them.
void addFontSubstitutes() {
    const QStringList narrowSans = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("Helvetica"),
                                    QStringLiteral("DejaVu Sans Condensed")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               QStringList{QStringLiteral("Microsoft Sans Serif")} + narrowSans);
    QFont::insertSubstitutions(QStringLiteral("Arial"), narrowSans);
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), narrowSans);
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

// Labels grow to their text, so a substituted font never clips a caption.
QLabel* makeLabel(QWidget* parent, const char* caption, QRect place, const char* hint = "") {
    auto* label = new QLabel(text(caption), parent);
    label->setToolTip(text(hint));
    label->move(place.topLeft());
    const QSize fit = label->sizeHint();
    label->resize(std::max(place.width(), fit.width()), std::max(place.height(), fit.height()));
    return label;
}

// Edits other than the Tab stops take the focus by click only.
QLineEdit* makeEdit(QWidget* parent, const char* initial, QRect place, const char* hint = "") {
    auto* edit = new QLineEdit(text(initial), parent);
    edit->setToolTip(text(hint));
    edit->setGeometry(place);
    edit->setFocusPolicy(Qt::ClickFocus);
    return edit;
}

QLineEdit* makeReadOnlyEdit(QWidget* parent, QRect place, const char* hint = "") {
    QLineEdit* edit = makeEdit(parent, "", place, hint);
    edit->setReadOnly(true);
    return edit;
}

// A line edit keeps this much of its contents free on both sides. The value fields were
// laid out for their text alone, so those pixels go back to the text.
constexpr int kLineEditInnerMargin = 2;

// A value field whose longest text fills its width: shown whole, and a text longer than
// that still shows its beginning (setText would scroll to its end).
void fitValueText(QLineEdit* field) {
    field->setTextMargins(-kLineEditInnerMargin, 0, -kLineEditInnerMargin, 0);
    QObject::connect(field, &QLineEdit::textChanged, field,
                     [field] { field->setCursorPosition(0); });
}

// Buttons other than the Tab stops are reached with the mouse only.
QPushButton* makeButton(QWidget* parent, const char* caption, QRect place, const char* hint) {
    auto* button = new QPushButton(text(caption), parent);
    button->setToolTip(text(hint));
    button->setGeometry(place);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QTextEdit* makeMemo(QWidget* parent, QRect place, const char* hint) {
    auto* memo = new QTextEdit(parent);
    memo->setToolTip(text(hint));
    memo->setGeometry(place);
    memo->setReadOnly(true);
    memo->setFocusPolicy(Qt::NoFocus);
    memo->setFrameStyle(QFrame::NoFrame);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont font = memo->font();
    font.setBold(true);
    memo->setFont(font);
    memo->document()->setDocumentMargin(1);
    memo->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
    return memo;
}

// The small clock beside the study's start time.
QPixmap clockPicture() {
    QPixmap picture(50, 58);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face(3, 7, 44, 44);
    painter.setPen(QPen(Qt::black, 3));
    painter.setBrush(Qt::white);
    painter.drawEllipse(face);
    painter.setBrush(Qt::black);
    painter.drawRect(QRectF(21, 0, 8, 5));  // the winder
    const QPointF centre = face.center();
    painter.translate(centre);
    painter.setPen(QPen(Qt::black, 2));
    for (int hour = 0; hour < 12; ++hour) {
        painter.drawLine(QPointF(0, -18), QPointF(0, -15));
        painter.rotate(30);
    }
    painter.setPen(QPen(Qt::darkBlue, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, 0), QPointF(-8, -8));  // hour hand at ten
    painter.setPen(QPen(Qt::darkRed, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, 0), QPointF(12, -10));  // minute hand at ten past
    return picture;
}

void buildShapes(TTMForm& form) {
    struct Panel {
        TShape* TTMForm::*shape;
        QRect place;
    };
    const Panel panels[] = {
        {&TTMForm::Shape1, {0, 0, 966, 40}},     {&TTMForm::Shape6, {0, 41, 135, 414}},
        {&TTMForm::Shape5, {0, 456, 135, 144}},  {&TTMForm::Shape4, {136, 560, 206, 40}},
        {&TTMForm::Shape3, {344, 560, 380, 40}}, {&TTMForm::Shape2, {726, 560, 240, 40}},
    };
    for (const Panel& panel : panels) {
        auto* shape = new TShape(&form);
        shape->setGeometry(panel.place);
        form.*panel.shape = shape;
    }
}

// Between a value field and its unit.
constexpr int kUnitGap = 3;

void buildIndexColumn(TTMForm& form) {
    const QFont captionFont = fontOf("Arial", 12, true);
    const QFont plainFont = fontOf("Arial", 12);

    form.Label19 =
        makeLabel(&form, "Показатели:", {16, 58, 110, 20}, "Расчетные показатели исследования");
    form.Label19->setFont(plainFont);
    setTextColour(form.Label19, Qt::black);

    struct Index {
        QLabel* TTMForm::*caption;
        QLineEdit* TTMForm::*value;
        int top;
        const char* captionText;
        const char* hint;
        const char* unit;
    };
    const char* const volumeHint = "Обьем выделенной мочи или эффективный обьем мочевого пузыря";
    const Index indices[] = {
        {&TTMForm::Label10, &TTMForm::Twait, 96, "T1",
         "Время отсрочки (задержки или ожидания) мочеиспускания - время от полной готовности к "
         "мочеиспусканию до появления потока мочи",
         "сек"},
        {&TTMForm::Label7, &TTMForm::TQmax, 141, "T2", "Время достижения максимальной скорости",
         "сек"},
        {&TTMForm::Label4, &TTMForm::FlowTime, 186, "T3",
         "Время мочеиспускания - промежуток времени от начала мочеиспускания до выделения 95% "
         "зафиксированного обьема Volume",
         "сек"},
        {&TTMForm::Label9, &TTMForm::Ttotal, 231, "T4",
         "Общее время исследования до выключения прибора", "сек"},
        {&TTMForm::Label6, &TTMForm::Qave, 276, "Q1",
         "Средняя обьемная скорость потока мочи - частное от деления обьема выделенной мочи на "
         "время мочеиспускания",
         "мл/сек"},
        {&TTMForm::Label5, &TTMForm::Qmax, 321, "Q2", "Максимальная обьемная скорость потока мочи",
         "мл/сек"},
        {&TTMForm::Label1, &TTMForm::VQmax, 366, "V1", "Обьем при достижении максимальной скорости",
         "мл"},
        {&TTMForm::Label3, &TTMForm::Vml, 411, "V2", volumeHint, "мл"},
    };
    std::size_t unit = 0;
    for (const Index& index : indices) {
        const bool volume = index.value == &TTMForm::Vml;
        QLabel* caption = makeLabel(&form, index.captionText, {8, index.top, 22, 20}, index.hint);
        caption->setFont(captionFont);
        setTextColour(caption, Qt::blue);
        form.*index.caption = caption;

        // "1035/1039" takes 76 px in Arial 12, so the volume field is that wide.
        const QRect valuePlace =
            volume ? QRect(32, index.top, 76, 20) : QRect(32, index.top, 45, 20);
        QLineEdit* value = makeReadOnlyEdit(
            &form, valuePlace,
            volume ? "Динамический/статический обьем выделенной мочи или эффективный обьем "
                     "мочевого пузыря"
                   : index.hint);
        value->setFrame(false);
        value->setFont(plainFont);
        fitValueText(value);
        setTextColour(value, Qt::black);
        form.*index.value = value;

        const int unitLeft = valuePlace.right() + 1 + kUnitGap;
        QLabel* unitLabel = makeLabel(&form, index.unit, {unitLeft, index.top, 135 - unitLeft, 20});
        unitLabel->setFont(plainFont);
        setTextColour(unitLabel, Qt::blue);
        form.unitLabels[unit++] = unitLabel;
    }
}

void buildNavigation(TTMForm& form) {
    form.Label11 = makeLabel(&form, "Измерения:", {24, 470, 88, 20}, "Страница из всего за сутки");
    form.Label11->setFont(fontOf("MS Sans Serif", 12));

    form.Image1 = new QLabel(&form);
    form.Image1->setGeometry(16, 500, 25, 29);
    form.Image1->setScaledContents(true);
    form.Image1->setPixmap(clockPicture());

    form.Tstart =
        makeReadOnlyEdit(&form, {48, 500, 70, 20}, "Суточное время начала текущего исследования");
    form.Mst = makeMemo(&form, {8, 536, 40, 20}, "Номер текущего исследования");
    form.Label12 = makeLabel(&form, "из", {59, 536, 17, 20});
    form.Mnt = makeMemo(&form, {85, 536, 40, 20}, "Всего исследований в памяти");

    form.Prev =
        makeButton(&form, "<", {8, 568, 42, 25}, "Переход к предыдущему исследованию из памяти");
    form.EnNom = new QCheckBox(&form);
    form.EnNom->setGeometry(60, 572, 17, 17);
    form.EnNom->setToolTip(text("Включить в номограмму"));
    form.EnNom->setFocusPolicy(Qt::NoFocus);
    form.Next =
        makeButton(&form, ">", {85, 568, 42, 25}, "Переход к следующему исследованию из памяти");
}

void buildCharts(TTMForm& form) {
    form.charts = createChartViews(&form);
    for (TChartView* view : form.allCharts()) {
        // A graphics view's viewport takes Tab focus of its own.
        view->setFocusPolicy(Qt::NoFocus);
        view->viewport()->setFocusPolicy(Qt::NoFocus);
    }

    // The archive caption lies on the nomogram.
    form.DateArj = makeEdit(&form, "", {632, 524, 305, 16});
    form.DateArj->setFrame(false);
    form.DateArj->setFont(fontOf("MS Sans Serif", 10, true));
}

void buildTopBar(TTMForm& form) {
    const QFont labelFont = fontOf("MS Sans Serif", 10);
    auto label = [&](const char* caption, QRect place, const char* hint) {
        QLabel* made = makeLabel(&form, caption, place, hint);
        made->setFont(labelFont);
        return made;
    };
    auto edit = [&](const char* initial, QRect place, const char* hint) {
        QLineEdit* made = makeEdit(&form, initial, place, hint);
        made->setFrame(false);
        return made;
    };

    form.LabelData = label("Дата исслед.:", {8, 12, 87, 16}, "Дата проведения исследования");
    form.DataStart = edit("DataStart", {96, 12, 49, 16}, "Дата проведения измерения");
    form.Label13 = label("ФИО пациента:", {152, 12, 100, 16}, "Фамилия, имя, отчество пациента");
    form.Name = edit("", {256, 12, 225, 16}, "ФИО пациента (до 20 символов)");
    form.Label17 = label("Пол:", {488, 12, 29, 16}, "Пол пациента");
    form.sexM = new QRadioButton(text("М"), &form);
    form.sexM->setGeometry(520, 8, 33, 25);
    form.sexM->setToolTip(text("Пол пациента (Муж.)"));
    form.sexF = new QRadioButton(text("Ж"), &form);
    form.sexF->setGeometry(552, 8, 33, 25);
    form.sexF->setToolTip(text("Пол пациента (Жен.)"));
    form.Label18 = label("Возраст:", {585, 12, 58, 16}, "Возраст пациента");
    form.Old = edit("", {648, 12, 25, 16}, "Возраст пациента");
    form.WriteData = makeButton(&form, "Запомнить", {688, 6, 73, 25},
                                "Запись паспортных данных о пациенте в память урофлоуметра");
    form.Label8 = label("Врач:", {769, 12, 36, 16}, "ФИО врача");
    form.VName = edit("", {808, 12, 137, 16}, "ФИО врача");
}

void buildBottomBar(TTMForm& form) {
    form.VT = makeButton(&form, "Q/T", {144, 568, 33, 25}, "Урофлоуграмма \"Скорость/время\"");
    form.QV = makeButton(&form, "Q/V", {180, 568, 33, 25}, "Урофлоуграмма \"Скорость/обьем\"");
    form.Nomogram = makeButton(&form, "Ном", {224, 568, 53, 25}, "Вывод итоговой номограммы");
    form.NomS =
        makeButton(&form, "Архив", {280, 568, 53, 25}, "Вызов номограммы из архива для сравнения");
    form.PrintNomogram = makeButton(&form, "Печать", {354, 568, 75, 25}, "Печать формы");
    form.ZoomReset = makeButton(&form, "Исх. масштаб", {434, 568, 89, 25},
                                "Исходный вид урофлоуграммы или номограммы");
    form.SaveFileData =
        makeButton(&form, "В файл", {528, 568, 75, 25}, "Сохранить данные в файл ПК");
    form.LoadFile =
        makeButton(&form, "Из файла", {608, 568, 81, 25}, "Загрузить данные из файла ПК");
    form.Calibr = makeButton(&form, "К", {694, 568, 25, 25}, "Калибровка урофлоуметра (50мл)");
    // A failed calibration check hands it the focus, though Tab never reaches it.
    form.Calibr->setFocusPolicy(Qt::ClickFocus);

    const QFont bold = fontOf("MS Sans Serif", 8, true);
    form.Edit_Calibr = makeReadOnlyEdit(&form, {688, 533, 51, 21});
    form.Edit_Calibr->setFont(bold);
    form.EraseData =
        makeButton(&form, "Удаление", {733, 568, 73, 25}, "Стирание данных в памяти урофлоуметра");
    form.Ur = makeReadOnlyEdit(&form, {811, 570, 65, 21}, "Заряд батареи");
    form.Ur->setFont(bold);
    fitValueText(form.Ur);
    form.LabelUro = makeLabel(&form, "Урофлоуметр \"Квартон-64К\"", {784, 574, 149, 13});
    form.ReadData =
        makeButton(&form, "Загрузка", {883, 568, 73, 25}, "Чтение данных из урофлоуметра");
}

void buildAuxiliary(TTMForm& form) {
    form.EditBuffer = makeEdit(&form, "", {168, 536, 25, 21});
    form.EditBuffer->hide();
    form.Npor =
        makeEdit(&form, "", {200, 536, 25, 21},
                 "Порог фильтрации артефактов - допустимый скачок урофлоуграммы в мл за 0.1сек");
    form.Npor->hide();

    form.TimeNow = makeEdit(&form, "", {232, 536, 41, 21}, "Время выдачи урофлоуметра пациенту");
    // Hours may have one digit, minutes need two; the colon stays in the text.
    form.TimeNow->setInputMask(QStringLiteral("09:99;_"));
    form.TimeNow->setMaxLength(5);
    form.TimeNow->setText(QStringLiteral("00:00"));
    form.TimeNow->setEnabled(false);
    form.TimeNow->hide();

    form.TransferTimer = new QTimer(&form);
    form.TransferTimer->setInterval(1000);
    QObject::connect(form.TransferTimer, &QTimer::timeout, &form,
                     [&form] { form.guard([&form] { form.TransferTimerTimer(); }); });
}

void setTabStops(TTMForm& form) {
    QWidget* const stops[] = {form.Name, form.sexM, form.sexF, form.Old, form.WriteData, form.VT};
    for (QWidget* stop : stops) stop->setFocusPolicy(Qt::StrongFocus);
    for (std::size_t i = 0; i + 1 < std::size(stops); ++i) {
        QWidget::setTabOrder(stops[i], stops[i + 1]);
    }
}

void connectHandlers(TTMForm& form) {
    const std::pair<QAbstractButton*, void (TTMForm::*)()> clicks[] = {
        {form.Prev, &TTMForm::PrevClick},
        {form.Next, &TTMForm::NextClick},
        {form.VT, &TTMForm::VTClick},
        {form.QV, &TTMForm::QVClick},
        {form.ZoomReset, &TTMForm::ZoomResetClick},
        {form.SaveFileData, &TTMForm::SaveFileDataClick},
        {form.LoadFile, &TTMForm::LoadFileClick},
        {form.Nomogram, &TTMForm::NomogramClick},
        {form.EnNom, &TTMForm::EnNomClick},
        {form.NomS, &TTMForm::NomSClick},
        {form.PrintNomogram, &TTMForm::PrintNomogramClick},
        {form.ReadData, &TTMForm::ReadDataClick},
        {form.WriteData, &TTMForm::WriteDataClick},
        {form.EraseData, &TTMForm::EraseDataClick},
        {form.Calibr, &TTMForm::CalibrClick},
    };
    for (const auto& [button, handler] : clicks) {
        QObject::connect(button, &QAbstractButton::clicked, &form, [&form, handler = handler] {
            form.guard([&form, handler] { (form.*handler)(); });
        });
    }
}

}  // namespace

TTMForm::TTMForm(const Platform& platform, QWidget* parent) : QWidget(parent), platform_(platform) {
    buildControls();
    FormCreate();
    // Key preview: every key of the window's controls passes the window first.
    QCoreApplication::instance()->installEventFilter(this);
    platform_.hid.setEvents({[this] { guard([this] { HIDDeviceChange(); }); },
                             [this](HidDevice& device, std::uint8_t reportId,
                                    std::span<const std::uint8_t> data, std::uint64_t readNumber) {
                                 guard([&] {
                                     HIDDeviceData(device, reportId, data.data(),
                                                   static_cast<std::uint16_t>(data.size()),
                                                   readNumber);
                                 });
                             }});
}

TTMForm::~TTMForm() {
    platform_.hid.setEvents({});
    guard([this] { FormDestroy(); });
}

void TTMForm::buildControls() {
    setWindowTitle(text("Урофлоуметрия (Ver 20.06.2024 64K)"));
    setWindowIcon(QIcon(clockPicture()));
    addFontSubstitutes();
    setFont(fontOf("MS Sans Serif", 8));
    setFixedSize(966, 599);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place = rect();
        place.moveCenter(screen->availableGeometry().center());
        move(place.topLeft());
    }

    // Creation order is stacking order: the panels lie below everything, the
    // focus sink and the left column lie below the charts, so a nomogram
    // covers them; the bars and the captions on the chart area lie above.
    buildShapes(*this);
    Fokys = makeEdit(this, "Fokys", {136, 536, 25, 21});
    buildIndexColumn(*this);
    buildNavigation(*this);
    buildCharts(*this);
    buildTopBar(*this);
    buildBottomBar(*this);
    buildAuxiliary(*this);
    setTabStops(*this);
    connectHandlers(*this);
    setUpDayReport();
    setUpArchive();
}

void TTMForm::FormCreate() {
    VName->setText(readDoctorName(platform_.programDir, platform_.userConfigDir));

    const QDateTime now = platform_.clock.now();
    TimeNow->setText(now.toString(QStringLiteral("HH:mm")));
    DataStart->setText(now.toString(QStringLiteral("dd.MM.yy")));
    Npor->setText(QString::number(kDefaultArtefactThreshold));

    Name->setMaxLength(20);
    Old->setMaxLength(3);

    for (TChartView* chart : allCharts()) chart->setVisible(chart == charts.ChartGraf);

    Calibr->hide();
    Edit_Calibr->hide();
    for (QWidget* control : studyCommands()) control->setEnabled(false);
    EnNom->setChecked(true);
    for (QWidget* control : studyNavigation()) control->setEnabled(false);
    Prev->setEnabled(false);
    LabelUro->hide();
    DateArj->hide();
}

void TTMForm::FormDestroy() {
    if (writeDoctorName(platform_.programDir, platform_.userConfigDir, VName->text()).isEmpty()) {
        throw RuntimeError("Unable to write to " +
                           QDir(platform_.programDir)
                               .filePath(QString::fromLatin1(kSettingsFileName))
                               .toStdString());
    }
}

void TTMForm::guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        platform_.dialogs.showError(QString::fromUtf8(error.what()));
    } catch (...) {
        platform_.dialogs.showError(QStringLiteral("Unknown error"));
    }
}

std::function<void()> TTMForm::guarded(void (TTMForm::*handler)()) {
    return [this, handler] { guard([this, handler] { (this->*handler)(); }); };
}

std::array<TChartView*, 7> TTMForm::allCharts() const {
    return {charts.ChartGraf,     charts.ChartVQ,       charts.ChartNomWoman, charts.ChartNomMan51,
            charts.ChartNomMan49, charts.ChartNomGirls, charts.ChartNomBoy};
}

std::array<TChartView*, 5> TTMForm::nomogramCharts() const {
    return {charts.ChartNomBoy, charts.ChartNomGirls, charts.ChartNomMan49, charts.ChartNomMan51,
            charts.ChartNomWoman};
}

std::array<QWidget*, 7> TTMForm::studyCommands() const {
    return {VT, QV, Nomogram, NomS, PrintNomogram, ZoomReset, SaveFileData};
}

std::array<QLineEdit*, 8> TTMForm::indexEdits() const {
    return {Twait, TQmax, FlowTime, Ttotal, Qave, Qmax, VQmax, Vml};
}

std::array<QWidget*, 2> TTMForm::studyNavigation() const {
    return {Next, EnNom};
}

std::array<QWidget*, 21> TTMForm::printHiddenControls() const {
    return {Shape1,    Shape2,       Shape3,   Shape4,    Shape5,   Shape6,    Next,
            EnNom,     Prev,         VT,       QV,        Nomogram, NomS,      PrintNomogram,
            ZoomReset, SaveFileData, LoadFile, WriteData, ReadData, EraseData, Ur};
}

std::array<QWidget*, 3> TTMForm::transferCommands() const {
    return {LoadFile, WriteData, EraseData};
}

int TTMForm::nporValue() const {
    bool ok = false;
    const int value = Npor->text().toInt(&ok);
    if (!ok) {
        throw notAnIntegerError(Npor->text().toStdString());
    }
    return value;
}

}  // namespace uroflow
