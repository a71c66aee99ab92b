#pragma once
// A main window on the fake platform, with helpers to put a day on disk and load it.

#include <gtest/gtest.h>

#include <QLocale>
#include <QString>
#include <memory>

#include "app/Unit1.h"
#include "study/Image.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"

namespace uroflow::test {

class HandlerTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the image as a study file in a temporary folder; returns its path.
    QString writeDay(const Image& image, const QString& fileName = QStringLiteral("day.txt"));
    // Loads the image through LoadFileClick with a confirmed open dialog.
    void loadDay(const Image& image);
    // A day with three studies of different shapes, K = 50,000.
    static std::unique_ptr<Image> threeStudyDay();

    QString indexTexts() const;  // all index fields joined, for comparisons

    FakePlatform fake;
    std::unique_ptr<TTMForm> form;
    QLocale savedLocale;
};

}  // namespace uroflow::test
