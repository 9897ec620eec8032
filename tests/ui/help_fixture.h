#pragma once

// What the window tests ask of the help: the page that the help handler had the viewer open,
// the page that the help file holds for a context, and the viewers that run.
#include "platform/vcl/application.h"
#include "tests/support/processes.h"
#include "ui/help_file.h"
#include "ui/main_frm.h"

#include <QCoreApplication>
#include <QProcess>

namespace ui {

// The help file beside the test program, as the program finds its own.
inline QString helpCollection()
{
    return help_collection(QCoreApplication::applicationDirPath());
}

// The page of the help file for a help context.
inline QString topicOf(int context)
{
    return help_topic(helpCollection(), HELP_CONTEXT, context);
}

// The page that the last help request had the viewer open.
inline QString shownTopic(const Tfrm_main& frm)
{
    const QStringList arguments = QProcess::splitCommand(frm.help_info.lpParameters);
    const qsizetype at = arguments.indexOf(QStringLiteral("-showUrl"));
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

// Help viewers of this test program that run.
inline int openViewers()
{
    return testdb::runningChildren(QStringLiteral("assistant"));
}

} // namespace ui
