#include "app/ArchiveSettingsDialog.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace uroflow {

ArchiveSettingsDialog::ArchiveSettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ArchiveSettings"));
    setWindowTitle(QStringLiteral("Настройка архива пациентов"));
    Embedded = new QRadioButton(QStringLiteral("Архив на этом компьютере"), this);
    Server = new QRadioButton(QStringLiteral("Сервер PostgreSQL клиники"), this);
    Url = new QLineEdit(this);
    Url->setPlaceholderText(
        QStringLiteral("postgresql://пользователь@сервер:5432/база?sslmode=require"));
    Url->setToolTip(
        QStringLiteral("Пароль не указывается: его берет ~/.pgpass или файл служб PostgreSQL"));
    TestConnection = new QPushButton(QStringLiteral("Проверить соединение"), this);
    Location = new QLabel(this);
    Location->setWordWrap(true);
    Location->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Result = new QLabel(this);
    Result->setWordWrap(true);
    Result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* testRow = new QHBoxLayout;
    testRow->addWidget(TestConnection);
    testRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Embedded);
    layout->addWidget(Server);
    layout->addWidget(Url);
    layout->addWidget(Location);
    layout->addLayout(testRow);
    layout->addWidget(Result);
    layout->addStretch();
    layout->addWidget(Buttons);
    resize(560, 260);
}

}  // namespace uroflow
