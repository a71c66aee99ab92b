// The day report as a PDF document: header, voidings table, summary, nomogram, curves.

#include "app/DayReportPdf.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <span>

#include "app/LabelPlacement.h"
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

constexpr double kLineHeight = 5;       // a header line
constexpr double kGroupRowHeight = 4;   // the table's column groups
constexpr double kHeaderRowHeight = 7;  // two-line column titles
constexpr double kRowHeight = 5.5;
constexpr double kFootnoteHeight = 6;
constexpr double kMiddleHeight = 86;  // summary and nomogram, first page only
constexpr double kNomogramLeft = 100;
constexpr double kCurvesBottom = 284;
constexpr double kLargestCurveCell = 46;
constexpr int kCurveColumns = 5;
// The nomogram's fixed axes, as in the window.
constexpr double kVolumeAxis = 500;  // ml
constexpr double kFlowAxis = 50;     // ml/s
constexpr double kPointMark = 1.6;   // mm, side of a point's square

const QColor kRuleColour(90, 90, 90);
const QColor kGridColour(215, 215, 215);
const QColor kNightShade(236, 240, 250);
const QColor kLeftOutColour(140, 140, 140);
const QColor kWarningColour(170, 0, 0);
const QColor kWarningShade(253, 234, 234);
const QColor kOutsideColour(200, 0, 0);

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The groups of the voidings table.
enum class Group { None, Device, Standard };

struct Column {
    const char* title;  // "\n" parts the two lines of the title
    double width;       // mm
    Group group;
};

// The voidings table: the window's captions and units beside the standard analysis.
constexpr Column kColumns[] = {
    {"№", 6, Group::None},
    {"Начало", 12, Group::None},
    {"", 8, Group::None},
    {"T1\nсек", 9, Group::Device},
    {"T2\nсек", 9, Group::Device},
    {"T3\nсек", 9, Group::Device},
    {"T4\nсек", 9, Group::Device},
    {"Q1\nмл/сек", 9, Group::Device},
    {"Q2\nмл/сек", 9, Group::Device},
    {"V1\nмл", 9, Group::Device},
    {"V2\nмл", 14, Group::Device},
    {"Зона", 14, Group::None},
    {"Qmax\nмл/сек", 9, Group::Standard},
    {"Qср\nмл/сек", 9, Group::Standard},
    {"Tпот\nсек", 9, Group::Standard},
    {"Tмоч\nсек", 9, Group::Standard},
    {"TQmax\nсек", 9, Group::Standard},
    {"Оценка", 24, Group::Standard},
};
constexpr std::size_t kFirstIndexColumn = 3;
constexpr std::size_t kZoneColumn = 11;
constexpr std::size_t kRemarkColumn = 17;

constexpr char kDeviceGroupTitle[] = "Показатели урофлоуметра";
constexpr char kStandardGroupTitle[] = "Стандартный анализ";
constexpr char kStandardFootnote[] =
    "Стандартный анализ: Qmax — наибольшая средняя скорость за 2 сек (пик короче 2 сек не "
    "считается); Qср — объем / время потока; Tпот — время потока (от 1 мл/сек); Tмоч — от "
    "начала до конца потока; TQmax — от начала потока до середины 2 сек Qmax. Оценка: "
    "< 150 мл — Qmax не показательна, > 600 мл — перерастяжение, прерывистое — перерывы "
    "потока от 1 сек.";

std::vector<QString> rowTexts(const SheetRow& row) {
    const IndexTexts& t = row.texts;
    const VoidingTexts& s = row.standard;
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
            text(row.zone),
            text(s.qmax),
            text(s.qave),
            text(s.flowTime),
            text(s.voidingTime),
            text(s.timeToQmax),
            text(s.remark)};
}

// A point of the nomogram on the page: where it is drawn and whether it lies beyond the
// axes and is drawn at their edge.
struct PlacedPoint {
    QPointF centre;  // device units
    int number = 0;
    bool archive = false;
    bool outside = false;
};

class ReportPainter {
  public:
    explicit ReportPainter(QPdfWriter& writer) : painter_(&writer) {
        if (!painter_.isActive())
            throw RuntimeError("Отчет не создан: не удалось начать документ PDF.");
        painter_.setRenderHint(QPainter::Antialiasing);
    }

    void page(const DaySheet& sheet, std::size_t index, std::size_t pages) {
        double y = header(sheet);
        const std::size_t first = index * kVoidingsPerPage;
        const std::size_t last = std::min(sheet.rows.size(), first + kVoidingsPerPage);
        y = table(std::span(sheet.rows).subspan(first, last - first), y);
        if (index == 0) {
            summary(sheet, y);
            nomogram(sheet, {kNomogramLeft, y, kRight - kNomogramLeft, kMiddleHeight});
            y += kMiddleHeight + 1;
        }
        curves(sheet, first, last, y);
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

    // Draws `value` wrapped within `width` from (x, y); returns the height it took, mm.
    double drawWrapped(double x, double y, double width, const QString& value, int align) {
        const QRectF room = box({x, y, width, 200});
        const int flags = align | Qt::AlignTop | Qt::TextWordWrap;
        const QRectF used = painter_.boundingRect(room, flags, value);
        painter_.drawText(room, flags, value);
        return used.height() / kUnitsPerMm;
    }

    void line(double x1, double y1, double x2, double y2) {
        painter_.drawLine(at(x1, y1), at(x2, y2));
    }

    // Width of `value` in the current font, mm.
    double width(const QString& value) const {
        return QFontMetricsF(painter_.font(), painter_.device()).horizontalAdvance(value) /
               kUnitsPerMm;
    }

    // The title, a calibration warning, and the passport fields, which continue on the
    // next line rather than run off the page. Returns where the table may start.
    double header(const DaySheet& sheet) {
        painter_.setPen(Qt::black);
        setFont(13, true);
        drawText({kLeft, kTop, 120, 7}, Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Урофлоуметрия: отчет за сутки"));
        setFont(9);
        drawText({kRight - 70, kTop, 70, 7}, Qt::AlignRight | Qt::AlignVCenter,
                 QString::fromUtf8(kDeviceCaption));
        double y = kTop + 8;

        if (sheet.calibrationWarning) {
            setFont(9, true);
            const QString warning = text(*sheet.calibrationWarning);
            const QRectF room = box({kLeft + 2, y + 1, kRight - kLeft - 4, 40});
            const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
            const double height =
                painter_.boundingRect(room, flags, warning).height() / kUnitsPerMm;
            painter_.fillRect(box({kLeft, y, kRight - kLeft, height + 2}), kWarningShade);
            painter_.setPen(kWarningColour);
            painter_.drawText(room, flags, warning);
            y += height + 3;
        }

        const std::pair<const char*, std::string> fields[] = {
            {"ФИО пациента:", sheet.name}, {"Пол:", sheet.sex},     {"Возраст:", sheet.age},
            {"Дата исслед.:", sheet.date}, {"Врач:", sheet.doctor},
        };
        double x = kLeft;
        for (const auto& [caption, value] : fields) {
            setFont(9);
            const QString label = QString::fromUtf8(caption) + QLatin1Char(' ');
            const double labelWidth = width(label);
            setFont(9, true);
            const double valueWidth = width(text(value));
            if (x > kLeft && x + labelWidth + valueWidth > kRight) {
                x = kLeft;
                y += kLineHeight;
            }
            painter_.setPen(Qt::black);
            setFont(9);
            drawText({x, y, labelWidth + 1, kLineHeight}, Qt::AlignLeft | Qt::AlignVCenter, label);
            x += labelWidth;
            setFont(9, true);
            if (x + valueWidth <= kRight) {
                drawText({x, y, valueWidth + 1, kLineHeight}, Qt::AlignLeft | Qt::AlignVCenter,
                         text(value));
                x += valueWidth + 6;
                continue;
            }
            // Longer than what is left of the line: wrapped in the rest of the width.
            const double height = drawWrapped(x, y + 0.6, kRight - x, text(value), Qt::AlignLeft);
            y += std::max(kLineHeight, height + 1.2);
            x = kLeft;
        }
        if (x > kLeft) y += kLineHeight;
        setPen(kRuleColour, 0.3);
        line(kLeft, y + 0.5, kRight, y + 0.5);
        return y + 2;
    }

    // The titles of the column groups and the columns.
    void tableHeader(double top) {
        painter_.setPen(Qt::black);
        setFont(7, true);
        double x = kLeft;
        for (const Group group : {Group::Device, Group::Standard}) {
            double from = -1;
            double to = kLeft;
            x = kLeft;
            for (const Column& column : kColumns) {
                if (column.group == group && from < 0) from = x;
                if (column.group == group) to = x + column.width;
                x += column.width;
            }
            painter_.setPen(Qt::black);
            drawText({from, top, to - from, kGroupRowHeight}, Qt::AlignCenter,
                     QString::fromUtf8(group == Group::Device ? kDeviceGroupTitle
                                                              : kStandardGroupTitle));
            setPen(kRuleColour, 0.2);
            line(from + 1, top + kGroupRowHeight, to - 1, top + kGroupRowHeight);
        }
        // The name bold, the unit below it smaller, so both fit the narrow columns.
        painter_.setPen(Qt::black);
        x = kLeft;
        const double half = kHeaderRowHeight / 2;
        for (const Column& column : kColumns) {
            const QStringList parts = QString::fromUtf8(column.title).split(QLatin1Char('\n'));
            setFont(6.5, true);
            drawText({x, top + kGroupRowHeight + (parts.size() > 1 ? 0.3 : 0), column.width,
                      parts.size() > 1 ? half : kHeaderRowHeight},
                     Qt::AlignCenter, parts.front());
            if (parts.size() > 1) {
                setFont(5.5);
                drawText({x, top + kGroupRowHeight + half, column.width, half}, Qt::AlignCenter,
                         parts.back());
            }
            x += column.width;
        }
    }

    // The voidings of this page, always room for a full page of them, and the footnote
    // that names the standard figures. Returns where the next part may start.
    double table(std::span<const SheetRow> rows, double top) {
        tableHeader(top);
        double y = top + kGroupRowHeight + kHeaderRowHeight;
        setPen(kRuleColour, 0.3);
        line(kLeft, y, kRight, y);

        for (const SheetRow& row : rows) {
            if (!row.part.empty()) {
                painter_.fillRect(box({kLeft, y, kRight - kLeft, kRowHeight}), kNightShade);
            }
            const std::vector<QString> cells = rowTexts(row);
            const QColor ink = row.included ? QColor(Qt::black) : kLeftOutColour;
            double x = kLeft;
            for (std::size_t c = 0; c < std::size(kColumns); ++c) {
                painter_.setPen(ink);
                if (row.error && c == kFirstIndexColumn) {
                    setFont(7, false, true);
                    drawText({x + 1, y, kRight - x - 1, kRowHeight},
                             Qt::AlignLeft | Qt::AlignVCenter, text(*row.error));
                    break;
                }
                const bool remark = c == kRemarkColumn;
                setFont(remark ? 6 : 7, false, c == kZoneColumn && !row.included);
                const int flags = remark ? int(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap)
                                         : int(Qt::AlignCenter);
                drawText(
                    {x + (remark ? 0.8 : 0), y, kColumns[c].width - (remark ? 0.8 : 0), kRowHeight},
                    flags, cells[c]);
                x += kColumns[c].width;
            }
            y += kRowHeight;
            setPen(kGridColour, 0.2);
            line(kLeft, y, kRight, y);
        }
        y = top + kGroupRowHeight + kHeaderRowHeight +
            static_cast<double>(kVoidingsPerPage) * kRowHeight + 1;
        painter_.setPen(kRuleColour);
        setFont(5.5);
        drawWrapped(kLeft, y, kRight - kLeft, QString::fromUtf8(kStandardFootnote), Qt::AlignLeft);
        return y + kFootnoteHeight + 1;
    }

    void summary(const DaySheet& sheet, double top) {
        const double width = kNomogramLeft - 4 - kLeft;
        painter_.setPen(Qt::black);
        setFont(10, true);
        drawText({kLeft, top, width, 6}, Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Сводка за сутки"));
        setFont(8);
        double y = top + 7;
        for (const std::string& line : sheet.summary)
            y += drawWrapped(kLeft, y, width, text(line), Qt::AlignLeft) + 0.8;
    }

    // The day's nomogram: bands, axes, the included voidings' points numbered as in the
    // table, the archived day's, and a legend.
    void nomogram(const DaySheet& sheet, const QRectF& place) {
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

        const QRectF plot(place.x() + 9, place.y() + 10, place.width() - 11, place.height() - 33);
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
        painter_.restore();

        setPen(kRuleColour, 0.2);
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(box(plot));
        const std::vector<PlacedPoint> points = placePoints(sheet, plot);
        drawPoints(points, plot);

        painter_.setPen(Qt::black);
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
        drawText({place.x(), plot.bottom() + 7, place.width(), 3}, Qt::AlignLeft | Qt::AlignTop,
                 texts.foot);
        const QString archive =
            sheet.archivePoints.empty()
                ? QStringLiteral("архивный день")
                : QStringLiteral("архивный день %1").arg(text(sheet.archiveDate));
        legend(points, {place.x(), plot.bottom() + 10.5, place.width(), 12}, archive);
    }

    // Every point in page units; one beyond the axes sits at their edge.
    static std::vector<PlacedPoint> placePoints(const DaySheet& sheet, const QRectF& plot) {
        std::vector<PlacedPoint> placed;
        const auto add = [&](const SheetPoint& point, bool archive) {
            const double volume = std::clamp(point.volume, 0.0, kVolumeAxis);
            const double flow = std::clamp(point.qmax, 0.0, kFlowAxis);
            const bool outside = volume != point.volume || flow != point.qmax;
            placed.push_back({at(plot.left() + volume / kVolumeAxis * plot.width(),
                                 plot.bottom() - flow / kFlowAxis * plot.height()),
                              point.number, archive, outside});
        };
        for (const SheetPoint& point : sheet.archivePoints) add(point, true);
        for (const SheetPoint& point : sheet.points) add(point, false);
        return placed;
    }

    void pointMark(const QPointF& centre, bool archive, bool outside) {
        const double half = kPointMark / 2 * kUnitsPerMm;
        setPen(outside ? kOutsideColour : QColor(Qt::black), outside ? 0.3 : 0.15);
        painter_.setBrush(archive ? kArchivePointColour : kDayPointColour);
        if (!outside) {
            painter_.drawRect(QRectF(centre - QPointF(half, half), centre + QPointF(half, half)));
            return;
        }
        // A diamond: the point lies beyond the axes in this direction.
        const double h = half * 1.3;
        painter_.drawPolygon(QPolygonF({centre + QPointF(0, -h), centre + QPointF(h, 0),
                                        centre + QPointF(0, h), centre + QPointF(-h, 0)}));
    }

    void drawPoints(const std::vector<PlacedPoint>& points, const QRectF& plot) {
        for (const PlacedPoint& point : points)
            pointMark(point.centre, point.archive, point.outside);
        // The day's numbers, where no two cover each other.
        setFont(5.5);
        std::vector<QPointF> centres;
        std::vector<QSizeF> sizes;
        std::vector<const PlacedPoint*> labelled;
        for (const PlacedPoint& point : points) {
            if (point.archive) continue;
            const QString label = QString::number(point.number);
            centres.push_back(point.centre);
            sizes.emplace_back(width(label) * kUnitsPerMm + 0.3 * kUnitsPerMm, 2.2 * kUnitsPerMm);
            labelled.push_back(&point);
        }
        const std::vector<QRectF> places =
            placeLabels(centres, sizes, kPointMark / 2 * kUnitsPerMm, box(plot));
        for (std::size_t i = 0; i < places.size(); ++i) {
            const QPointF nearest(
                std::clamp(labelled[i]->centre.x(), places[i].left(), places[i].right()),
                std::clamp(labelled[i]->centre.y(), places[i].top(), places[i].bottom()));
            // A label set apart from its point is tied to it.
            if (QLineF(labelled[i]->centre, nearest).length() > 2.5 * kPointMark * kUnitsPerMm) {
                setPen(kRuleColour, 0.1);
                painter_.drawLine(labelled[i]->centre, nearest);
            }
            painter_.setPen(labelled[i]->outside ? kOutsideColour : QColor(Qt::black));
            painter_.drawText(places[i], Qt::AlignCenter, QString::number(labelled[i]->number));
        }
    }

    // What the bands, the zones and the points mean, and which points lie beyond the axes.
    void legend(const std::vector<PlacedPoint>& points, const QRectF& room,
                const QString& archiveLabel) {
        const double swatch = 2.2;
        double x = room.x();
        double y = room.y();
        setFont(6);
        const auto item = [&](const QString& label) {
            painter_.setPen(Qt::black);
            drawText({x + swatch + 0.8, y, width(label) + 1, 3}, Qt::AlignLeft | Qt::AlignVCenter,
                     label);
            x += swatch + 0.8 + width(label) + 2.5;
        };
        const auto band = [&](const QColor& colour, const char* label) {
            setPen(kBandOutlineColor, 0.2);
            painter_.setBrush(colour);
            painter_.drawRect(box({x, y + 0.4, swatch, swatch}));
            item(QString::fromUtf8(label));
        };
        painter_.setPen(Qt::black);
        const QString zones = QStringLiteral("Зоны:");
        drawText({x, y, width(zones) + 1, 3}, Qt::AlignLeft | Qt::AlignVCenter, zones);
        x += width(zones) + 1.5;
        band(kLowerBandColor, "L–M");
        band(kUpperBandColor, "M–U");
        item(QStringLiteral("(«ниже L», «выше U» — под и над полосами)"));

        x = room.x();
        y += 3.3;
        const auto point = [&](bool archive, bool outside, const char* label) {
            pointMark(at(x + swatch / 2, y + 1.5), archive, outside);
            item(QString::fromUtf8(label));
        };
        point(false, false, "исследования дня (№)");
        point(true, false, archiveLabel.toUtf8().constData());
        point(false, true, "за пределами осей, у края");

        std::vector<int> outside;
        for (const PlacedPoint& p : points)
            if (p.outside && !p.archive) outside.push_back(p.number);
        if (outside.empty()) return;
        QString list;
        for (const int number : outside)
            list += (list.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("№ ") +
                    QString::number(number);
        painter_.setPen(kOutsideColour);
        setFont(6, true);
        drawWrapped(room.x(), y + 3.3, room.width(),
                    QStringLiteral("За пределами осей (%1): %2").arg(outside.size()).arg(list),
                    Qt::AlignLeft);
    }

    void curves(const DaySheet& sheet, std::size_t firstRow, std::size_t lastRow, double top) {
        std::vector<const SheetCurve*> shown;
        for (const SheetCurve& curve : sheet.curves) {
            const auto onPage = [&](const SheetRow& row) { return row.number == curve.number; };
            if (std::any_of(sheet.rows.begin() + firstRow, sheet.rows.begin() + lastRow, onPage))
                shown.push_back(&curve);
        }
        if (shown.empty()) return;

        painter_.setPen(Qt::black);
        setFont(10, true);
        drawText({kLeft, top, kRight - kLeft, 6}, Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Урофлоуграммы \"Скорость/время\" в общем масштабе"));
        setFont(6);
        painter_.setPen(kRuleColour);
        drawText({kLeft, top + 6, kRight - kLeft, 3}, Qt::AlignLeft | Qt::AlignVCenter,
                 QStringLiteral("Шкала скорости по наибольшей стандартной Qmax дня, так что "
                                "артефакт ее не растягивает; ▲ — кривая выше шкалы срезана."));
        const double cellsTop = top + 10;
        const double cellWidth = (kRight - kLeft) / kCurveColumns;
        const double cellHeight = std::min(kLargestCurveCell, (kCurvesBottom - cellsTop) / 2);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const double x = kLeft + static_cast<double>(i % kCurveColumns) * cellWidth;
            const double y = cellsTop + static_cast<double>(i / kCurveColumns) * cellHeight;
            curve(*shown[i], sheet, {x, y, cellWidth, cellHeight});
        }
    }

    void curve(const SheetCurve& curve, const DaySheet& sheet, const QRectF& cell) {
        painter_.setPen(Qt::black);
        setFont(7.5, true);
        drawText({cell.x(), cell.y(), cell.width(), 4}, Qt::AlignLeft | Qt::AlignVCenter,
                 text(curve.caption));
        const QRectF plot(cell.x() + 6, cell.y() + 5, cell.width() - 8, cell.height() - 10);
        if (curve.clipped) {
            // Inside the plot's top right corner, clear of the caption.
            painter_.setPen(kOutsideColour);
            setFont(6, true);
            drawText({plot.right() - 21, plot.top() + 0.4, 20.5, 3}, Qt::AlignRight | Qt::AlignTop,
                     QStringLiteral("▲ выше шкалы"));
        }
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

void writeDayReportPdf(const DaySheet& sheet, const std::string& path) {
    const QByteArray bytes = dayReportPdf(sheet);
    replaceWithExport(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                      static_cast<std::size_t>(bytes.size())));
}

}  // namespace uroflow
