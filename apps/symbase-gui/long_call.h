#ifndef SYMBASE_APPS_GUI_LONG_CALL_H
#define SYMBASE_APPS_GUI_LONG_CALL_H

// A library call that takes seconds on a large base (check, repair,
// compaction), run on a thread of its own while the editor stays drawn and a
// progress window says what is going on. The library is used by one thread
// at a time: the session is marked busy for the length of the call, and
// whatever would call the library meanwhile (the table's texts, the status
// bar, a new view) waits for the end; the person's input waits too. The
// calls run so (check, repair, compaction) show no message box: the host's
// services are not asked to draw anything from the other thread.

#include <QString>
#include <functional>

class QWidget;

namespace gui {

class BaseSession;

// Runs `call` and gives its result once it has returned.
int RunLongCall(QWidget* parent, BaseSession& session, const QString& label,
                const std::function<int()>& call);

}  // namespace gui

#endif
