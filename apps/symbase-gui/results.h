#ifndef SYMBASE_APPS_GUI_RESULTS_H
#define SYMBASE_APPS_GUI_RESULTS_H

// The library's results that the editor tells apart.

namespace gui {

constexpr int kCommentNotWritten = 1;  // create: the row is there, its comment not
constexpr int kAlreadyLocked = 100;
constexpr int kSymbolTaken = 101;
constexpr int kNoRow = 102;
constexpr int kKeyNotFound = 103;
constexpr int kLockedByOther = 104;
constexpr int kEmptyTable = 105;  // an export of a table without rows
constexpr int kInterrupted = 106;
constexpr int kRefused = 107;
constexpr int kNothingPasses = 108;

}  // namespace gui

#endif
