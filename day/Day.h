#pragma once
// One day of the uroflowmeter: its memory image, the studies the scan found, each study
// decoded, the day on the nomogram with the studies the doctor includes, and the
// archived day it is compared with. The window, the reports and the exports all show
// this one model, so no two of them can disagree about the day.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "nomogram/DayEvaluation.h"
#include "study/ByteRange.h"
#include "study/Decoder.h"
#include "study/Image.h"
#include "study/Passport.h"
#include "study/Signal.h"
#include "study/StudyScan.h"

namespace uroflow {

// A study of the day placed on the nomogram.
struct NomogramPoint {
    std::uint16_t study = 0;  // 0-based index in the day
    EvaluatedStudy values;
};

// Four images of 64 KiB: make it on the heap.
class Day {
  public:
    Day();

    // ---- The day's steps ----

    // A study file's image becomes the day's memory. The studies stay those of the last
    // scan until scan() is called.
    void loadImage(const Image& image);
    // The end of a download: the first `reportCount` blocks of `received` (32 bytes each,
    // as the transfer stored them) replace the memory; bytes past them stay.
    void takeDownload(const Image& received, std::int32_t reportCount);
    // Finds the studies of the memory (kFileScan after a load, downloadScan() after a
    // download). A new day: every study included, the first one found selected.
    void scan(const ScanVariant& variant);
    // A transfer without studies (a command's answer): the day holds none.
    void dropStudies();

    // Shows study `index`. False, and nothing changes, when it is no study of this scan.
    bool select(std::uint16_t index);

    // Study `index` (< studyCount()) decoded from the image as the scan left it, with
    // the artefact threshold `npr`; kept until the next scan.
    const DecodeResult& decode(std::uint16_t index, int npr = kDefaultArtefactThreshold);
    const DecodeResult& decodeCurrent(int npr = kDefaultArtefactThreshold);

    // Every study of this scan on the nomogram, evaluated from the image as the scan left
    // it (the same points however often it is asked). K = 0 with studies throws
    // RuntimeError "Floating point division by zero".
    const std::vector<EvaluatedStudy>& evaluateNomogram();
    // The evaluated studies that are included, in order.
    std::vector<NomogramPoint> nomogramPoints();

    bool included(std::size_t index) const;
    // Indices past the flags' table are ignored.
    void include(std::size_t index, bool on);

    // The archived day of the comparison: its own image, evaluated with its own
    // calibration, every study drawn.
    void takeArchive(const Image& image);
    std::vector<EvaluatedStudy> evaluateArchive() const;
    std::string archiveDate() const;

    // ---- What the day holds ----

    const Image& deviceImage() const { return DeviceImage; }
    const Image& scannedImage() const { return ScannedImage; }
    const Image& workImage() const { return WorkImage; }
    const Image& archiveImage() const { return ArchiveImage; }
    std::uint16_t studyCount() const { return StudyCount; }
    // Entry `index` of the study table (0 for none).
    std::uint16_t studyStart(std::size_t index) const;
    std::uint16_t curStudy() const { return CurStudy; }
    std::uint16_t curStudyStart() const { return CurStudyStart; }
    std::int32_t calibrCoef() const { return CalibrCoef; }
    Passport passport() const;

  private:
    void forgetResults();
    // WorkImage as ScannedImage, copying back only what the last step may have changed.
    Image& cleanWork();

    // The memory as downloaded or loaded; never changed by decoding.
    Image DeviceImage{};
    // The memory as the last scan left it (sample 2 of each study cleared); every
    // decoding and evaluation starts from WorkImage brought back to it.
    Image ScannedImage{};
    Image WorkImage{};
    Image ArchiveImage{};
    // Entries past StudyCount may hold an earlier scan's starts; nothing reads them.
    StudyStartTable StudyStarts{};
    std::uint16_t StudyCount = 0;
    std::uint16_t CurStudy = 0;
    std::uint16_t CurStudyStart = kStudyAreaStart;
    std::array<bool, kMaxStudies> NomInclude{};
    std::int32_t CalibrCoef = 0;  // K of DeviceImage

    std::vector<std::optional<DecodeResult>> decoded_;  // one per study of the scan
    int decodedNpr_ = kDefaultArtefactThreshold;
    std::optional<std::vector<EvaluatedStudy>> evaluation_;
    // WorkImage differs from ScannedImage at most here.
    ByteRange workDirty_;
    // The archived day on the nomogram, evaluated once per archive taken.
    mutable std::optional<std::vector<EvaluatedStudy>> archiveEvaluation_;
};

}  // namespace uroflow
