// SPDX-License-Identifier: MIT
#include "gui/planner/report.hpp"

#include <QDate>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextDocument>
#include <QUrl>

#include "gui/calculator/form1_view.hpp"
#include "gui/planner/view_picture.hpp"
#include "project/report_html.hpp"
#include "project/site_svg.hpp"

namespace lenstally {
namespace {

// The size a camera view's picture takes on the page, in the document's pixels.
const QSize kPictureSize(520, 280);
// The width the site plan's drawing takes on the page; its height follows the drawing's shape.
constexpr int kSiteWidth = 620;
// Pictures are drawn at this many times their size on the page, for print.
constexpr int kPrintScale = 3;

// The drawing's size on the page: kSiteWidth wide, as high as its own shape makes it.
QSize siteSize(const QSvgRenderer& renderer) {
    const QSizeF own = renderer.viewBoxF().size();
    return {kSiteWidth, qRound(kSiteWidth * own.height() / own.width())};
}

} // namespace

QString ReportHtml(const ProjectResult& result, const QDate& date) {
    // Each picture is the image resource PrintReport paints.
    const ReportPicture picture = [](std::size_t group) {
        return fromQString(QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                               .arg(ViewPictureUrl(group).toString())
                               .arg(kPictureSize.width())
                               .arg(kPictureSize.height()));
    };
    // The site plan is the image resource SitePictureUrl(), drawn from the same SVG text the
    // command line writes.
    const ReportSitePicture sitePicture = [&result] {
        const QSvgRenderer renderer(QByteArray::fromStdString(SiteSvg(*result.site)));
        const QSize size = siteSize(renderer);
        return fromQString(QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                               .arg(SitePictureUrl().toString())
                               .arg(size.width())
                               .arg(size.height()));
    };
    return QStringLiteral("<html><head><style>"
                          "table.grid { border-collapse: collapse; }"
                          "table.grid td, table.grid th { border: 1px solid #808080; }"
                          "th { text-align: left; }"
                          "</style></head><body>") +
           toQString(ReportBodyHtml(result, fromQString(date.toString(Qt::ISODate)), picture,
                                    sitePicture)) +
           QStringLiteral("</body></html>");
}

QUrl ViewPictureUrl(std::size_t group) {
    return {QStringLiteral("lenstally-view:%1").arg(group)};
}

QUrl SitePictureUrl() {
    return {QStringLiteral("lenstally-site:plan")};
}

QImage SitePictureImage(const SiteResult& site, qreal scale) {
    QSvgRenderer renderer(QByteArray::fromStdString(SiteSvg(site)));
    const QSize size = siteSize(renderer);
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

void PrintReport(const ProjectResult& result, const QDate& date, QPagedPaintDevice& device) {
    QTextDocument document;
    const QFont font(QStringLiteral("Liberation Sans"), 9);
    document.setDefaultFont(font);
    // The pictures the HTML names, drawn by the planner's own painter at print resolution.
    for (std::size_t i = 0; i < result.groups.size(); ++i) {
        if (const std::optional<ViewFigures>& view = result.groups[i].view) {
            document.addResource(QTextDocument::ImageResource, ViewPictureUrl(i),
                                 ViewPictureImage(*view, kPictureSize, font, kPrintScale));
        }
    }
    if (result.site) {
        document.addResource(QTextDocument::ImageResource, SitePictureUrl(),
                             SitePictureImage(*result.site, kPrintScale));
    }
    document.setHtml(ReportHtml(result, date));
    document.print(&device);
}

} // namespace lenstally
