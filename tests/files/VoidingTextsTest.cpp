// The standard figures of a voiding as people read them.

#include <gtest/gtest.h>

#include <string>

#include "files/VoidingTexts.h"

namespace uroflow {
namespace {

VoidingAnalysis analysis(double volume, VoidingValidity validity, int episodes) {
    VoidingAnalysis a;
    a.voidedMl = volume;
    a.flowTime = 24;
    a.voidingTime = 25.25;
    a.qmax = 22.84;
    a.qave = volume / 24;
    a.timeToQmax = 8.5;
    a.episodes = episodes;
    a.validity = validity;
    return a;
}

TEST(VoidingTexts, RemarksSayWhatLimitsTheFigures) {
    const struct {
        VoidingValidity validity;
        int episodes;
        const char* remark;
    } cases[] = {
        {VoidingValidity::Ok, 1, ""},
        {VoidingValidity::LowVolume, 1, "< 150 мл"},
        {VoidingValidity::HighVolume, 1, "> 600 мл"},
        {VoidingValidity::Ok, 2, "прерывистое"},
        {VoidingValidity::LowVolume, 3, "< 150 мл, прерывистое"},
        {VoidingValidity::NoFlow, 0, "нет потока"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(voidingTexts(analysis(300, c.validity, c.episodes), ",").remark, c.remark);
}

TEST(VoidingTexts, FiguresWithTheirUnitsOrWhyThereAreNone) {
    const VoidingTexts t = voidingTexts(analysis(300, VoidingValidity::Ok, 1), ",");
    EXPECT_EQ(t.qmax, "22,8");
    EXPECT_EQ(t.qave, "12,5");
    EXPECT_EQ(t.voidingTime, "25,3");
    EXPECT_EQ(t.volume, "300");
    EXPECT_EQ(voidingSummaryText(analysis(120, VoidingValidity::LowVolume, 2), 50000, ","),
              "Стандартный анализ мочеиспускания:\n"
              "Qmax (за 2 сек): 22,8 мл/сек\n"
              "Средняя скорость: 5,0 мл/сек\n"
              "Время потока: 24,0 сек\n"
              "Время мочеиспускания: 25,3 сек\n"
              "Время до Qmax: 8,5 сек\n"
              "Объем: 120 мл\n"
              "Оценка: < 150 мл, прерывистое");

    VoidingAnalysis none;
    none.voidedMl = 4.99;
    const std::string noFlow = voidingSummaryText(none, 50000, ",");
    EXPECT_NE(noFlow.find("Qmax (за 2 сек): —\n"), std::string::npos) << noFlow;
    EXPECT_NE(noFlow.find("Оценка: нет потока"), std::string::npos) << noFlow;

    EXPECT_EQ(voidingTexts(std::nullopt, ",").qmax, "");
    EXPECT_EQ(voidingSummaryText(std::nullopt, 39996, ","),
              "Стандартный анализ мочеиспускания не выполнен.\n"
              "Калибровка вне допустимых пределов: K = 39996 (допустимо 40000–60000)");
    EXPECT_EQ(voidingSummaryText(std::nullopt, 50000, ","),
              "Стандартный анализ мочеиспускания не выполнен: запись исследования прочитана с "
              "ошибкой");
}

}  // namespace
}  // namespace uroflow
