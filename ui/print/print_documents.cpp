#include "ui/print/print_documents.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QStringList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace print_documents {
namespace {

// The area a painter on printer draws in, its origin at the top left.
QRectF PaintArea(const QPrinter& printer) {
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    return QRectF(0, 0, area.width(), area.height());
}

QFont FontOfPoints(qreal points, bool bold = false) {
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void DrawPageNumber(QPainter& painter, const QRectF& area, int page, int pages) {
    painter.setFont(FontOfPoints(9));
    painter.setPen(Qt::black);
    painter.drawText(area, Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("Page %1 of %2").arg(page).arg(pages));
}

// A flowing document laid out for printer, in pages of at most the body's
// height that break between lines: Qt's own pages of a document cut a line
// that crosses their edge in two, half on each page.
struct Flow {
    Flow(QPrinter& printer, const QRectF& area, qreal bodyHeight) : area_(area), bodyHeight_(bodyHeight) {
        document.documentLayout()->setPaintDevice(&printer);
        document.setDefaultFont(FontOfPoints(10));
        document.setDocumentMargin(0);
        document.setTextWidth(area.width());
    }
    // The number of pages, once the document is written whole.
    int Pages() {
        if (tops_.empty()) Paginate();
        return static_cast<int>(tops_.size());
    }
    // Draws page (from 0) of the document; the page number is the caller's.
    void Draw(QPainter& painter, int page) {
        if (tops_.empty()) Paginate();
        const std::size_t at = static_cast<std::size_t>(page);
        if (at >= tops_.size()) return;
        const qreal top = tops_[at];
        const qreal bottom = at + 1 < tops_.size() ? tops_[at + 1] : top + bodyHeight_;
        painter.save();
        painter.translate(0, -top);
        painter.setClipRect(QRectF(0, top, area_.width(), bottom - top));
        // The lines that only touch the page's edges are the pages' beside:
        // the layout leaves out the lines outside its clip, not just hides them.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, top + 0.5, area_.width(), std::max<qreal>(0, bottom - top - 1));
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    QTextDocument document;

private:
    // Each page begins at the top of the first line that would not fit
    // whole on the page before; a line taller than a page has one of its own.
    void Paginate() {
        (void)document.documentLayout()->documentSize();  // lays the document out whole
        tops_ = {0};
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const QTextLayout* layout = block.layout();
            if (layout == nullptr) continue;
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const qreal top = layout->position().y() + line.y();
                if (top + line.height() > tops_.back() + bodyHeight_ && top > tops_.back())
                    tops_.push_back(top);
            }
        }
    }

    QRectF area_;
    qreal bodyHeight_;
    std::vector<qreal> tops_;  // where each page begins in the document
};

qreal FooterHeight(QPrinter& printer) { return 2 * QFontMetricsF(FontOfPoints(9), &printer).height(); }

// The records of a list of results, after the list: each row's name and
// record, the sources of their databases, the day printed.
void WriteRecords(QTextDocument& document, const Results& results) {
    QTextCursor cursor(&document);
    QTextCharFormat heading;
    heading.setFont(FontOfPoints(12, true));
    QTextCharFormat name;
    name.setFont(FontOfPoints(10, true));
    QTextCharFormat body;
    body.setFont(FontOfPoints(10));
    QTextCharFormat note;
    note.setFont(FontOfPoints(10));
    note.setFontItalic(true);
    cursor.insertText(QStringLiteral("The records"), heading);
    for (const ResultRow& row : results.rows) {
        if (row.record.isEmpty()) continue;
        cursor.insertBlock();
        cursor.insertBlock();
        QString who =
            row.givenNames.isEmpty() ? row.surname : row.surname + QStringLiteral(", ") + row.givenNames;
        if (results.withDatabase) who += QStringLiteral(" (%1)").arg(row.database);
        cursor.insertText(who, name);
        cursor.insertBlock();
        cursor.insertText(row.record, body);
    }
    for (const auto& [database, lines] : results.sources) {
        cursor.insertBlock();
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("Where the records of %1 came from").arg(database), name);
        cursor.insertBlock();
        cursor.insertText(lines, body);
    }
    if (!results.printed.isEmpty()) {
        cursor.insertBlock();
        cursor.insertBlock();
        cursor.insertText(results.printed, note);
    }
}

bool HasRecords(const Results& results) {
    if (!results.sources.empty() || !results.printed.isEmpty()) return true;
    for (const ResultRow& row : results.rows) {
        if (!row.record.isEmpty()) return true;
    }
    return false;
}

}  // namespace

int ResultPages(std::size_t rows) {
    return std::max(1, static_cast<int>((rows + kRowsPerPage - 1) / kRowsPerPage));
}

bool PrintRecord(QPrinter& printer, const Record& record) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF area = PaintArea(printer);
    Flow flow(printer, area, std::max<qreal>(1, area.height() - FooterHeight(printer)));
    QTextCursor cursor(&flow.document);
    QTextCharFormat title;
    title.setFont(FontOfPoints(14, true));
    QTextCharFormat database;
    database.setFont(FontOfPoints(10));
    database.setFontItalic(true);
    QTextCharFormat body;
    body.setFont(FontOfPoints(10));
    cursor.insertText(record.title, title);
    cursor.insertBlock();
    cursor.insertText(record.database, database);
    cursor.insertBlock();
    cursor.insertBlock();
    cursor.insertText(record.text, body);
    // The whole record under the text, then the day printed.
    if (!record.whole.isEmpty()) {
        QTextCharFormat section;
        section.setFont(FontOfPoints(10, true));
        cursor.insertBlock();
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("The whole record"), section);
        cursor.insertBlock();
        cursor.insertText(record.whole, body);
    }
    if (!record.printed.isEmpty()) {
        cursor.insertBlock();
        cursor.insertBlock();
        cursor.insertText(record.printed, database);
    }

    const int pages = flow.Pages();
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer.newPage()) return false;
        flow.Draw(painter, page);
        DrawPageNumber(painter, area, page + 1, pages);
    }
    return painter.end();
}

bool PrintResults(QPrinter& printer, const Results& results) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF area = PaintArea(printer);
    // A line for each row, the heading (two lines and a gap), the column
    // heads and the page number: kRowsPerPage rows fill the page.
    const qreal line = area.height() / (kRowsPerPage + 6);
    QFont font = QApplication::font();
    font.setPixelSize(std::max(1, static_cast<int>(line * 0.62)));
    QFont bold = font;
    bold.setBold(true);

    struct ColumnSpan {
        qreal left, width;
    };
    const qreal w = area.width();
    // The widths of the columns, a fiftieth of the page between two.
    std::vector<qreal> widths = {0.22, 0.28, 0.46};
    QStringList heads = {QStringLiteral("Surname"), QStringLiteral("Given names"), QStringLiteral("Summary")};
    if (results.withDatabase) {
        widths = {0.22, 0.18, 0.22, 0.32};
        heads.prepend(QStringLiteral("Database"));
    }
    std::vector<ColumnSpan> columns;
    qreal start = 0;
    for (const qreal width : widths) {
        columns.push_back({start * w, width * w});
        start += width + 0.02;
    }
    // One line of text in the painter's font, cut to its width.
    auto drawCell = [&](qreal left, qreal top, qreal width, const QString& text) {
        const QString fitted =
            QFontMetricsF(painter.font(), &printer).elidedText(text, Qt::ElideRight, width);
        painter.drawText(QRectF(left, top, width, line), Qt::AlignLeft | Qt::AlignVCenter, fitted);
    };
    auto drawLine = [&](qreal top, const QStringList& texts) {
        for (std::size_t c = 0; c < columns.size(); ++c)
            drawCell(columns[c].left, top, columns[c].width, texts[static_cast<int>(c)]);
    };

    // The records follow the list, on pages of their own numbered with it.
    std::unique_ptr<Flow> records;
    if (HasRecords(results)) {
        records =
            std::make_unique<Flow>(printer, area, std::max<qreal>(1, area.height() - FooterHeight(printer)));
        WriteRecords(records->document, results);
    }
    const int listPages = ResultPages(results.rows.size());
    const int pages = listPages + (records != nullptr ? records->Pages() : 0);
    const QPen rule(QColor(160, 160, 160), 0);
    for (int page = 0; page < listPages; ++page) {
        if (page > 0 && !printer.newPage()) return false;
        painter.setPen(Qt::black);
        painter.setFont(bold);
        drawCell(0, 0, w, results.heading);
        painter.setFont(font);
        drawCell(0, line, w, results.subheading);
        painter.setFont(bold);
        const qreal headTop = 3 * line;
        drawLine(headTop, heads);
        painter.drawLine(QPointF(0, headTop + line), QPointF(w, headTop + line));
        painter.setFont(font);
        const std::size_t first = static_cast<std::size_t>(page) * kRowsPerPage;
        const std::size_t last = std::min(results.rows.size(), first + kRowsPerPage);
        for (std::size_t i = first; i < last; ++i) {
            const ResultRow& row = results.rows[i];
            const qreal top = headTop + line * static_cast<qreal>(1 + i - first);
            QStringList texts = {row.surname, row.givenNames, row.summary};
            if (results.withDatabase) texts.prepend(row.database);
            painter.setPen(Qt::black);
            drawLine(top, texts);
            // A light rule under each row guides the eye along it.
            painter.setPen(rule);
            painter.drawLine(QPointF(0, top + line), QPointF(w, top + line));
        }
        DrawPageNumber(painter, area, page + 1, pages);
    }
    for (int page = listPages; page < pages; ++page) {
        if (!printer.newPage()) return false;
        records->Draw(painter, page - listPages);
        DrawPageNumber(painter, area, page + 1, pages);
    }
    return painter.end();
}

}  // namespace print_documents
