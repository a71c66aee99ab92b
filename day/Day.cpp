// One day of the uroflowmeter and its steps: load, scan, decode, evaluate, include.

#include "day/Day.h"

#include <algorithm>
#include <cstddef>
#include <memory>

#include "reader/Protocol.h"

namespace uroflow {

Day::Day() {
    NomInclude.fill(true);
}

void Day::loadImage(const Image& image) {
    DeviceImage = image;
    CalibrCoef = calibrationCoefficient(DeviceImage);
}

void Day::takeDownload(const Image& received, std::int32_t reportCount) {
    const std::size_t blocks = static_cast<std::size_t>(std::max(reportCount, 0));
    const std::size_t length = std::min(blocks * kBlockLength, DeviceImage.size());
    std::copy_n(received.begin(), length, DeviceImage.begin());
    CalibrCoef = calibrationCoefficient(DeviceImage);
}

void Day::scan(const ScanVariant& variant) {
    scanStudies(DeviceImage, ScannedImage, StudyStarts, StudyCount, variant.lastOffset,
                variant.clearAfterLast);
    // Brought to the new scan by the next decoding or evaluation.
    workDirty_ = kWholeImage;
    forgetResults();
    // A new day: a study left out for the last patient is not left out for this one.
    NomInclude.fill(true);
    CurStudy = 0;
    // The first drawing shows the first study found, wherever it starts.
    CurStudyStart = StudyCount > 0 ? StudyStarts[0] : kStudyAreaStart;
}

void Day::dropStudies() {
    std::copy_n(DeviceImage.begin(), kMemorySize, ScannedImage.begin());
    std::fill(ScannedImage.begin() + kMemorySize, ScannedImage.end(), std::uint8_t{0});
    workDirty_ = kWholeImage;
    StudyCount = 0;
    CurStudy = 0;
    CurStudyStart = kStudyAreaStart;
    forgetResults();
}

Image& Day::cleanWork() {
    restoreRange(WorkImage, ScannedImage, workDirty_);
    workDirty_ = {};
    return WorkImage;
}

void Day::forgetResults() {
    decoded_.assign(StudyCount, std::nullopt);
    evaluation_.reset();
}

bool Day::select(std::uint16_t index) {
    if (index >= StudyCount) return false;
    CurStudy = index;
    CurStudyStart = StudyStarts[index];
    return true;
}

const DecodeResult& Day::decode(std::uint16_t index, int npr) {
    if (npr != decodedNpr_) {
        decoded_.assign(StudyCount, std::nullopt);
        decodedNpr_ = npr;
    }
    std::optional<DecodeResult>& kept = decoded_.at(index);
    if (kept) return *kept;

    DecodeParams params;
    params.curStudyStart = StudyStarts[index];
    params.npr = npr;
    params.studyCount = StudyCount;
    params.calibrCoef = CalibrCoef;
    if (index + 1 < StudyCount) params.nextStudyStart = StudyStarts[index + 1];
    // Always from the image as the scan left it, so a study looks the same whatever was
    // decoded or evaluated before. Counted as changed throughout until the decoder says
    // where it patched.
    Image& work = cleanWork();
    workDirty_ = kWholeImage;
    // The decoder sizes the curves to the study, so the day keeps them as they come.
    kept = decodeStudy(work, params);
    workDirty_ = kept->patched;
    return *kept;
}

const DecodeResult& Day::decodeCurrent(int npr) {
    return decode(CurStudy, npr);
}

const std::vector<EvaluatedStudy>& Day::evaluateNomogram() {
    if (evaluation_) return *evaluation_;
    Image& work = cleanWork();
    // Changed throughout if the evaluation throws; else only the studies' words.
    workDirty_ = kWholeImage;
    std::vector<EvaluatedStudy> studies = evaluateDay(work, CalibrCoef);
    workDirty_ = {};
    for (const EvaluatedStudy& study : studies) workDirty_.add(study.start, study.end);
    // Only studies of this scan: start words past the first unwritten word were found
    // by the scan but not by the evaluation, and nothing of an earlier day is shown.
    if (studies.size() > StudyCount) studies.resize(StudyCount);
    evaluation_ = std::move(studies);
    return *evaluation_;
}

std::vector<NomogramPoint> Day::nomogramPoints() {
    const std::vector<EvaluatedStudy>& studies = evaluateNomogram();
    std::vector<NomogramPoint> points;
    for (std::size_t i = 0; i < studies.size(); ++i) {
        if (included(i)) points.push_back({static_cast<std::uint16_t>(i), studies[i]});
    }
    return points;
}

bool Day::included(std::size_t index) const {
    return index < NomInclude.size() && NomInclude[index];
}

void Day::include(std::size_t index, bool on) {
    if (index < NomInclude.size()) NomInclude[index] = on;
}

void Day::takeArchive(const Image& image) {
    ArchiveImage = image;
    archiveEvaluation_.reset();
}

std::vector<EvaluatedStudy> Day::evaluateArchive() const {
    // From the file's bytes as read, with the archive's own calibration; the evaluation
    // cleans what it reads, so it works on a copy, made once per archive.
    if (!archiveEvaluation_) {
        auto work = std::make_unique<Image>(ArchiveImage);
        archiveEvaluation_ = evaluateDay(*work, calibrationCoefficient(ArchiveImage));
    }
    return *archiveEvaluation_;
}

std::string Day::archiveDate() const {
    return decodePassport(ArchiveImage).date;
}

std::uint16_t Day::studyStart(std::size_t index) const {
    return index < StudyStarts.size() ? StudyStarts[index] : 0;
}

Passport Day::passport() const {
    return decodePassport(DeviceImage);
}

}  // namespace uroflow
