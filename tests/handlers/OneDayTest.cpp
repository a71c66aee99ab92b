// The window, the report and the PDF's table show one day: the same texts for every
// study of the golden days, and the same studies on the nomogram.

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QXYSeries>
#include <memory>

#include "charts/ChartView.h"
#include "files/DayReport.h"
#include "files/DaySheet.h"
#include "study/IndexTexts.h"
#include "tests/handlers/HandlerFixture.h"
#include "tools/demo/DemoDay.h"

namespace uroflow::test {
namespace {

using OneDay = HandlerTest;

QString joined(const std::string& start, const IndexTexts& texts) {
    QStringList parts{QString::fromStdString(start)};
    for (const IndexField& field : kIndexFields) parts << QString::fromStdString(texts.*field.text);
    return parts.join('|');
}

// The report and the sheet of the day the window holds, include flags and all.
DayReport reportOfTheWindow(const TTMForm& form) {
    auto day = std::make_unique<Day>(form.day());
    return buildDayReport(*day);
}

TEST_F(OneDay, WindowReportAndPdfTableAgreeOnEveryStudyOfTheGoldenDays) {
    for (const SampleDay& sample : sampleDays()) {
        SCOPED_TRACE(sample.name);
        const auto image = std::make_unique<Image>(buildDemoDay(sample.plan, sample.end));
        loadDay(*image);
        const DayReport report = reportOfTheWindow(*form);
        const DaySheet sheet = buildDaySheet(report, report.passport, "");
        // uroflow-report makes its report from the file alone.
        const DayReport fromFile = buildDayReport(*image);
        ASSERT_EQ(report.studies.size(), form->day().studyCount());
        ASSERT_EQ(sheet.rows.size(), report.studies.size());
        ASSERT_EQ(fromFile.studies.size(), report.studies.size());

        for (std::size_t i = 0; i < report.studies.size(); ++i) {
            SCOPED_TRACE("study " + std::to_string(i + 1));
            if (i > 0) form->guard([&] { form->NextClick(); });
            ASSERT_EQ(form->Mst->toPlainText(), QString::number(i + 1));
            const StudyReport& study = report.studies[i];
            const QString expected = joined(study.start.value_or(""), reportTexts(study.indices));
            EXPECT_EQ(indexTexts(), expected);
            EXPECT_EQ(joined(sheet.rows[i].start, sheet.rows[i].texts), expected);
            EXPECT_EQ(joined(fromFile.studies[i].start.value_or(""),
                             reportTexts(fromFile.studies[i].indices)),
                      expected);
        }
    }
}

TEST_F(OneDay, TheNomogramOfTheWindowIsTheOneThePdfShows) {
    loadDay(buildDemoDay());
    // Study 2 left out.
    form->guard([&] { form->NextClick(); });
    form->EnNom->setChecked(false);
    form->guard([&] { form->EnNomClick(); });
    form->sexM->setChecked(true);
    form->Old->setText(QStringLiteral("64"));
    form->guard([&] { form->NomogramClick(); });
    ASSERT_TRUE(form->charts.ChartNomMan51->isVisibleTo(form.get()));
    const QList<QPointF> shown = form->charts.ChartNomMan51->series()->points();

    const DayReport report = reportOfTheWindow(*form);
    const DaySheet sheet = buildDaySheet(report, report.passport, "");
    ASSERT_EQ(static_cast<std::size_t>(shown.size()), sheet.points.size());
    ASSERT_EQ(sheet.points.size(), report.studies.size() - 1);
    for (std::size_t i = 0; i < sheet.points.size(); ++i) {
        EXPECT_NE(sheet.points[i].number, 2);
        EXPECT_EQ(shown[static_cast<qsizetype>(i)],
                  QPointF(sheet.points[i].volume, sheet.points[i].qmax));
    }
}

}  // namespace
}  // namespace uroflow::test
