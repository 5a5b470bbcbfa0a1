// SPDX-License-Identifier: MIT
#include "gui/planner/report.hpp"

#include <QDate>
#include <QFont>
#include <QPagedPaintDevice>
#include <QTextDocument>
#include <QUrl>

#include "gui/calculator/form1_view.hpp"
#include "gui/planner/view_picture.hpp"
#include "project/report_html.hpp"

namespace lenstally {
namespace {

// The size a camera view's picture takes on the page, in the document's pixels.
const QSize kPictureSize(520, 280);

} // namespace

QString ReportHtml(const ProjectResult& result, const QDate& date) {
    // Each picture is the image resource PrintReport paints.
    const ReportPicture picture = [](std::size_t group) {
        return fromQString(QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                               .arg(ViewPictureUrl(group).toString())
                               .arg(kPictureSize.width())
                               .arg(kPictureSize.height()));
    };
    return QStringLiteral("<html><head><style>"
                          "table.grid { border-collapse: collapse; }"
                          "table.grid td, table.grid th { border: 1px solid #808080; }"
                          "th { text-align: left; }"
                          "</style></head><body>") +
           toQString(ReportBodyHtml(result, fromQString(date.toString(Qt::ISODate)), picture)) +
           QStringLiteral("</body></html>");
}

QUrl ViewPictureUrl(std::size_t group) {
    return {QStringLiteral("lenstally-view:%1").arg(group)};
}

void PrintReport(const ProjectResult& result, const QDate& date, QPagedPaintDevice& device) {
    QTextDocument document;
    const QFont font(QStringLiteral("Liberation Sans"), 9);
    document.setDefaultFont(font);
    // The pictures the HTML names, drawn by the planner's own painter at print resolution.
    for (std::size_t i = 0; i < result.groups.size(); ++i) {
        if (const std::optional<ViewFigures>& view = result.groups[i].view) {
            document.addResource(QTextDocument::ImageResource, ViewPictureUrl(i),
                                 ViewPictureImage(*view, kPictureSize, font, 3));
        }
    }
    document.setHtml(ReportHtml(result, date));
    document.print(&device);
}

} // namespace lenstally
