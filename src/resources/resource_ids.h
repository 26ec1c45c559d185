#ifndef SYMBASE_RESOURCES_RESOURCE_IDS_H
#define SYMBASE_RESOURCES_RESOURCE_IDS_H

// Ids of the library's French strings, dialog templates and controls.

namespace symbase {

// Conflict messages of the insertion, and its interruption question.
constexpr unsigned kMsgAddressConflict = 19301;
constexpr unsigned kMsgDoubleConflict = 19302;
constexpr unsigned kMsgSymbolConflict = 19303;
constexpr unsigned kMsgCommentConflict = 19304;
constexpr unsigned kMsgConfirmInterruption = 24550;

// The confirmation dialog and its controls.
constexpr unsigned kConfirmDialog = 19306;
constexpr unsigned kConfirmMessage = 19307;
constexpr unsigned kButtonYes = 6;
constexpr unsigned kButtonYesToAll = 19305;
constexpr unsigned kButtonNo = 7;
constexpr unsigned kButtonNoToAll = 24511;
constexpr unsigned kButtonCancel = 2;

}  // namespace symbase

#endif
