#include "report/PhoneListReport.h"

#include "i18n/Messages.h"
#include "store/Text.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

#include <algorithm>

namespace report {

namespace {

// The report's design, in twips (1/1440 inch) from the report's left edge.
constexpr int ReportHeaderHeight = 570;
constexpr int PageHeaderHeight = 240;
constexpr int DetailHeight = 240;
constexpr int PageFooterHeight = 360;
// Kept clear at the left of every caption and field, so that the texts of two neighbouring
// columns, each standing at its right edge, never run into each other.
constexpr int Gap = 60;

struct Span {
    int left;
    int width;
};

// A column, from right to left: its caption in the page header and its field in each band.
struct Column {
    Span label;
    Span field;
    store::Role role;
};
constexpr std::array<Column, 6> Columns{{
    {{6803, 1695}, {6803, 1695}, store::Role::Name},
    {{5669, 1155}, {5669, 1140}, store::Role::Home},
    {{4535, 1140}, {4535, 1125}, store::Role::Mobile},
    {{3402, 1140}, {3401, 1140}, store::Role::Work},
    {{2268, 1140}, {2268, 1140}, store::Role::Fax},
    {{0, 2268}, {0, 2268}, store::Role::Email},
}};
constexpr size_t FifthColumn = 4;

// The design as printed: a department column as wide as the e-mail's, so that its 20
// characters stand on one line; the columns to its right move right by as much.
struct Design {
    std::array<Column, 6> columns = Columns;
    Span title{1701, 5670};
    int width = 6803 + 1695; // from the e-mail's left edge to the name's right edge
};

Design designFor(PhoneListReport::Fifth fifth) {
    Design d;
    const int extra = fifth == PhoneListReport::Fifth::Department ? 2268 - 1140 : 0;
    for (size_t c = 0; c < FifthColumn; ++c) {
        d.columns[c].label.left += extra;
        d.columns[c].field.left += extra;
    }
    d.columns[FifthColumn].label.width += extra;
    d.columns[FifthColumn].field.width += extra;
    d.title.left += extra / 2;
    d.width += extra;
    return d;
}

const QColor LabelBack(0xE0, 0xE0, 0xE0);

// A sans-serif font with the Hebrew letters, installed with the program's dependencies.
QFont reportFont(qreal points, bool bold, bool underline = false) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

// How far a text may be narrowed to stay on one line of its box: a phone number a little
// too long for its column keeps its digits together.
constexpr qreal MostCondensed = 0.8;

// A text in a box: laid out in its own reading direction (Hebrew right to left, Latin and
// numbers left to right), standing at the box's right edge as the report reads; narrowed a
// little, or else broken into as many lines as the box's width asks. Never cut.
class BoxText {
public:
    BoxText(const QString& text, const QFont& font, const QFontMetricsF& metrics,
            const QPaintDevice* device, qreal width)
        : m_width(width) {
        m_option.setTextDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
        const qreal advance = text.isEmpty() ? 0 : metrics.horizontalAdvance(text);
        if (advance * MostCondensed <= width) {
            m_text = text; // the common case: one line, drawn as it stands
            m_condensed = advance > width ? width / advance : 1.0;
            m_height = metrics.height();
            return;
        }
        m_option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        m_layout = std::make_unique<QTextLayout>(text, font, device);
        m_layout->setTextOption(m_option);
        m_layout->beginLayout();
        qreal y = 0;
        for (QTextLine line = m_layout->createLine(); line.isValid();
             line = m_layout->createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        m_layout->endLayout();
        m_height = y;
    }

    qreal height() const { return m_height; }

    void draw(QPainter& p, QPointF topLeft, qreal boxHeight) const {
        if (m_layout) {
            m_layout->draw(&p, topLeft);
            return;
        }
        if (m_text.isEmpty())
            return;
        const qreal h = std::max(boxHeight, m_height);
        if (m_condensed == 1.0) {
            p.drawText(QRectF(topLeft, QSizeF(m_width, h)), m_text, m_option);
            return;
        }
        p.save();
        p.translate(topLeft);
        p.scale(m_condensed, 1.0);
        p.drawText(QRectF(0, 0, m_width / m_condensed, h), m_text, m_option);
        p.restore();
    }

private:
    qreal m_width;
    QTextOption m_option{Qt::AlignRight | Qt::AlignAbsolute};
    QString m_text;
    qreal m_condensed = 1.0;               // the horizontal scale of a one-line text
    std::unique_ptr<QTextLayout> m_layout; // a text of more than one line
    qreal m_height = 0;
};

// One printing run: the device, its scale, the fonts, and the vertical position on the page.
class Run {
public:
    Run(QPagedPaintDevice& device, const Design& design)
        : m_design(design), m_device(device), m_dpiX(device.logicalDpiX()),
          m_dpiY(device.logicalDpiY()), m_title(reportFont(14.25, true)),
          m_label(reportFont(9.75, true, true)), m_detail(reportFont(9.75, false)),
          m_detailMetrics(m_detail, &device) {
        const QSizeF page = device.pageLayout().paintRectPixels(m_dpiX).size();
        // A page narrower than the report takes it scaled down; a wider one takes it centred.
        const qreal width = x(design.width);
        m_scale = std::min<qreal>(1.0, page.width() / width);
        m_left = std::max<qreal>(0.0, (page.width() - width * m_scale) / 2);
        m_bottom = page.height() / m_scale - y(PageFooterHeight);
    }

    bool begin() {
        if (!m_painter.begin(&m_device))
            return false;
        m_painter.translate(m_left, 0);
        m_painter.scale(m_scale, m_scale);
        return true;
    }
    bool end() { return m_painter.end(); }

    void reportHeader(const QString& title) {
        m_painter.setFont(m_title);
        const Span t = m_design.title;
        const QRectF box(x(t.left), 0, x(t.width), y(ReportHeaderHeight));
        QTextOption centred(Qt::AlignCenter);
        centred.setTextDirection(title.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
        m_painter.drawText(box, title, centred);
        m_top = y(ReportHeaderHeight);
    }

    void pageHeader(const QStringList& headings) {
        m_painter.setFont(m_label);
        const QFontMetricsF metrics(m_label, &m_device);
        const qreal h = y(PageHeaderHeight);
        for (size_t c = 0; c < m_design.columns.size(); ++c) {
            const Span s = m_design.columns[c].label;
            m_painter.fillRect(QRectF(x(s.left), m_top, x(s.width), h), LabelBack);
            BoxText(headings[qsizetype(c)], m_label, metrics, &m_device, x(s.width - Gap))
                .draw(m_painter, QPointF(x(s.left + Gap), m_top), h);
        }
        m_top += h;
    }

    // One band; false when it does not fit below what the page already holds.
    bool detail(const store::ContactRecord& card, bool firstOnPage) {
        std::vector<BoxText> texts;
        texts.reserve(m_design.columns.size());
        qreal h = y(DetailHeight);
        for (const Column& c : m_design.columns) {
            h = std::max(h, texts
                                .emplace_back(store::trimSpaces(card[c.role].value_or(QString())),
                                              m_detail, m_detailMetrics, &m_device,
                                              x(c.field.width - Gap))
                                .height());
        }
        if (!firstOnPage && m_top + h > m_bottom)
            return false;
        m_painter.setFont(m_detail);
        for (size_t c = 0; c < texts.size(); ++c)
            texts[c].draw(m_painter, QPointF(x(m_design.columns[c].field.left + Gap), m_top), h);
        m_top += h;
        return true;
    }

    bool newPage() {
        m_top = 0;
        return m_device.newPage();
    }

private:
    qreal x(int twips) const { return twips * m_dpiX / 1440.0; }
    qreal y(int twips) const { return twips * m_dpiY / 1440.0; }

    const Design& m_design;
    QPagedPaintDevice& m_device;
    QPainter m_painter;
    qreal m_dpiX;
    qreal m_dpiY;
    QFont m_title;
    QFont m_label;
    QFont m_detail;
    QFontMetricsF m_detailMetrics;
    qreal m_scale = 1;
    qreal m_left = 0;
    qreal m_bottom = 0;
    qreal m_top = 0;
};

} // namespace

PhoneListReport::PhoneListReport()
    : m_headings(i18n::messages::reportHeadings()), m_table(std::make_shared<const ReportTable>()) {
}

void PhoneListReport::setFifthColumn(Fifth fifth) {
    m_fifth = fifth;
    m_headings[FifthColumn] = fifth == Fifth::Department
                                  ? i18n::messages::reportDepartment()
                                  : i18n::messages::reportHeadings()[FifthColumn];
}

void PhoneListReport::bind(std::shared_ptr<const ReportTable> table) {
    m_table = table ? std::move(table) : std::make_shared<const ReportTable>();
}

bool PhoneListReport::print(QPagedPaintDevice& device) const {
    const Design design = designFor(m_fifth);
    Run run(device, design);
    if (!run.begin())
        return false;
    run.reportHeader(m_title);
    run.pageHeader(m_headings);
    bool firstOnPage = true;
    for (const store::ContactRecord& card : *m_table) {
        if (!run.detail(card, firstOnPage)) {
            if (!run.newPage()) {
                run.end();
                return false;
            }
            run.pageHeader(m_headings);
            run.detail(card, true);
        }
        firstOnPage = false;
    }
    return run.end();
}

void preparePrinter(QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat)
        printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

} // namespace report
