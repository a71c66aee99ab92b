// Qt's own texts read Russian once the translation is installed, as at program start.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <memory>

#include "app/QtPlatform.h"
#include "app/Translation.h"

namespace uroflow::test {
namespace {

QString shownText(const QMessageBox& box, QMessageBox::StandardButton which) {
    const QAbstractButton* button = box.button(which);
    return button ? button->text().remove('&') : QStringLiteral("(no button)");
}

TEST(Translation, ConfirmationButtonsReadRussian) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    // Deleting the translator uninstalls it, so the other tests see Qt as it was.
    const std::unique_ptr<QTranslator> translator(installQtRussian(*app));
    ASSERT_NE(translator, nullptr) << "Qt's Russian translation (qt6-translations-l10n) missing";

    // The box of a confirmation such as the one before an erase, built but never shown.
    const auto confirm = makeMessageBox(nullptr, QStringLiteral("Внимание!"), QStringLiteral("?"),
                                        MsgIcon::Warning, MbYes | MbNo);
    EXPECT_EQ(shownText(*confirm, QMessageBox::Yes), QStringLiteral("Да"));
    EXPECT_EQ(shownText(*confirm, QMessageBox::No), QStringLiteral("Нет"));
    const auto choice = makeMessageBox(nullptr, QStringLiteral("Сохранение"), QStringLiteral("?"),
                                       MsgIcon::Question, MbOk | MbCancel);
    EXPECT_EQ(shownText(*choice, QMessageBox::Cancel), QStringLiteral("Отмена"));
    EXPECT_EQ(shownText(*choice, QMessageBox::Yes), QStringLiteral("(no button)"));
}

}  // namespace
}  // namespace uroflow::test
