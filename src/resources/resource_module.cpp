#include "resources/resource_module.h"

#include "resources/resource_ids.h"

namespace symbase {
namespace {

// Texts are Windows-1252 bytes, as every text of the library.
const AFX_STRINGRES kStrings[] = {
    {kMsgAddressConflict,
     "Conflit de rep\xE8res : le symbole %s relatif au rep\xE8re %s existe d\xE9j\xE0 dans la "
     "base, mais il repr\xE9sente le rep\xE8re %s.\nSouhaitez-vous remplacer le contenu de la "
     "base ?"},
    {kMsgDoubleConflict,
     "Conflits : le rep\xE8re %s symbolis\xE9 par %s existe d\xE9j\xE0 dans la base, mais il est "
     "symbolis\xE9 par %s et le symbole repr\xE9sente le rep\xE8re %s.\nSouhaitez-vous remplacer "
     "le contenu de la base ?"},
    {kMsgSymbolConflict,
     "Conflit de symboles : le rep\xE8re %s symbolis\xE9 par %s existe d\xE9j\xE0 dans la base, "
     "mais il est symbolis\xE9 par %s.\nSouhaitez-vous remplacer le symbole de la base ?"},
    {kMsgCommentConflict,
     "Conflit de commentaires : le rep\xE8re %s  existe d\xE9j\xE0 dans la base, mais avec un "
     "commentaire diff\xE9rent.\nSouhaitez-vous remplacer le commentaire de la base ?"},
    {kMsgConfirmInterruption,
     "Confirmez-vous l'interruption de la fonction? \n(dans ce cas les \xE9l\xE9ments d\xE9j\xE0 "
     "ins\xE9r\xE9s sont conserv\xE9s)"},
    // The on-line symbolization dialog.
    {kMsgOnlineReserved, "Le symbole est un mot r\xE9serv\xE9"},
    {kMsgOnlineDfbType, "Le symbole est associ\xE9 \xE0 un type DFB"},
    {kMsgOnlineDfbInstance, "Le symbole est associ\xE9 \xE0 une instance de DFB"},
    {kMsgOnlineSyntax, "Erreur de syntaxe"},
    {kMsgOnlineSymbolExists, "Le symbole existe d\xE9j\xE0 dans la base"},
    {kMsgOnlineEfName, "Le symbole est associ\xE9 \xE0 un nom d'EF"},
    {kTipOnlineSymbol, "Symbole"},
    {kTipOnlineComment, "Commentaire associ\xE9"},
    {kTipOnlineRepere, "Rep\xE8re"},
    {kTipOnlineCancel, "Annuler"},
    {kTipOnlineOk, "Valider la symbolisation"},
    {kMsgOnlineEmpty, "Vous devez saisir un symbole et un rep\xE8re."},
    {kMsgOnlineAlreadySymbolized, "Le rep\xE8re est d\xE9j\xE0 symbolis\xE9."},
    {kMsgOnlineOddIndex, "L'indice du tableau doit \xEAtre pair."},
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kStatic = kChild | SS_LEFT;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefaultButton = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
// Modal frame, caption and system menu, in the template's font.
constexpr DWORD kModalFrameStyle = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;

const AFX_DLGITEM kConfirmItems[] = {
    {kConfirmMessage, AFX_CTL_STATIC, "", 13, 13, 276, 43, kStatic},
    {kButtonYes, AFX_CTL_DEFBUTTON, "&Oui", 19, 67, 50, 14, kDefaultButton},
    {kButtonYesToAll, AFX_CTL_BUTTON, "Oui pour &Tous", 79, 67, 50, 14, kButton},
    {kButtonNo, AFX_CTL_BUTTON, "&Non", 138, 67, 50, 14, kButton},
    {kButtonNoToAll, AFX_CTL_BUTTON, "Non pour Tou&s", 198, 67, 50, 14, kButton},
    {kButtonCancel, AFX_CTL_BUTTON, "&Annuler", 256, 67, 50, 14, kButton},
};

// On-line symbolization: one line for symbol and address, one for the comment.
constexpr DWORD kOnlineEdit = kChild | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL;
const AFX_DLGITEM kOnlineItems[] = {
    {kOnlineSymbolLabel, AFX_CTL_STATIC, "Symbole :", 7, 4, 34, 8, kStatic},
    {kOnlineSymbolEdit, AFX_CTL_EDIT, "", 43, 2, 77, 12, kOnlineEdit},
    {kOnlineRepereLabel, AFX_CTL_STATIC, "Rep\xE8re :", 121, 4, 36, 8, kStatic},
    {kOnlineRepereEdit, AFX_CTL_EDIT, "", 159, 2, 91, 12, kOnlineEdit},
    {kOnlineCommentLabel, AFX_CTL_STATIC, "Commentaire :", 7, 18, 44, 8, kStatic},
    {kOnlineCommentEdit, AFX_CTL_EDIT, "", 52, 17, 199, 12, kOnlineEdit},
    {IDOK, AFX_CTL_DEFBUTTON, "Valider", 255, 2, 38, 12, kDefaultButton},
    {IDCANCEL, AFX_CTL_BUTTON, "Annuler", 255, 17, 38, 12, kButton},
};

const AFX_DLGTEMPLATE kDialogs[] = {
    {kConfirmDialog, "Confirmation du remplacement ", "MS Sans Serif", 8, 0, 0, 325, 88,
     kModalFrameStyle, kConfirmItems,
     static_cast<int>(sizeof kConfirmItems / sizeof *kConfirmItems)},
    {kOnlineDialog, "Associer Rep\xE8re & Symbole", "MS Sans Serif", 8, 0, 0, 300, 31,
     kModalFrameStyle, kOnlineItems, static_cast<int>(sizeof kOnlineItems / sizeof *kOnlineItems)},
};

const AFX_RESOURCE_MODULE kResources = {
    "symbase", kStrings, static_cast<int>(sizeof kStrings / sizeof *kStrings), kDialogs,
    static_cast<int>(sizeof kDialogs / sizeof *kDialogs)};

}  // namespace

AFX_EXTENSION_MODULE& ExtensionModule() {
  static AFX_EXTENSION_MODULE module = [] {
    AFX_EXTENSION_MODULE state{};
    AfxInitExtensionModule(state, &kResources);
    return state;
  }();
  return module;
}

}  // namespace symbase
