#include "tests/handlers/HandlerFixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStringList>
#include <cmath>
#include <vector>

#include "files/StudyFile.h"

namespace uroflow::test {

namespace {

// A bell-shaped voiding: `peak` raw units per eighth of a second.
std::vector<std::uint16_t> bell(int length, double peak, int leadIn) {
    std::vector<std::uint16_t> samples(leadIn, 0);
    for (int i = 0; i < length; ++i) {
        const double x = (i + 0.5) / length;
        samples.push_back(static_cast<std::uint16_t>(peak * std::sin(x * M_PI)));
    }
    return samples;
}

}  // namespace

void HandlerTest::SetUp() {
    savedLocale = QLocale();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    form = std::make_unique<TTMForm>(fake.platform());
}

void HandlerTest::TearDown() {
    form.reset();
    QLocale::setDefault(savedLocale);
}

QString HandlerTest::writeDay(const Image& image, const QString& fileName) {
    const QString path = QDir(fake.userConfigDir.path()).filePath(fileName);
    writeStudyFile(QFile::encodeName(path).toStdString(), image);
    return path;
}

void HandlerTest::loadDay(const Image& image) {
    fake.dialogs.openNames.push_back(writeDay(image));
    form->guard([this] { form->LoadFileClick(); });
}

std::unique_ptr<Image> HandlerTest::threeStudyDay() {
    ImageBuilder b;
    b.calibration(50000)
        .battery(kBatteryHigh)
        .sex(1)
        .name("\xC8\xE2\xE0\xED\xEE\xE2")
        .age("64")
        .date("050326");
    std::size_t offset = kStudyAreaStart;
    const struct {
        int length;
        double peak;
        std::uint8_t hour;
    } shapes[] = {{160, 2400, 8}, {240, 3000, 12}, {120, 1500, 18}};
    for (const auto& s : shapes) {
        const auto samples = bell(s.length, s.peak, 6);
        b.addDecodedStudy(offset, s.hour, 30, samples, 40);
        offset += ImageBuilder::decodedStudyLength(samples.size(), true);
    }
    return b.build();
}

QString HandlerTest::indexTexts() const {
    QStringList texts;
    for (const QLineEdit* field : {form->Tstart, form->Twait, form->TQmax, form->FlowTime,
                                   form->Ttotal, form->Qave, form->Qmax, form->VQmax, form->Vml})
        texts << field->text();
    return texts.join('|');
}

}  // namespace uroflow::test
