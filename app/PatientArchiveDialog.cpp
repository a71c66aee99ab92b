#include "app/PatientArchiveDialog.h"

#include <QAbstractItemView>
#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStringList>
#include <QTableWidget>

#include "charts/TrendChart.h"

namespace uroflow {

namespace {

QTableWidget* newTable(const QStringList& headers, QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

}  // namespace

PatientArchiveDialog::PatientArchiveDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PatientArchive"));
    setWindowTitle(QStringLiteral("Архив пациентов"));
    resize(1000, 680);

    Search = new QLineEdit(this);
    Search->setPlaceholderText(QStringLiteral("Фамилия или ее часть"));
    Search->setClearButtonEnabled(true);
    Patients = newTable({QStringLiteral("Пациент"), QStringLiteral("Пол"),
                         QStringLiteral("Возраст"), QStringLiteral("Дней")},
                        this);
    // The name takes what room there is; the short columns keep to their contents.
    Patients->horizontalHeader()->setStretchLastSection(false);
    Patients->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    // Two-line headers, so every column of a day fits beside the patients.
    Days = newTable(
        {QStringLiteral("Дата"), QStringLiteral("Мочеис-\nпусканий"),
         QStringLiteral("Наибольший\nобъем, мл"), QStringLiteral("Наибольшая\nQmax, мл/сек")},
        this);
    OpenDay = new QPushButton(QStringLiteral("Открыть"), this);
    OpenDay->setToolTip(QStringLiteral("Показать день в окне, как после \"Из файла\""));
    CompareDay = new QPushButton(QStringLiteral("Сравнить"), this);
    CompareDay->setToolTip(QStringLiteral("Нанести день на номограмму для сравнения"));
    Trend = new TrendChartView(this);
    Trend->setMinimumHeight(240);
    Status = new QLabel(this);
    Status->setWordWrap(true);
    Status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(QStringLiteral("Поиск:"), this));
    searchRow->addWidget(Search);
    auto* dayButtons = new QHBoxLayout;
    dayButtons->addStretch();
    dayButtons->addWidget(OpenDay);
    dayButtons->addWidget(CompareDay);
    auto* daysColumn = new QWidget(this);
    auto* daysLayout = new QVBoxLayout(daysColumn);
    daysLayout->setContentsMargins(0, 0, 0, 0);
    daysLayout->addWidget(Days);
    daysLayout->addLayout(dayButtons);
    auto* lists = new QSplitter(Qt::Horizontal, this);
    lists->addWidget(Patients);
    lists->addWidget(daysColumn);
    lists->setSizes({400, 600});
    auto* lower = new QSplitter(Qt::Vertical, this);
    lower->addWidget(lists);
    lower->addWidget(Trend);
    // The trend wants room for its two axes' titles.
    lower->setSizes({300, 340});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(lower, 1);
    layout->addWidget(Status);
}

}  // namespace uroflow
