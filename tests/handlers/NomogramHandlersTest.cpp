// The day on the nomogram, studies left out, and an archived day beside it.

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>
#include <QXYSeries>
#include <algorithm>
#include <memory>
#include <vector>

#include "charts/ChartView.h"
#include "nomogram/DayEvaluation.h"
#include "tests/handlers/HandlerFixture.h"

namespace uroflow::test {

namespace {

QColor pointColour(const TChartView* chart, int index) {
    return chart->series()
        ->pointConfiguration(index)[QXYSeries::PointConfiguration::Color]
        .value<QColor>();
}

}  // namespace

class NomogramHandlers : public HandlerTest {
  protected:
    void evaluate(bool male, const QString& age) {
        (male ? form->sexM : form->sexF)->setChecked(true);
        form->Old->setText(age);
        form->guard([&] { form->NomogramClick(); });
    }
    // The nomogram views shown, by name.
    QStringList shownNomograms() const {
        QStringList shown;
        const std::pair<TChartView*, const char*> views[] = {
            {form->charts.ChartNomWoman, "ChartNomWoman"},
            {form->charts.ChartNomMan51, "ChartNomMan51"},
            {form->charts.ChartNomMan49, "ChartNomMan49"},
            {form->charts.ChartNomGirls, "ChartNomGirls"},
            {form->charts.ChartNomBoy, "ChartNomBoy"}};
        for (const auto& [view, name] : views)
            if (view->isVisibleTo(form.get())) shown << name;
        return shown;
    }
    QList<QPointF> points(const TChartView* chart) const { return chart->series()->points(); }
    // The evaluation of the day on screen, made apart from the window.
    std::vector<EvaluatedStudy> evaluated() const {
        auto image = std::make_unique<Image>(form->day().scannedImage());
        std::vector<EvaluatedStudy> studies = evaluateDay(*image, form->day().calibrCoef());
        studies.resize(std::min<std::size_t>(studies.size(), form->day().studyCount()));
        return studies;
    }
    static QPointF pointOf(const EvaluatedStudy& study) { return {study.volume, study.qmax}; }
    // Leaves the study shown out and steps to the next one.
    void leaveOutAndStep() {
        form->EnNom->setChecked(false);
        form->guard([&] { form->EnNomClick(); });
        form->guard([&] { form->NextClick(); });
    }
};

struct ChoiceCase {
    bool male;
    const char* age;
    const char* chart;
};

class NomogramChoice : public NomogramHandlers, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(NomogramChoice, TheChosenChartShowsEveryStudyInYellow) {
    const auto [male, age, chart] = GetParam();
    loadDay(*threeStudyDay());
    evaluate(male, QString::fromUtf8(age));

    EXPECT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
    ASSERT_EQ(shownNomograms(), QStringList{chart});
    TChartView* shown = nullptr;
    for (TChartView* v : form->nomogramCharts())
        if (v->isVisibleTo(form.get())) shown = v;
    const QList<QPointF> placed = points(shown);
    const std::vector<EvaluatedStudy> expected = evaluated();
    ASSERT_EQ(placed.size(), 3);
    ASSERT_EQ(expected.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(placed[i], pointOf(expected[i]));
        EXPECT_EQ(pointColour(shown, i), QColor(255, 255, 0));
    }
    EXPECT_GT(expected[2].volume, 0);
    for (QWidget* off : std::initializer_list<QWidget*>{form->Next, form->Prev, form->EnNom})
        EXPECT_FALSE(off->isEnabled());
    EXPECT_TRUE(form->PrintNomogram->isEnabled());
    EXPECT_FALSE(form->charts.ChartVQ->isVisibleTo(form.get()));
    EXPECT_FALSE(form->DateArj->isVisibleTo(form.get()));
}

INSTANTIATE_TEST_SUITE_P(SexAndAge, NomogramChoice,
                         ::testing::Values(ChoiceCase{true, "15", "ChartNomBoy"},
                                           ChoiceCase{true, "16", "ChartNomMan49"},
                                           ChoiceCase{true, "49", "ChartNomMan49"},
                                           ChoiceCase{true, "50", "ChartNomMan51"},
                                           ChoiceCase{true, "2,5", "ChartNomBoy"},  // whole years
                                           ChoiceCase{false, "15", "ChartNomGirls"},
                                           ChoiceCase{false, "16", "ChartNomWoman"},
                                           ChoiceCase{false, "50", "ChartNomWoman"},
                                           ChoiceCase{false, "-1", "ChartNomGirls"}));

TEST_F(NomogramHandlers, EmptyAgeAsksForItAfterTheValuesAreComputed) {
    loadDay(*threeStudyDay());
    form->charts.ChartNomMan51->appendPoints({{100, 10}}, Qt::yellow, {});
    form->charts.ChartNomMan51->setVisible(true);
    form->show();
    QApplication::setActiveWindow(form.get());
    evaluate(true, QString());

    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(fake.dialogs.messages[0].caption, QStringLiteral("Проверка паспортной части"));
    EXPECT_EQ(fake.dialogs.messages[0].text, QStringLiteral("Укажите возраст пациента!"));
    EXPECT_EQ(fake.dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(fake.dialogs.messages[0].buttons, MbOk);
    EXPECT_TRUE(form->Old->hasFocus());
    EXPECT_TRUE(points(form->charts.ChartNomMan51).isEmpty());  // removed, the view left as it was
    EXPECT_TRUE(form->Next->isEnabled());
    EXPECT_TRUE(form->EnNom->isEnabled());
}

TEST_F(NomogramHandlers, AgeThatIsNoNumberStopsBeforeAnyButtonChanges) {
    loadDay(*threeStudyDay());
    evaluate(true, QStringLiteral("x"));
    EXPECT_EQ(fake.dialogs.errors, QStringList{QStringLiteral("'x' is not a valid integer value")});
    EXPECT_TRUE(shownNomograms().isEmpty());
    EXPECT_TRUE(form->Next->isEnabled());
}

TEST_F(NomogramHandlers, StudiesLeftOutGiveNoPointButTheChartIsShown) {
    loadDay(*threeStudyDay());
    form->EnNom->setChecked(false);
    form->guard([&] { form->EnNomClick(); });  // study 1 left out
    EXPECT_FALSE(form->day().included(0));
    evaluate(true, QStringLiteral("64"));
    const std::vector<EvaluatedStudy> expected = evaluated();
    EXPECT_EQ(points(form->charts.ChartNomMan51),
              (QList<QPointF>{pointOf(expected[1]), pointOf(expected[2])}));

    form->guard([&] { form->NextClick(); });
    leaveOutAndStep();
    leaveOutAndStep();
    evaluate(true, QStringLiteral("64"));
    EXPECT_EQ(shownNomograms(), QStringList{"ChartNomMan51"});
    EXPECT_TRUE(points(form->charts.ChartNomMan51).isEmpty());
}

TEST_F(NomogramHandlers, ADayWithoutStudiesShowsNoChart) {
    ImageBuilder b;
    b.calibration(50000).sex(1).age("40");
    loadDay(*b.build());
    evaluate(true, QStringLiteral("40"));
    EXPECT_TRUE(shownNomograms().isEmpty());
    EXPECT_TRUE(form->PrintNomogram->isEnabled());
    EXPECT_FALSE(form->Next->isEnabled());
}

// A chart left from another sex or age would lie on top, empty, and be printed.
TEST_F(NomogramHandlers, TheChosenChartAloneIsShown) {
    loadDay(*threeStudyDay());
    evaluate(true, QStringLiteral("30"));
    evaluate(false, QStringLiteral("30"));
    EXPECT_EQ(shownNomograms(), QStringList{"ChartNomWoman"});
    EXPECT_TRUE(points(form->charts.ChartNomMan49).isEmpty());
    EXPECT_EQ(points(form->charts.ChartNomWoman).size(), 3);
    evaluate(true, QStringLiteral("50"));
    EXPECT_EQ(shownNomograms(), QStringList{"ChartNomMan51"});
}

TEST_F(NomogramHandlers, PressingTwiceGivesTheSamePoints) {
    loadDay(*threeStudyDay());
    evaluate(true, QStringLiteral("64"));
    const QList<QPointF> first = points(form->charts.ChartNomMan51);
    form->guard([&] { form->NextClick(); });  // a drawing in between changes nothing
    evaluate(true, QStringLiteral("64"));
    EXPECT_EQ(points(form->charts.ChartNomMan51), first);
}

TEST_F(NomogramHandlers, OnlyTheStudiesOfTheDayOnScreenArePlotted) {
    loadDay(*threeStudyDay());
    evaluate(true, QStringLiteral("64"));
    // The next day: one study, then unwritten memory, then a start word the scan
    // counts but the day does not hold.
    ImageBuilder b;
    b.calibration(50000).sex(1).age("64");
    b.addDecodedStudy(kStudyAreaStart, 7, 0, std::vector<std::uint16_t>(60, 2000), 30);
    b.word(30000, kStartWord);
    loadDay(*b.build());
    ASSERT_EQ(form->day().studyCount(), 2);
    evaluate(true, QStringLiteral("64"));
    EXPECT_EQ(points(form->charts.ChartNomMan51), QList<QPointF>{pointOf(evaluated()[0])});
}

TEST_F(NomogramHandlers, ZeroCalibrationEndsWithTheDivisionError) {
    ImageBuilder b;
    b.sex(1).age("64").addDecodedStudy(kStudyAreaStart, 7, 0, std::vector<std::uint16_t>(60, 2000),
                                       30);
    loadDay(*b.build());
    fake.dialogs.messages.clear();
    evaluate(true, QStringLiteral("64"));
    EXPECT_EQ(fake.dialogs.errors.back(), QStringLiteral("Floating point division by zero"));
    EXPECT_TRUE(shownNomograms().isEmpty());
    EXPECT_TRUE(form->Next->isEnabled());
}

TEST_F(NomogramHandlers, ANewDayIncludesEveryStudyAgain) {
    loadDay(*threeStudyDay());
    form->EnNom->setChecked(false);
    form->guard([&] { form->EnNomClick(); });
    loadDay(*threeStudyDay());
    EXPECT_TRUE(form->day().included(0));
    EXPECT_TRUE(form->EnNom->isChecked());
}

TEST_F(NomogramHandlers, RestingOnAPointTellsStudyValuesAndZone) {
    loadDay(*threeStudyDay());
    evaluate(true, QStringLiteral("64"));
    form->show();
    QApplication::processEvents();  // the plot is laid out: points lie apart
    const QPointF second = points(form->charts.ChartNomMan51).at(1);
    const QString tip = form->charts.ChartNomMan51->pointTip(second + QPointF(0.5, 0.05));
    EXPECT_TRUE(tip.startsWith(QStringLiteral("Исследование 2, 12:30\nV = "))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("мл/сек\nЗона: "))) << tip.toStdString();

    emit form->charts.ChartNomMan51->series()->hovered(second, true);
    EXPECT_EQ(QToolTip::text(), tip);
}

// ---- Archive comparison ----

class Archive : public NomogramHandlers {
  protected:
    void compare(const QString& path = QString()) {
        if (!path.isEmpty()) fake.dialogs.openNames.push_back(path);
        form->guard([&] { form->NomSClick(); });
    }
    // The day of threeStudyDay() from another uroflowmeter, weighed with `k`, on 01.02.26.
    static std::unique_ptr<Image> archivedDay(std::int32_t k) {
        auto day = threeStudyDay();
        const auto b = static_cast<std::uint16_t>(word(*day, kCalibrationAOffset) + k / 4);
        (*day)[kCalibrationBOffset] = static_cast<std::uint8_t>(b >> 8);
        (*day)[kCalibrationBOffset + 1] = static_cast<std::uint8_t>(b & 0xFF);
        const char date[] = "010226";
        std::copy(date, date + 6, day->begin() + kDateOffset);
        return day;
    }
};

TEST_F(Archive, CancelBeforeAnyArchiveAddsNothingButStillAsksForTheAge) {
    loadDay(*threeStudyDay());
    form->Old->clear();
    fake.dialogs.messages.clear();
    compare();
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(fake.dialogs.messages[0].text, QStringLiteral("Укажите возраст пациента!"));
    EXPECT_TRUE(shownNomograms().isEmpty());
    EXPECT_FALSE(form->DateArj->isVisibleTo(form.get()));
}

TEST_F(Archive, ArchivedStudiesInBlackWithTheirOwnCalibrationBesideTheDay) {
    loadDay(*threeStudyDay());
    evaluate(true, QStringLiteral("64"));
    compare(writeDay(*archivedDay(40000), QStringLiteral("archive.txt")));
    form->show();
    QApplication::processEvents();

    EXPECT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
    EXPECT_TRUE(form->DateArj->isVisibleTo(form.get()));
    EXPECT_EQ(form->DateArj->text(), QStringLiteral("Сравнение с номограммой от: 01.02.26"));
    const QList<QPointF> placed = points(form->charts.ChartNomMan51);
    ASSERT_EQ(placed.size(), 6);
    const std::vector<EvaluatedStudy> day = evaluated();
    auto archive = std::make_unique<Image>(form->day().archiveImage());
    const std::vector<EvaluatedStudy> archived =
        evaluateDay(*archive, calibrationCoefficient(form->day().archiveImage()));
    ASSERT_EQ(archived.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        // The same raw voidings, weighed with 40,000 instead of 50,000.
        EXPECT_DOUBLE_EQ(archived[i].volume, day[i].volume * 50000 / 40000);
        EXPECT_EQ(placed[3 + i], pointOf(archived[i]));
        EXPECT_EQ(pointColour(form->charts.ChartNomMan51, i), QColor(255, 255, 0));
        EXPECT_EQ(pointColour(form->charts.ChartNomMan51, 3 + i), QColor(0, 0, 0));
    }
    EXPECT_TRUE(form->charts.ChartNomMan51->pointTip(placed[3]).startsWith(
        QStringLiteral("Архив 01.02.26, исследование 1, 08:30\n")));

    // Cancelled: the archive held is evaluated again from its bytes, the same points added.
    compare();
    const QList<QPointF> again = points(form->charts.ChartNomMan51);
    ASSERT_EQ(again.size(), 9);
    EXPECT_EQ(again.mid(6), placed.mid(3));
}

TEST_F(Archive, AnUnreadableFileKeepsTheArchiveAndTheCaption) {
    loadDay(*threeStudyDay());
    compare(writeDay(*archivedDay(40000), QStringLiteral("archive.txt")));
    const QString caption = form->DateArj->text();
    const int before = static_cast<int>(points(form->charts.ChartNomMan51).size());

    const QString shortPath = writeDay(*archivedDay(40000), QStringLiteral("short.txt"));
    QFile::resize(shortPath, 1000);
    compare(shortPath);
    EXPECT_EQ(fake.dialogs.errors.back(), QStringLiteral("Read beyond end of file"));
    EXPECT_EQ(form->DateArj->text(), caption);
    EXPECT_EQ(points(form->charts.ChartNomMan51).size(), before);
    EXPECT_EQ(word(form->day().archiveImage(), kCalibrationBOffset), 20000 + 40000 / 4);
}

TEST_F(Archive, ZeroArchiveCalibrationEndsWithTheDivisionErrorAfterTheCaption) {
    loadDay(*threeStudyDay());
    auto day = archivedDay(40000);
    (*day)[kCalibrationBOffset] = (*day)[kCalibrationAOffset];
    (*day)[kCalibrationBOffset + 1] = (*day)[kCalibrationAOffset + 1];
    compare(writeDay(*day, QStringLiteral("zero.txt")));
    EXPECT_EQ(fake.dialogs.errors.back(), QStringLiteral("Floating point division by zero"));
    EXPECT_EQ(form->DateArj->text(), QStringLiteral("Сравнение с номограммой от: 01.02.26"));
    EXPECT_TRUE(shownNomograms().isEmpty());
}

}  // namespace uroflow::test
