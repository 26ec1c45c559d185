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

// The on-line symbolization dialog: its messages and tooltips (string ids),
// then its template and controls (another namespace: 19305 and 19308 also
// name things of the confirmation dialog there).
constexpr unsigned kMsgOnlineReserved = 19305;
constexpr unsigned kMsgOnlineDfbType = 19306;
constexpr unsigned kMsgOnlineDfbInstance = 19307;
constexpr unsigned kMsgOnlineSyntax = 19308;
constexpr unsigned kMsgOnlineSymbolExists = 19309;
constexpr unsigned kMsgOnlineEfName = 19310;
constexpr unsigned kTipOnlineSymbol = 19312;
constexpr unsigned kTipOnlineComment = 19313;
constexpr unsigned kTipOnlineRepere = 19314;
constexpr unsigned kTipOnlineCancel = 19315;
constexpr unsigned kTipOnlineOk = 19316;
constexpr unsigned kMsgOnlineEmpty = 19317;
constexpr unsigned kMsgOnlineAlreadySymbolized = 19318;
constexpr unsigned kMsgOnlineOddIndex = 19320;
constexpr unsigned kOnlineDialog = 19308;
constexpr unsigned kOnlineSymbolEdit = 1002;
constexpr unsigned kOnlineCommentEdit = 1003;
constexpr unsigned kOnlineRepereEdit = 1004;
constexpr unsigned kOnlineRepereLabel = 1007;
constexpr unsigned kOnlineSymbolLabel = 1008;
constexpr unsigned kOnlineCommentLabel = 0xFFFF;  // IDC_STATIC: never addressed

}  // namespace symbase

#endif
