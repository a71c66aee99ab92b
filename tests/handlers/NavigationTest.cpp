// Stepping between studies and switching views.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <cmath>

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
    form->NomInclude[1] = false;
    form->guard([&] { form->NextClick(); });
    EXPECT_EQ(form->CurStudy, 0);
    EXPECT_EQ(form->Mst->toPlainText(), "1");
    EXPECT_EQ(indexTexts(), shown);
    EXPECT_FALSE(form->EnNom->isChecked());  // the flag of the study that is not there
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
    EXPECT_EQ(form->CurStudy, 0);
    EXPECT_EQ(form->Tstart->text(), "08:30:00");
    EXPECT_FALSE(form->Prev->isEnabled());
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
}

TEST_F(Navigation, PrevStoresRoundedVolumeAndQmax) {
    loadDay(*threeStudyDay());
    form->guard([&] { form->NextClick(); });
    EXPECT_EQ(form->StudyVolume[1], 0);  // Next stores nothing
    form->guard([&] { form->NextClick(); });
    form->guard([&] { form->PrevClick(); });

    EXPECT_EQ(form->CurStudy, 1);
    EXPECT_EQ(form->StudyVolume[1], std::nearbyint(form->VolumeTotal));
    EXPECT_EQ(form->StudyQmax[1], std::nearbyint(form->FlowMax * 12.5 / 50000 * 8));
    EXPECT_GT(form->StudyVolume[1], 0);
    EXPECT_EQ(form->StudyVolume[1], std::floor(form->StudyVolume[1]));
}

TEST_F(Navigation, ViewsSwitchCharts) {
    loadDay(*threeStudyDay());
    form->Prev->setEnabled(false);
    form->ChartNomWoman->setVisible(true);

    form->guard([&] { form->QVClick(); });
    EXPECT_FALSE(form->ChartGraf->isVisibleTo(form.get()));
    EXPECT_TRUE(form->ChartVQ->isVisibleTo(form.get()));
    EXPECT_FALSE(form->ChartNomWoman->isVisibleTo(form.get()));
    EXPECT_TRUE(form->Prev->isEnabled());

    form->guard([&] { form->VTClick(); });
    EXPECT_TRUE(form->ChartGraf->isVisibleTo(form.get()));
    EXPECT_FALSE(form->ChartVQ->isVisibleTo(form.get()));
    EXPECT_FALSE(form->DateArj->isVisibleTo(form.get()));
}

TEST_F(Navigation, ZoomResetWithoutDataChangesNothing) {
    form->guard([&] { form->ZoomResetClick(); });
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
    EXPECT_TRUE(form->ChartGraf->isVisibleTo(form.get()));
}

}  // namespace uroflow::test

namespace uroflow::test {

// Stale start entries of an earlier day let Prev redraw a study that is not there;
// the values it stores must then be this day's (nothing), not the earlier day's.
TEST_F(Navigation, PrevAfterADayWithoutStudiesStoresNothingOld) {
    loadDay(*threeStudyDay());
    ASSERT_GT(form->VolumeTotal, 0);
    ImageBuilder empty;
    empty.calibration(50000);
    loadDay(*empty.build());
    ASSERT_EQ(form->StudyCount, 0);

    form->guard([&] { form->NextClick(); });
    form->guard([&] { form->NextClick(); });
    form->guard([&] { form->PrevClick(); });
    EXPECT_EQ(form->CurStudy, 1);
    EXPECT_EQ(form->VolumeTotal, 0);
    EXPECT_EQ(form->StudyVolume[1], 0);
    EXPECT_EQ(form->StudyQmax[1], 0);
}

}  // namespace uroflow::test
