#include "document_html.h"

#include <QFile>
#include <QRegularExpression>

#include "text_codec.h"

namespace quillet {

namespace {

bool starts_with_tag(QStringView text, qsizetype at, QLatin1StringView name) {
    const qsizetype end = at + 1 + name.size();
    if (end > text.size() ||
        text.mid(at + 1, name.size()).compare(name, Qt::CaseInsensitive) != 0) {
        return false;
    }
    return end == text.size() || text[end] == u'>' || text[end].isSpace();
}

}  // namespace

DocumentHtml read_document_html(const QString& path, qsizetype limit) {
    DocumentHtml document;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        document.error = file.errorString();
        return document;
    }
    const QByteArray bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError) {
        document.error = file.errorString();
        return document;
    }
    document.cut = !file.atEnd();
    document.html =
        from_cp1252(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return document;
}

namespace {

const QRegularExpression& page_break_line() {
    static const QRegularExpression line(
        QStringLiteral("<BR[^>]*page-break-(?:after|before)\\s*:\\s*always[^>]*>"),
        QRegularExpression::CaseInsensitiveOption);
    return line;
}

}  // namespace

QString page_breaks_for_print(const QString& html) {
    return QString(html).replace(page_break_line(), QStringLiteral("<BR>"));
}

QString page_breaks_as_rules(const QString& html) {
    static const QRegularExpression heading(
        QStringLiteral("<H1 class=\"?pagebreak\"?>\\s*<HR>\\s*</H1>\\s*"),
        QRegularExpression::CaseInsensitiveOption);
    QString rules = html;
    rules.replace(heading, QStringLiteral("<HR>"));
    rules.replace(page_break_line(), QString());
    return rules;
}

std::vector<QString> document_pieces(QStringView html, qsizetype piece_size) {
    std::vector<QString> pieces;
    QString reopened;  // the table tag that the piece being gathered starts with
    qsizetype start = 0;
    qsizetype table_tag = -1;  // where the outermost open table's tag begins
    int tables = 0;
    bool preformatted = false;
    auto at_line_start = [&](qsizetype at) {
        return at - start >= piece_size && at > 0 && html[at - 1] == u'\n';
    };
    auto cut = [&](qsizetype at, QStringView close = {}) {
        pieces.push_back(reopened);
        pieces.back().append(html.mid(start, at - start)).append(close);
        reopened.clear();
        start = at;
    };
    for (qsizetype at = html.indexOf(u'<'); at >= 0; at = html.indexOf(u'<', at + 1)) {
        if (preformatted) {
            // Nothing in a preformatted block is cut or counted.
            preformatted = !starts_with_tag(html, at, QLatin1StringView("/PRE"));
        } else if (starts_with_tag(html, at, QLatin1StringView("TABLE"))) {
            if (tables == 0) {
                if (at_line_start(at)) {
                    cut(at);
                }
                table_tag = at;
            }
            ++tables;
        } else if (starts_with_tag(html, at, QLatin1StringView("/TABLE"))) {
            tables = tables > 0 ? tables - 1 : 0;
        } else if (starts_with_tag(html, at, QLatin1StringView("PRE"))) {
            preformatted = true;
        } else if (tables == 1 && starts_with_tag(html, at, QLatin1StringView("TR")) &&
                   at_line_start(at) && html.indexOf(u'>', table_tag) < at) {
            // A long table is closed before a row and opened again in the next
            // piece with the same tag; its columns have fixed widths.
            const qsizetype tag_end = html.indexOf(u'>', table_tag);
            cut(at, u"</TABLE>\r\n");
            reopened =
                html.mid(table_tag, tag_end + 1 - table_tag).toString() + QStringLiteral("\r\n");
        } else if (tables == 0 && at_line_start(at) &&
                   (starts_with_tag(html, at, QLatin1StringView("P")) ||
                    starts_with_tag(html, at, QLatin1StringView("HR")) ||
                    starts_with_tag(html, at, QLatin1StringView("H1")))) {
            cut(at);
        }
    }
    cut(html.size());
    return pieces;
}

}  // namespace quillet
