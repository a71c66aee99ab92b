// Stepping between studies and switching views.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QXYSeries>

#include "charts/ChartView.h"
#include "tests/handlers/HandlerFixture.h"

namespace uroflow::test {

using Navigation = HandlerTest;

TEST_F(Navigation, OneStudyNextStaysOnIt) {
    ImageBuilder b;
    b.calibration(50000).addDecodedStudy(kStudyAreaStart, 9, 0, std::vector<std::uint16_t>(40, 900),
                                         20);
    loadDay(*b.build());
    EXPECT_TRUE(form->Next->isEnabled());

    const QString shown = indexTexts();
    form->EnNom->setChecked(false);
    form->guard([&] { form->EnNomClick(); });
    form->guard([&] { form->NextClick(); });
    EXPECT_EQ(form->day().curStudy(), 0);
    EXPECT_EQ(form->Mst->toPlainText(), "1");
    EXPECT_EQ(indexTexts(), shown);
    EXPECT_TRUE(form->EnNom->isChecked());  // the flag of the study that is not there
    EXPECT_TRUE(form->Prev->isEnabled());
}

TEST_F(Navigation, StepsToBothEnds) {
    loadDay(*threeStudyDay());
    form->Nomogram->setEnabled(false);

    form->guard([&] { form->NextClick(); });
    EXPECT_EQ(form->Mst->toPlainText(), "2");
    EXPECT_EQ(form->Tstart->text(), "12:30:00");
    EXPECT_TRUE(form->Next->isEnabled());
    EXPECT_TRUE(form->Prev->isEnabled());

    form->guard([&] { form->NextClick(); });
    EXPECT_EQ(form->Mst->toPlainText(), "3");
    EXPECT_FALSE(form->Next->isEnabled());
    EXPECT_TRUE(form->Nomogram->isEnabled());

    form->guard([&] { form->PrevClick(); });
    form->guard([&] { form->PrevClick(); });
    EXPECT_EQ(form->Mst->toPlainText(), "1");
    EXPECT_FALSE(form->Prev->isEnabled());

    // At the first study Prev redraws it and stays disabled.
    form->Prev->setEnabled(true);
    form->guard([&] { form->PrevClick(); });
    EXPECT_EQ(form->day().curStudy(), 0);
    EXPECT_EQ(form->Tstart->text(), "08:30:00");
    EXPECT_FALSE(form->Prev->isEnabled());
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
}

TEST_F(Navigation, ViewsSwitchCharts) {
    loadDay(*threeStudyDay());
    form->Prev->setEnabled(false);
    form->charts.ChartNomWoman->setVisible(true);

    form->guard([&] { form->QVClick(); });
    EXPECT_FALSE(form->charts.ChartGraf->isVisibleTo(form.get()));
    EXPECT_TRUE(form->charts.ChartVQ->isVisibleTo(form.get()));
    EXPECT_FALSE(form->charts.ChartNomWoman->isVisibleTo(form.get()));
    EXPECT_TRUE(form->Prev->isEnabled());

    form->guard([&] { form->VTClick(); });
    EXPECT_TRUE(form->charts.ChartGraf->isVisibleTo(form.get()));
    EXPECT_FALSE(form->charts.ChartVQ->isVisibleTo(form.get()));
    EXPECT_FALSE(form->DateArj->isVisibleTo(form.get()));
}

TEST_F(Navigation, ZoomResetWithoutDataChangesNothing) {
    form->guard([&] { form->ZoomResetClick(); });
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
    EXPECT_TRUE(form->charts.ChartGraf->isVisibleTo(form.get()));
}

}  // namespace uroflow::test

namespace uroflow::test {

// Stale start entries of an earlier day must never be stepped to: after a 7-study day, a
// 1-study day stays on "1 из 1" with its own values.
TEST_F(Navigation, NextNeverGoesPastTheLastStudyOfThisDay) {
    ImageBuilder seven;
    seven.calibration(50000);
    std::size_t at = kStudyAreaStart;
    for (int i = 0; i < 7; ++i) {
        seven.addDecodedStudy(
            at, static_cast<std::uint8_t>(8 + i), 0,
            std::vector<std::uint16_t>(40, static_cast<std::uint16_t>(3000 + 500 * i)), 20);
        at += ImageBuilder::decodedStudyLength(40, true);
    }
    loadDay(*seven.build());
    ImageBuilder one;
    one.calibration(50000).addDecodedStudy(kStudyAreaStart, 9, 0,
                                           std::vector<std::uint16_t>(40, 900), 20);
    loadDay(*one.build());
    ASSERT_EQ(form->day().studyCount(), 1);
    const QString shown = indexTexts();

    form->guard([&] { form->NextClick(); });
    EXPECT_EQ(form->day().curStudy(), 0);
    EXPECT_EQ(form->Mst->toPlainText(), "1");
    EXPECT_EQ(form->Mnt->toPlainText(), "1");
    EXPECT_EQ(indexTexts(), shown);
    EXPECT_EQ(form->Tstart->text(), "09:00:00");
}

// A day without studies: the steps find nothing and show nothing of the day before.
TEST_F(Navigation, StepsOnADayWithoutStudiesShowNothingOld) {
    loadDay(*threeStudyDay());
    ImageBuilder empty;
    empty.calibration(50000);
    loadDay(*empty.build());
    ASSERT_EQ(form->day().studyCount(), 0);

    form->guard([&] { form->NextClick(); });
    form->guard([&] { form->NextClick(); });
    form->guard([&] { form->PrevClick(); });
    EXPECT_EQ(form->day().curStudy(), 0);
    EXPECT_TRUE(form->charts.ChartGraf->series()->points().isEmpty());
}

}  // namespace uroflow::test
