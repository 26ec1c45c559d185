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

const AFX_DLGTEMPLATE kDialogs[] = {
    {kConfirmDialog, "Confirmation du remplacement ", "MS Sans Serif", 8, 0, 0, 325, 88,
     kModalFrameStyle, kConfirmItems,
     static_cast<int>(sizeof kConfirmItems / sizeof *kConfirmItems)},
};

const AFX_RESOURCE_MODULE kResources = {
    "symbase", kStrings, static_cast<int>(sizeof kStrings / sizeof *kStrings), kDialogs,
    static_cast<int>(sizeof kDialogs / sizeof *kDialogs)};

}  // namespace

const AFX_RESOURCE_MODULE& LibraryResources() { return kResources; }

AFX_EXTENSION_MODULE& ExtensionModule() {
  static AFX_EXTENSION_MODULE module = [] {
    AFX_EXTENSION_MODULE state{};
    AfxInitExtensionModule(state, &kResources);
    return state;
  }();
  return module;
}

}  // namespace symbase
