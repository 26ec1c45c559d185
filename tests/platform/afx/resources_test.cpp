#include <gtest/gtest.h>

#include "symbase/afxwin.h"

namespace {

const AFX_STRINGRES kOldStrings[] = {
    {1, "old one"}, {2, "old two"}, {3, nullptr}, {4, "%s vaut %d"}};
const AFX_STRINGRES kNewStrings[] = {{1, "new one"}};
const AFX_DLGITEM kItems[] = {{IDOK, AFX_CTL_DEFBUTTON, "OK", 0, 0, 40, 14, 0}};
const AFX_DLGTEMPLATE kDialogs[] = {
    {700, "Seven", "MS Sans Serif", 8, 0, 0, 100, 50, 0, kItems, 1}};
const AFX_RESOURCE_MODULE kOld = {"old", kOldStrings, 4, kDialogs, 1};
const AFX_RESOURCE_MODULE kNew = {"new", kNewStrings, 1, nullptr, 0};
const AFX_RESOURCE_MODULE kDamaged = {"damaged", nullptr, 5, nullptr, -3};

TEST(ResourceChainTest, NewestModuleAnswersFirst) {
  EXPECT_EQ(AfxFindStringResource(1), nullptr);
  ASSERT_TRUE(AfxAddResourceModule(&kOld));
  ASSERT_TRUE(AfxAddResourceModule(&kDamaged));
  ASSERT_TRUE(AfxAddResourceModule(&kNew));
  EXPECT_STREQ(AfxFindStringResource(1), "new one");
  EXPECT_STREQ(AfxFindStringResource(2), "old two");
  EXPECT_EQ(AfxFindStringResource(3), nullptr);  // a null text counts as missing
  const AFX_DLGTEMPLATE* tpl = AfxFindDialogTemplate(700);
  ASSERT_NE(tpl, nullptr);
  EXPECT_STREQ(tpl->lpszCaption, "Seven");
  EXPECT_EQ(AfxFindDialogTemplate(701), nullptr);
  CString s("stale");
  EXPECT_FALSE(s.LoadString(3));
  EXPECT_STREQ(s, "");
  s.Format(4U, "IND2", 3);
  EXPECT_STREQ(s, "IND2 vaut 3");
  EXPECT_TRUE(AfxRemoveResourceModule(&kNew));
  EXPECT_STREQ(AfxFindStringResource(1), "old one");
  EXPECT_TRUE(AfxRemoveResourceModule(&kDamaged));
  EXPECT_TRUE(AfxRemoveResourceModule(&kOld));
  EXPECT_EQ(AfxFindStringResource(2), nullptr);
  EXPECT_FALSE(AfxAddResourceModule(nullptr));
  EXPECT_FALSE(AfxRemoveResourceModule(nullptr));
}

TEST(ResourceChainTest, ExtensionModuleLinksLibrariesUntilTerminated) {
  AFX_EXTENSION_MODULE module = {FALSE, nullptr, nullptr};
  EXPECT_FALSE(AfxInitExtensionModule(module, nullptr));
  ASSERT_TRUE(AfxInitExtensionModule(module, &kNew));
  // Each initialisation links the module once more; the framework owns them.
  new CDynLinkLibrary(module);
  delete new CDynLinkLibrary(module);
  EXPECT_STREQ(AfxFindStringResource(1), "new one");
  AfxTermExtensionModule(module);  // deletes the one still linked
  EXPECT_FALSE(module.bInitialized);
  EXPECT_EQ(AfxFindStringResource(1), nullptr);
  AfxTermExtensionModule(module);  // twice is harmless
}

}  // namespace
