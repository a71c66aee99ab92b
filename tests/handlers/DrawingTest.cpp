// Drawing a study: calibration check, index fields, mended carry-overs.

#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QXYSeries>

#include "charts/ChartView.h"
#include "files/DayReport.h"
#include "tests/handlers/HandlerFixture.h"

namespace uroflow::test {

using Drawing = HandlerTest;

TEST_F(Drawing, CalibrationOutsideLimitsWarnsAndStillDecodes) {
    ImageBuilder b;
    b.calibration(39996).addDecodedStudy(kStudyAreaStart, 9, 5, std::vector<std::uint16_t>(40, 800),
                                         10);
    loadDay(*b.build());

    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    const RecordedMessage& m = fake.dialogs.messages[0];
    EXPECT_EQ(m.caption, QStringLiteral("Ошибка калибровки Урофлоуметра"));
    EXPECT_EQ(m.text, QStringLiteral(
                          "Откалибруйте Урофлоуметр:\r\n\r\n1. Нажмите кнпку \"K\".\r\n2. Запутите "
                          "Урофлоуметр в режиме измерения.\r\n3. После запуска Урофлоуметра "
                          "аккуратно положите на его платформу гирьку 50 гр. \r\n4. Дождитесь "
                          "выключения Урофлоуметра."));
    EXPECT_EQ(m.icon, MsgIcon::Warning);
    EXPECT_EQ(m.buttons, MbOk);
    EXPECT_TRUE(form->Calibr->isVisibleTo(form.get()));
    EXPECT_TRUE(form->Edit_Calibr->isVisibleTo(form.get()));
    EXPECT_EQ(form->Edit_Calibr->text(), "39996");
    EXPECT_EQ(form->Tstart->text(), "09:05:00");
    EXPECT_FALSE(form->Qmax->text().isEmpty());
}

TEST_F(Drawing, ZeroCalibrationDecodesNothing) {
    loadDay(*threeStudyDay());
    EXPECT_FALSE(form->Twait->text().isEmpty());

    ImageBuilder b;  // readings 0 and 0: K = 0
    b.addDecodedStudy(kStudyAreaStart, 9, 5, std::vector<std::uint16_t>(40, 800), 10);
    loadDay(*b.build());
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
    EXPECT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(form->Edit_Calibr->text(), "0");
    EXPECT_EQ(indexTexts(), "||||||||");
    EXPECT_EQ(form->charts.ChartGraf->series()->count(), 0);
    EXPECT_EQ(form->Mnt->toPlainText(), "1");
}

TEST_F(Drawing, IndexTextsUseTheLocaleSeparator) {
    ImageBuilder b;
    // 8 quiet samples, then a steady flow of 1000 raw (20 ml/s): the volume passes
    // 4000 raw at sample 12, so 11 samples count as waiting (1.375 s).
    std::vector<std::uint16_t> samples(8, 0);
    samples.insert(samples.end(), 80, 1000);
    b.calibration(50000).addDecodedStudy(kStudyAreaStart, 7, 45, samples, 100);
    loadDay(*b.build());

    EXPECT_EQ(form->Twait->text(), "1,4");
    EXPECT_EQ(form->Ttotal->text(), "11,0");
    EXPECT_EQ(form->Tstart->text(), "07:45:00");
    EXPECT_TRUE(form->Qmax->text().contains(','));
    EXPECT_TRUE(form->Vml->text().contains('/'));  // dynamic / static
}

TEST_F(Drawing, InvalidStartTimeShowsTheRuntimeText) {
    ImageBuilder b;
    b.calibration(50000).addDecodedStudy(kStudyAreaStart, 25, 7,
                                         std::vector<std::uint16_t>(40, 800), 10);
    loadDay(*b.build());
    EXPECT_EQ(fake.dialogs.errors, QStringList{"'25:07' is not a valid time"});
    EXPECT_EQ(form->charts.ChartGraf->series()->count(), 0);
    EXPECT_TRUE(form->Twait->text().isEmpty());
}

// "2 из 3" showed study 1's indices and start time beside study 2's empty chart.
TEST_F(Drawing, AStudyWithAnInvalidStartTimeShowsNoOtherStudysValues) {
    ImageBuilder b;
    b.calibration(50000);
    std::size_t offset = kStudyAreaStart;
    for (const std::uint8_t hour : {8, 25, 10}) {
        b.addDecodedStudy(offset, hour, 7, std::vector<std::uint16_t>(40, 1800), 10);
        offset += ImageBuilder::decodedStudyLength(40, true);
    }
    loadDay(*b.build());
    ASSERT_FALSE(form->Twait->text().isEmpty());
    ASSERT_EQ(form->Tstart->text(), "08:07:00");

    form->guard([&] { form->NextClick(); });
    EXPECT_EQ(fake.dialogs.errors, QStringList{"'25:07' is not a valid time"});
    EXPECT_EQ(form->Mst->toPlainText(), "2");
    EXPECT_EQ(indexTexts(), QStringLiteral("||||||||"));
    EXPECT_EQ(form->charts.ChartGraf->series()->count(), 0);
}

// A day whose first start word lies at byte 100: the first study is the same after the
// load and after ">" then "<", and the report agrees.
TEST_F(Drawing, TheFirstDrawingIsTheFirstStudyFound) {
    ImageBuilder b;
    b.calibration(50000).byte(kStudyAreaStart, 0);
    std::vector<std::uint16_t> flow(8, 0);
    flow.insert(flow.end(), 60, 1500);
    b.addDecodedStudy(kStudyAreaStart + 1, 8, 15, flow, 30);
    b.addDecodedStudy(kStudyAreaStart + 1 + ImageBuilder::decodedStudyLength(flow.size(), true), 9,
                      0, flow, 30);
    const auto image = b.build();
    loadDay(*image);
    const QString afterLoad = indexTexts();
    EXPECT_EQ(form->Tstart->text(), "08:15:00");

    form->guard([&] { form->NextClick(); });
    form->guard([&] { form->PrevClick(); });
    EXPECT_EQ(indexTexts(), afterLoad);
    const DayReport report = buildDayReport(*image);
    EXPECT_EQ(form->Qmax->text().toStdString(), reportTexts(report.studies[0].indices).qmax);
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
}

TEST_F(Drawing, SameStudyDrawsTheSameWhateverCameBefore) {
    ImageBuilder b;
    b.calibration(50000);
    // Samples that the artefact filter and the noise floor patch while decoding.
    std::vector<std::uint16_t> spiky = {0, 100, 1000, 1200, 300, 0x01FF, 900, 80, 2000, 30, 700};
    for (int i = 0; i < 6; ++i) spiky.insert(spiky.end(), spiky.begin(), spiky.begin() + 11);
    std::size_t offset = kStudyAreaStart;
    for (int study = 0; study < 2; ++study) {
        b.addDecodedStudy(offset, 10 + study, 0, spiky, 12);
        offset += ImageBuilder::decodedStudyLength(spiky.size(), true);
    }
    loadDay(*b.build());

    form->guard([&] { form->NextClick(); });
    const QString second = indexTexts();
    form->guard([&] { form->PrevClick(); });
    const QString first = indexTexts();
    form->guard([&] { form->NextClick(); });
    EXPECT_EQ(indexTexts(), second);
    form->guard([&] { form->PrevClick(); });
    EXPECT_EQ(indexTexts(), first);
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
}

TEST_F(Drawing, NoValuesCarriedOverFromTheStudyBefore) {
    ImageBuilder b;
    b.calibration(50000);
    std::vector<std::uint16_t> flow(8, 0);
    flow.insert(flow.end(), 60, 1500);
    b.addDecodedStudy(kStudyAreaStart, 8, 0, flow, 30);
    const std::size_t second =
        kStudyAreaStart + ImageBuilder::decodedStudyLength(flow.size(), true);
    // All-zero study with an end word: no 95 % point.
    b.addDecodedStudy(second, 9, 0, std::vector<std::uint16_t>(30, 0), 0);
    const std::size_t third = second + ImageBuilder::decodedStudyLength(30, true);
    // A study without an end word, ending in unwritten memory: no static reading.
    b.addDecodedStudy(third, 10, 0, flow);
    loadDay(*b.build());
    ASSERT_FALSE(form->Qave->text().isEmpty());

    form->guard([&] { form->NextClick(); });
    EXPECT_EQ(form->Tstart->text(), "09:00:00");
    EXPECT_TRUE(form->Qave->text().isEmpty());
    EXPECT_EQ(form->Vml->text(), "0/0");

    form->guard([&] { form->NextClick(); });
    EXPECT_EQ(form->Tstart->text(), "10:00:00");
    EXPECT_FALSE(form->Vml->text().contains('/'));
    EXPECT_TRUE(fake.dialogs.errors.isEmpty());
}

}  // namespace uroflow::test
