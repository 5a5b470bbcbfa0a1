// SPDX-License-Identifier: MIT
#pragma once
// The planning report a customer is handed, printed or as PDF: the report's HTML
// (project/report_html.hpp) laid out by a QTextDocument, with the planner's own painting of each
// camera view's picture and the site plan's SVG drawing.

#include <QImage>
#include <QString>

#include "project/project_compute.hpp"

class QPagedPaintDevice;
class QDate;
class QUrl;

namespace lenstally {

/// The report as HTML for a QTextDocument. The picture of group i's camera view is the image
/// resource ViewPictureUrl(i), which PrintReport provides.
QString ReportHtml(const ProjectResult& result, const QDate& date);

/// The name the report's HTML gives the picture of group `group`'s camera view.
QUrl ViewPictureUrl(std::size_t group);

/// The name the report's HTML gives the drawing of the site plan.
QUrl SitePictureUrl();

/// The site plan's drawing (the SVG the command line's --svg writes, rendered by Qt's SVG
/// renderer) as the report shows it, drawn at `scale` times its size on the page.
QImage SitePictureImage(const SiteResult& site, qreal scale);

/// Lays the report out on `device` (a PDF writer or a printer) page by page.
void PrintReport(const ProjectResult& result, const QDate& date, QPagedPaintDevice& device);

} // namespace lenstally
