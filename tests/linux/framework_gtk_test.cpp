// The GTK backend's answers that need no display: text conversion into
// CString, resources the program asks for that are not there, and a dialog
// whose template is missing, whose modal run must fail at once (-1) rather
// than crash, so that the program ends as after a normal close.
#include <gtest/gtest.h>

#include "ui/framework/framework.h"

namespace {

class TestApp : public CWinApp {};
TestApp app;

TEST(CStringOnGtk, CountsUtf16CodeUnits) {
  const struct {
    const char* utf8;
    std::u16string expected;
  } cases[] = {
      {"", u""},
      {"1E", u"1E"},
      {"Error", u"Error"},
      {"\xE5\x85\xB3\xE4\xBA\x8E", u"\u5173\u4e8e"},  // two BMP characters
      {"\xF0\x9F\x98\x80", u"\U0001F600"},            // one surrogate pair
  };
  for (const auto& c : cases) {
    const CString text(c.utf8);
    EXPECT_EQ(text.Str(), c.expected) << "from \"" << c.utf8 << "\"";
    EXPECT_EQ(text.GetLength(), static_cast<int>(c.expected.size())) << "from \"" << c.utf8 << "\"";
  }
}

TEST(ResourcesOnGtk, AnswerWhatIsThereAndNothingElse) {
  CString about;
  EXPECT_TRUE(about.LoadStringW(101));
  EXPECT_EQ(about.Str(), u"\u5173\u4e8e Tessel(&A)...");

  CString missing("stale");
  EXPECT_FALSE(missing.LoadStringW(9999));
  EXPECT_TRUE(missing.IsEmpty());

  EXPECT_EQ(app.LoadIconW(9999), nullptr);
}

TEST(DialogOnGtk, MissingTemplateEndsTheModalRunAtOnce) {
  CDialog dialog(9999);
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

}  // namespace
