#pragma once
// How a tool shows a report: the text, the default file name offered when
// it is saved, and the window title. The main window passes one that opens
// the report window.

#include <QString>
#include <functional>

using ReportViewer =
    std::function<void(const QString &text, const QString &fileName, const QString &title)>;
