// The real message boxes, built but never shown: what Enter and Esc answer, and room for
// the whole caption.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

#include "app/QtPlatform.h"

namespace uroflow::test {
namespace {

TEST(MessageBox, ConfirmationsAnswerNoToEnterAndEsc) {
    for (const char* question : {"Очистить память урофлоуметра?", "Откалибровать Урофлоуметр?",
                                 "Записать в память урофлоуметра?"}) {
        SCOPED_TRACE(question);
        const auto box =
            makeMessageBox(nullptr, QStringLiteral("Внимание!"), QString::fromUtf8(question),
                           MsgIcon::Warning, MbYes | MbNo);
        ASSERT_NE(box->defaultButton(), nullptr);
        EXPECT_EQ(box->standardButton(box->defaultButton()), QMessageBox::No);
        EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::No));
    }
    const auto info = makeMessageBox(nullptr, QStringLiteral("Проверка паспортной части"),
                                     QStringLiteral("Укажите пол!"), MsgIcon::Information, MbOk);
    EXPECT_EQ(info->button(QMessageBox::No), nullptr);
}

TEST(MessageBox, IsWideEnoughForItsWholeCaption) {
    for (const char* caption : {"Проверка паспортной части", "Ошибка калибровки Урофлоуметра",
                                "Режим приема данных от Считывателя", "Урофлоуметрия"}) {
        SCOPED_TRACE(caption);
        const auto box = makeMessageBox(nullptr, QString::fromUtf8(caption),
                                        QStringLiteral("Укажите пол!"), MsgIcon::Information, MbOk);
        QFont title = QApplication::font("QMdiSubWindowTitleBar");
        title.setBold(true);
        const int captionWidth = QFontMetrics(title).horizontalAdvance(QString::fromUtf8(caption));
        // The title bar's icon and buttons beside it take at least 100 pixels.
        EXPECT_GE(box->layout()->totalMinimumSize().width(), captionWidth + 100);
    }
}

}  // namespace
}  // namespace uroflow::test
