#include "app/DayReportPdf.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <algorithm>
#include <span>

#include "charts/ChartSetup.h"
#include "charts/NomogramBackground.h"
#include "files/ExportTarget.h"
#include "nomogram/NomogramCurves.h"
#include "study/RuntimeError.h"

namespace uroflow {

namespace {

// Device units per millimetre; the page is laid out in millimetres. The resolution
// only sets the grid of coordinates: text and curves stay vectors.
constexpr int kDpi = 600;
constexpr double kUnitsPerMm = kDpi / 25.4;

constexpr double kPageWidth = 210;  // A4 portrait, mm
constexpr double kLeft = 12;
constexpr double kRight = kPageWidth - 12;
constexpr double kTop = 10;
constexpr double kFooter = 289;

constexpr double kTableTop = 26;
constexpr double kHeaderRowHeight = 6;
constexpr double kRowHeight = 5.5;
constexpr double kMiddleTop = 91;  // summary and nomogram, first page only
constexpr double kNomogramLeft = 100;
constexpr double kCurvesTop = 184;
constexpr double kCurvesBottom = 284;
constexpr int kCurveColumns = 5;
// The nomogram's fixed axes, as in the window.
constexpr double kVolumeAxis = 500;  // ml
constexpr double kFlowAxis = 50;     // ml/s

const QColor kRuleColour(90, 90, 90);
const QColor kGridColour(215, 215, 215);
const QColor kNightShade(236, 240, 250);

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

struct Column {
    const char* title;
    double width;  // mm
};

// The voidings table: the window's captions and units.
constexpr Column kColumns[] = {
    {"№", 8},           {"Начало", 17},  {"", 11},        {"T1, сек", 14},
    {"T2, сек", 14},    {"T3, сек", 14}, {"T4, сек", 14}, {"Q1, мл/сек", 17},
    {"Q2, мл/сек", 17}, {"V1, мл", 13},  {"V2, мл", 21},  {"Зона", 26},
};
constexpr std::size_t kFirstIndexColumn = 3;

std::vector<QString> rowTexts(const SheetRow& row) {
    const IndexTexts& t = row.texts;
    return {QString::number(row.number),
            text(row.start),
            text(row.part),
            text(t.twait),
            text(t.tqmax),
            text(t.flowTime),
            text(t.ttotal),
            text(t.qave),
            text(t.qmax),
            text(t.vqmax),
            text(t.vml),
            text(row.zone)};
}

class ReportPainter {
  public:
    explicit ReportPainter(QPdfWriter& writer) : painter_(&writer) {
        if (!painter_.isActive())
            throw RuntimeError("Отчет не создан: не удалось начать документ PDF.");
        painter_.setRenderHint(QPainter::Antialiasing);
    }

    void page(const DaySheet& sheet, std::size_t index, std::size_t pages) {
        header(sheet);
        const std::size_t first = index * kVoidingsPerPage;
        const std::size_t last = std::min(sheet.rows.size(), first + kVoidingsPerPage);
        table(std::span(sheet.rows).subspan(first, last - first));
        if (index == 0) {
            summary(sheet);
            nomogram(sheet);
        }
        curves(sheet, first, last);
        setFont(7.5);
        painter_.setPen(kRuleColour);
        drawText({kLeft, kFooter, kRight - kLeft, 5}, Qt::AlignHCenter | Qt::AlignTop,
                 QStringLiteral("Страница %1 из %2").arg(index + 1).arg(pages));
    }

    void end() { painter_.end(); }

  private:
    static QPointF at(double x, double y) { return {x * kUnitsPerMm, y * kUnitsPerMm}; }
    static QRectF box(const QRectF& mm) {
        return {mm.x() * kUnitsPerMm, mm.y() * kUnitsPerMm, mm.width() * kUnitsPerMm,
                mm.height() * kUnitsPerMm};
    }

    void setFont(double points, bool bold = false, bool italic = false) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(points);
        font.setBold(bold);
        font.setItalic(italic);
        painter_.setFont(font);
    }

    void setPen(const QColor& colour, double widthMm) {
        QPen pen(colour);
        pen.setWidthF(widthMm * kUnitsPerMm);
        painter_.setPen(pen);
    }

    void drawText(const QRectF& mm, int flags, const QString& value) {
        painter_.drawText(box(mm), flags, value);
    }

    void line(double x1, double y1, double x2, double y2) {
        painter_.drawLine(at(x1, y1), at(x2, y2));
    }

    void header(const DaySheet& sheet) {
        painter_.setPen(Qt::black);
        setFont(13, true);
        drawText({kLeft, kTop, 120, 7}, Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Урофлоуметрия: отчет за сутки"));
        setFont(9);
        drawText({kRight - 70, kTop, 70, 7}, Qt::AlignRight | Qt::AlignVCenter,
                 QString::fromUtf8(kDeviceCaption));

        const std::pair<const char*, std::string> fields[] = {
            {"ФИО пациента:", sheet.name}, {"Пол:", sheet.sex},     {"Возраст:", sheet.age},
            {"Дата исслед.:", sheet.date}, {"Врач:", sheet.doctor},
        };
        double x = kLeft;
        const double y = kTop + 8;
        for (const auto& [caption, value] : fields) {
            setFont(9);
            const QString label = QString::fromUtf8(caption) + QLatin1Char(' ');
            drawText({x, y, 100, 5}, Qt::AlignLeft | Qt::AlignVCenter, label);
            x += width(label);
            setFont(9, true);
            drawText({x, y, 100, 5}, Qt::AlignLeft | Qt::AlignVCenter, text(value));
            x += width(text(value)) + 6;
        }
        setPen(kRuleColour, 0.3);
        line(kLeft, kTop + 14.5, kRight, kTop + 14.5);
    }

    // Width of `value` in the current font, mm.
    double width(const QString& value) const {
        return QFontMetricsF(painter_.font(), painter_.device()).horizontalAdvance(value) /
               kUnitsPerMm;
    }

    void table(std::span<const SheetRow> rows) {
        double x = kLeft;
        setFont(7.5, true);
        painter_.setPen(Qt::black);
        for (const Column& column : kColumns) {
            drawText({x, kTableTop, column.width, kHeaderRowHeight}, Qt::AlignCenter,
                     QString::fromUtf8(column.title));
            x += column.width;
        }
        double y = kTableTop + kHeaderRowHeight;
        setPen(kRuleColour, 0.3);
        line(kLeft, y, kRight, y);

        for (const SheetRow& row : rows) {
            if (!row.part.empty()) {
                painter_.fillRect(box({kLeft, y, kRight - kLeft, kRowHeight}), kNightShade);
            }
            const std::vector<QString> cells = rowTexts(row);
            painter_.setPen(Qt::black);
            setFont(8);
            x = kLeft;
            for (std::size_t c = 0; c < std::size(kColumns); ++c) {
                if (row.error && c == kFirstIndexColumn) {
                    setFont(7.5, false, true);
                    drawText({x + 1, y, kRight - x - 1, kRowHeight},
                             Qt::AlignLeft | Qt::AlignVCenter, text(*row.error));
                    break;
                }
                drawText({x, y, kColumns[c].width, kRowHeight}, Qt::AlignCenter, cells[c]);
                x += kColumns[c].width;
            }
            y += kRowHeight;
            setPen(kGridColour, 0.2);
            line(kLeft, y, kRight, y);
        }
    }

    void summary(const DaySheet& sheet) {
        const double width = 82;
        painter_.setPen(Qt::black);
        setFont(10, true);
        drawText({kLeft, kMiddleTop, width, 6}, Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Сводка за сутки"));
        setFont(8.5);
        double y = kMiddleTop + 8;
        for (const std::string& line : sheet.summary) {
            const QRectF room = box({kLeft, y, width, kCurvesTop - 4 - y});
            const QRectF used =
                painter_.boundingRect(room, Qt::AlignLeft | Qt::TextWordWrap, text(line));
            painter_.drawText(room, Qt::AlignLeft | Qt::TextWordWrap, text(line));
            y += used.height() / kUnitsPerMm + 1;
        }
    }

    // The day's nomogram: bands, axes and every study's point, numbered as in the table.
    void nomogram(const DaySheet& sheet) {
        const QRectF place(kNomogramLeft, kMiddleTop, kRight - kNomogramLeft,
                           kCurvesTop - 4 - kMiddleTop);
        if (!sheet.nomogram) {
            setPen(kRuleColour, 0.2);
            painter_.setBrush(Qt::NoBrush);
            painter_.drawRect(box(place));
            painter_.setPen(Qt::black);
            setFont(9);
            drawText(place.adjusted(4, 0, -4, 0), Qt::AlignCenter | Qt::TextWordWrap,
                     text(sheet.nomogramMissing));
            return;
        }
        const NomogramTexts texts = nomogramTexts(*sheet.nomogram);
        painter_.setPen(Qt::black);
        setFont(7, true);
        drawText({place.x(), place.y(), place.width(), 9},
                 Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, texts.title);

        const QRectF plot(place.x() + 9, place.y() + 11, place.width() - 11, place.height() - 26);
        const auto toPage = [&plot](double volume, double flow) {
            return at(plot.left() + volume / kVolumeAxis * plot.width(),
                      plot.bottom() - flow / kFlowAxis * plot.height());
        };

        painter_.save();
        painter_.setClipRect(box(plot));
        const std::vector<BandSample> band = nomogramBand(*sheet.nomogram);
        const auto area = [&](double BandSample::*top, double BandSample::*bottom) {
            QPolygonF polygon;
            for (const BandSample& b : band) polygon.append(toPage(b.volume, b.*top));
            for (auto b = band.rbegin(); b != band.rend(); ++b)
                polygon.append(toPage(b->volume, (*b).*bottom));
            return polygon;
        };
        setPen(kBandOutlineColor, 0.2);
        painter_.setBrush(kUpperBandColor);
        painter_.drawPolygon(area(&BandSample::upper, &BandSample::middle));
        painter_.setBrush(kLowerBandColor);
        painter_.drawPolygon(area(&BandSample::middle, &BandSample::lower));

        setFont(5.5);
        const double mark = 1.6;  // mm
        for (const SheetPoint& point : sheet.points) {
            const QPointF centre = toPage(point.volume, point.qmax);
            const QPointF half(mark / 2 * kUnitsPerMm, mark / 2 * kUnitsPerMm);
            setPen(Qt::black, 0.15);
            painter_.setBrush(QColor(255, 255, 0));
            painter_.drawRect(QRectF(centre - half, centre + half));
            painter_.drawText(centre + QPointF(mark * kUnitsPerMm * 0.8, -mark * kUnitsPerMm * 0.4),
                              QString::number(point.number));
        }
        painter_.restore();

        setPen(kRuleColour, 0.2);
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(box(plot));
        setFont(6);
        for (int volume = 0; volume <= kVolumeAxis; volume += 100) {
            const double x = plot.left() + volume / kVolumeAxis * plot.width();
            drawText({x - 5, plot.bottom() + 0.5, 10, 3}, Qt::AlignHCenter | Qt::AlignTop,
                     QString::number(volume));
        }
        for (int flow = 0; flow <= kFlowAxis; flow += 10) {
            const double y = plot.bottom() - flow / kFlowAxis * plot.height();
            drawText({plot.left() - 6, y - 1.5, 5.5, 3}, Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(flow));
        }
        drawText({plot.left(), plot.bottom() + 3.5, plot.width(), 3},
                 Qt::AlignHCenter | Qt::AlignTop, texts.volumeAxis);
        painter_.save();
        painter_.translate(at(place.x() + 1, plot.center().y()));
        painter_.rotate(-90);
        painter_.drawText(QRectF(-plot.height() / 2 * kUnitsPerMm, 0, plot.height() * kUnitsPerMm,
                                 3 * kUnitsPerMm),
                          Qt::AlignHCenter | Qt::AlignTop, texts.flowAxis);
        painter_.restore();
        setFont(6, false, true);
        drawText({place.x(), plot.bottom() + 8, place.width(), 3}, Qt::AlignLeft | Qt::AlignTop,
                 texts.foot);
    }

    void curves(const DaySheet& sheet, std::size_t firstRow, std::size_t lastRow) {
        std::vector<const SheetCurve*> shown;
        for (const SheetCurve& curve : sheet.curves) {
            const auto onPage = [&](const SheetRow& row) { return row.number == curve.number; };
            if (std::any_of(sheet.rows.begin() + firstRow, sheet.rows.begin() + lastRow, onPage))
                shown.push_back(&curve);
        }
        if (shown.empty()) return;

        painter_.setPen(Qt::black);
        setFont(10, true);
        drawText({kLeft, kCurvesTop, kRight - kLeft, 6}, Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Урофлоуграммы \"Скорость/время\" в общем масштабе"));
        const double cellWidth = (kRight - kLeft) / kCurveColumns;
        const double cellHeight = (kCurvesBottom - kCurvesTop - 8) / 2;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const double x = kLeft + static_cast<double>(i % kCurveColumns) * cellWidth;
            const double y = kCurvesTop + 8 + static_cast<double>(i / kCurveColumns) * cellHeight;
            curve(*shown[i], sheet, {x, y, cellWidth, cellHeight});
        }
    }

    void curve(const SheetCurve& curve, const DaySheet& sheet, const QRectF& cell) {
        painter_.setPen(Qt::black);
        setFont(7.5, true);
        drawText({cell.x(), cell.y(), cell.width(), 4}, Qt::AlignLeft | Qt::AlignVCenter,
                 text(curve.caption));
        const QRectF plot(cell.x() + 6, cell.y() + 5, cell.width() - 8, cell.height() - 10);
        setFont(6);
        painter_.setPen(kRuleColour);
        drawText({cell.x(), plot.top() - 1, 5.5, 3}, Qt::AlignRight | Qt::AlignTop,
                 QString::number(sheet.curveFlow));
        drawText({cell.x(), plot.bottom() - 2, 5.5, 3}, Qt::AlignRight | Qt::AlignBottom,
                 QStringLiteral("0"));
        drawText({plot.right() - 20, plot.bottom() + 0.5, 20, 3}, Qt::AlignRight | Qt::AlignTop,
                 QString::number(sheet.curveSeconds) + QStringLiteral(" сек"));
        if (&curve == &sheet.curves.front()) {
            drawText({plot.left(), plot.bottom() + 0.5, 20, 3}, Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("мл/сек"));
        }
        setPen(kRuleColour, 0.2);
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(box(plot));

        QPolygonF polyline;
        polyline.reserve(static_cast<qsizetype>(curve.points.size()));
        for (const CurvePoint& p : curve.points) {
            const double fx = std::clamp(p.x / sheet.curveSeconds, 0.0, 1.0);
            const double fy = std::clamp(p.y / sheet.curveFlow, 0.0, 1.0);
            polyline.append(
                at(plot.left() + fx * plot.width(), plot.bottom() - fy * plot.height()));
        }
        setPen(Qt::red, 0.25);
        painter_.drawPolyline(polyline);
    }

    QPainter painter_;
};

}  // namespace

QByteArray dayReportPdf(const DaySheet& sheet) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setCreator(QStringLiteral("uroflow"));
        writer.setTitle(QStringLiteral("Урофлоуметрия: отчет за сутки ") + text(sheet.name) +
                        QLatin1Char(' ') + text(sheet.date));
        ReportPainter painter(writer);
        const std::size_t pages = sheetPages(sheet.rows.size());
        for (std::size_t i = 0; i < pages; ++i) {
            if (i > 0) writer.newPage();
            painter.page(sheet, i, pages);
        }
        painter.end();
    }
    return bytes;
}

void writeDayReportPdf(const DaySheet& sheet, const QString& path) {
    const QByteArray bytes = dayReportPdf(sheet);
    replaceWithExport(QFile::encodeName(path).toStdString(),
                      std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                static_cast<std::size_t>(bytes.size())));
}

}  // namespace uroflow
