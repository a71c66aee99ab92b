// The window's static layout: captions and hints of every control, the panels,
// stacking of the charts over the left column, and the wait window.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextEdit>
#include <vector>

#include "app/Shape.h"
#include "app/Unit1.h"
#include "app/WaitExcel.h"
#include "charts/ChartView.h"
#include "tests/support/FakePlatform.h"

namespace uroflow::test {
namespace {

QString captionOf(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    if (auto* memo = qobject_cast<const QTextEdit*>(control)) return memo->toPlainText();
    return {};
}

class WindowLayout : public ::testing::Test {
  protected:
    FakePlatform fake;
    TTMForm window{fake.platform()};
};

TEST_F(WindowLayout, WindowIsFixedAndCaptioned) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Урофлоуметрия (Ver 20.06.2024 64K)"));
    EXPECT_EQ(window.minimumSize(), QSize(966, 599));
    EXPECT_EQ(window.maximumSize(), QSize(966, 599));
}

TEST_F(WindowLayout, CaptionsAndHintsOfEveryControl) {
    struct Row {
        QWidget* control;
        const char* caption;
        const char* hint;
    };
    const char* const volume = "Обьем выделенной мочи или эффективный обьем мочевого пузыря";
    const Row rows[] = {
        {window.LabelData, "Дата исслед.:", "Дата проведения исследования"},
        {window.DataStart, "05.03.26", "Дата проведения измерения"},
        {window.Label13, "ФИО пациента:", "Фамилия, имя, отчество пациента"},
        {window.Name, "", "ФИО пациента (до 20 символов)"},
        {window.Label17, "Пол:", "Пол пациента"},
        {window.sexM, "М", "Пол пациента (Муж.)"},
        {window.sexF, "Ж", "Пол пациента (Жен.)"},
        {window.Label18, "Возраст:", "Возраст пациента"},
        {window.Old, "", "Возраст пациента"},
        {window.WriteData, "Запомнить",
         "Запись паспортных данных о пациенте в память урофлоуметра"},
        {window.Label8, "Врач:", "ФИО врача"},
        {window.VName, "введите ФИО врача", "ФИО врача"},
        {window.Label19, "Показатели:", "Расчетные показатели исследования"},
        {window.Label10, "T1",
         "Время отсрочки (задержки или ожидания) мочеиспускания - время от полной готовности к "
         "мочеиспусканию до появления потока мочи"},
        {window.Twait, "",
         "Время отсрочки (задержки или ожидания) мочеиспускания - время от полной готовности к "
         "мочеиспусканию до появления потока мочи"},
        {window.Label7, "T2", "Время достижения максимальной скорости"},
        {window.TQmax, "", "Время достижения максимальной скорости"},
        {window.Label4, "T3",
         "Время мочеиспускания - промежуток времени от начала мочеиспускания до выделения 95% "
         "зафиксированного обьема Volume"},
        {window.Label9, "T4", "Общее время исследования до выключения прибора"},
        {window.Ttotal, "", "Общее время исследования до выключения прибора"},
        {window.Label6, "Q1",
         "Средняя обьемная скорость потока мочи - частное от деления обьема выделенной мочи на "
         "время мочеиспускания"},
        {window.Label5, "Q2", "Максимальная обьемная скорость потока мочи"},
        {window.Qmax, "", "Максимальная обьемная скорость потока мочи"},
        {window.Label1, "V1", "Обьем при достижении максимальной скорости"},
        {window.VQmax, "", "Обьем при достижении максимальной скорости"},
        {window.Label3, "V2", volume},
        {window.Vml, "",
         "Динамический/статический обьем выделенной мочи или эффективный обьем мочевого пузыря"},
        {window.Label11, "Измерения:", "Страница из всего за сутки"},
        {window.Tstart, "", "Суточное время начала текущего исследования"},
        {window.Mst, "", "Номер текущего исследования"},
        {window.Label12, "из", ""},
        {window.Mnt, "", "Всего исследований в памяти"},
        {window.Prev, "<", "Переход к предыдущему исследованию из памяти"},
        {window.EnNom, "", "Включить в номограмму"},
        {window.Next, ">", "Переход к следующему исследованию из памяти"},
        {window.VT, "Q/T", "Урофлоуграмма \"Скорость/время\""},
        {window.QV, "Q/V", "Урофлоуграмма \"Скорость/обьем\""},
        {window.Nomogram, "Ном", "Вывод итоговой номограммы"},
        {window.NomS, "Архив", "Вызов номограммы из архива для сравнения"},
        {window.PrintNomogram, "Печать", "Печать формы"},
        {window.ZoomReset, "Исх. масштаб", "Исходный вид урофлоуграммы или номограммы"},
        {window.SaveFileData, "В файл", "Сохранить данные в файл ПК"},
        {window.LoadFile, "Из файла", "Загрузить данные из файла ПК"},
        {window.Calibr, "К", "Калибровка урофлоуметра (50мл)"},
        {window.Edit_Calibr, "", ""},
        {window.EraseData, "Удаление", "Стирание данных в памяти урофлоуметра"},
        {window.Ur, "", "Заряд батареи"},
        {window.LabelUro, "Урофлоуметр \"Квартон-64К\"", ""},
        {window.ReadData, "Загрузка", "Чтение данных из урофлоуметра"},
        {window.Npor, "10",
         "Порог фильтрации артефактов - допустимый скачок урофлоуграммы в мл за 0.1сек"},
        {window.TimeNow, "07:04", "Время выдачи урофлоуметра пациенту"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(captionOf(row.control), QString::fromUtf8(row.caption)) << row.caption;
        EXPECT_EQ(row.control->toolTip(), QString::fromUtf8(row.hint)) << row.caption;
    }
    const char* const units[] = {"сек", "сек", "сек", "сек", "мл/сек", "мл/сек", "мл", "мл"};
    for (std::size_t i = 0; i < window.unitLabels.size(); ++i) {
        ASSERT_NE(window.unitLabels[i], nullptr);
        EXPECT_EQ(window.unitLabels[i]->text(), QString::fromUtf8(units[i]));
    }
}

TEST_F(WindowLayout, PanelsLieBelowEveryControl) {
    const std::pair<TShape*, QRect> panels[] = {
        {window.Shape1, {0, 0, 966, 40}},     {window.Shape6, {0, 41, 135, 414}},
        {window.Shape5, {0, 456, 135, 144}},  {window.Shape4, {136, 560, 206, 40}},
        {window.Shape3, {344, 560, 380, 40}}, {window.Shape2, {726, 560, 240, 40}},
    };
    for (const auto& [shape, place] : panels) {
        EXPECT_EQ(shape->geometry(), place);
        EXPECT_FALSE(shape->isHatched());
    }
    // Every control on a panel is found there by the mouse, not the panel.
    for (QWidget* control :
         {static_cast<QWidget*>(window.Name), static_cast<QWidget*>(window.Twait),
          static_cast<QWidget*>(window.Prev), static_cast<QWidget*>(window.ReadData)}) {
        QWidget* hit = window.childAt(control->geometry().center());
        EXPECT_TRUE(hit == control || control->isAncestorOf(hit))
            << control->toolTip().toStdString();
    }
}

TEST_F(WindowLayout, NomogramCoversTheLeftColumnButNotTheBottomBarOrArchiveCaption) {
    auto inside = [](const QWidget* outer, const QWidget* hit) {
        return hit == outer || outer->isAncestorOf(hit);
    };
    // The focus sink lies under the flow chart.
    EXPECT_TRUE(inside(window.charts.ChartGraf, window.childAt(window.Fokys->geometry().center())));

    window.charts.ChartGraf->hide();
    window.charts.ChartNomWoman->show();
    window.DateArj->show();
    for (const QWidget* covered :
         {static_cast<QWidget*>(window.Twait), static_cast<QWidget*>(window.Label19),
          static_cast<QWidget*>(window.Mnt), static_cast<QWidget*>(window.Tstart)}) {
        EXPECT_TRUE(
            inside(window.charts.ChartNomWoman, window.childAt(covered->geometry().center())))
            << covered->toolTip().toStdString();
    }
    EXPECT_EQ(window.childAt(window.Next->geometry().center()), window.Next);
    EXPECT_TRUE(inside(window.DateArj, window.childAt(window.DateArj->geometry().center())));
}

// Room a line edit leaves its text: the style's contents rect less the text margins and
// the edit's own 2 px on both sides.
int textRoom(const QLineEdit* field) {
    QStyleOptionFrame option;
    option.initFrom(field);
    option.rect = field->contentsRect();
    option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth,
                                                                       &option, field)
                                         : 0;
    const QRect contents =
        field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
    return contents.marginsRemoved(field->textMargins()).width() - 2 * 2;
}

// The longest texts the fields show: 4 significant digits with at most one decimal
// (Arial's digits are all equally wide), and both battery states.
TEST_F(WindowLayout, EveryIndexTextFitsItsField) {
    for (const QLineEdit* field : {window.Vml, window.Ur}) {
        const QString family = QFontInfo(field->font()).family();
        EXPECT_TRUE(family == "Liberation Sans" || family == "Arimo" || family == "Arial")
            << family.toStdString() << " has no Arial metrics";
    }
    struct Field {
        QLineEdit* field;
        std::vector<const char*> texts;
    };
    const std::vector<const char*> times = {"999,9", "4096"};
    const Field fields[] = {
        {window.Twait, times},
        {window.TQmax, times},
        {window.FlowTime, times},
        {window.Ttotal, times},
        {window.Qave, {"99,9"}},
        {window.Qmax, {"99,9"}},
        {window.VQmax, {"9999"}},
        {window.Vml, {"1035/1039", "9999/9999"}},
        {window.Ur, {"Uбат > 2,7В", "Uбат < 2,7В"}},
    };
    for (const Field& f : fields) {
        const QFontMetrics metrics(f.field->font());
        for (const char* text : f.texts) {
            EXPECT_LE(metrics.horizontalAdvance(QString::fromUtf8(text)), textRoom(f.field))
                << text;
        }
    }
    // The volume field ends before its unit "мл".
    EXPECT_LT(window.Vml->geometry().right(), window.unitLabels.back()->geometry().left());

    // A text longer than any index still shows its beginning.
    window.Vml->setText(QStringLiteral("67108864/67108865"));
    EXPECT_EQ(window.Vml->cursorPosition(), 0);
}

TEST(Shape, HatchSwitchesBetweenSolidAndCrossOnWindowColour) {
    QWidget parent;
    TShape shape(&parent);
    shape.resize(40, 40);
    const auto colours = [&shape] {
        const QImage picture = shape.grab().toImage();
        QSet<QRgb> found;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x)
                found.insert(picture.pixel(x, y) | 0xFF000000u);
        }
        return found;
    };
    EXPECT_EQ(colours(), QSet<QRgb>{kMoneyGreen.rgb()});

    shape.setHatched(true);
    EXPECT_TRUE(shape.isHatched());
    const QSet<QRgb> hatched = colours();
    EXPECT_TRUE(hatched.contains(kMoneyGreen.rgb()));
    EXPECT_TRUE(hatched.contains(parent.palette().color(QPalette::Window).rgb()));

    shape.setHatched(false);
    EXPECT_EQ(colours(), QSet<QRgb>{kMoneyGreen.rgb()});
}

TEST(WaitWindow, StartsHiddenAndAnimatesOnlyWhileShown) {
    TFormWaitExcel form;
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.size(), QSize(432, 124));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("FormWait"));
    EXPECT_EQ(form.LabelCount->text(), QStringLiteral("*****************"));
    EXPECT_EQ(form.LabelCount->toolTip(), QStringLiteral("Counter wait"));
    EXPECT_EQ(form.LabelCount->geometry(), QRect(24, 24, 102, 17));
    EXPECT_EQ(form.ActivityIndicatorWait->pos(), QPoint(377, 71));
    EXPECT_FALSE(form.ActivityIndicatorWait->isAnimating());

    form.show();
    EXPECT_TRUE(form.ActivityIndicatorWait->isAnimating());
    form.hide();
    EXPECT_FALSE(form.ActivityIndicatorWait->isAnimating());
}

}  // namespace
}  // namespace uroflow::test
