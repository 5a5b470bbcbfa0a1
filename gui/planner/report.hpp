// SPDX-License-Identifier: MIT
#pragma once
// The planning report a customer is handed, printed or as PDF: the project's name and the
// date, each group's inputs and results, the totals, and the storage plan and recorders with
// every assumption they rest on, in the same words as the command line's table.

#include <QString>

#include "project/project_compute.hpp"

class QPagedPaintDevice;
class QDate;

namespace lenstally {

/// The report as HTML for a QTextDocument.
QString ReportHtml(const ProjectResult& result, const QDate& date);

/// Lays the report out on `device` (a PDF writer or a printer) page by page.
void PrintReport(const ProjectResult& result, const QDate& date, QPagedPaintDevice& device);

} // namespace lenstally
