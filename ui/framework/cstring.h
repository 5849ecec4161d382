// CString: text as UTF-16 code units on every platform, as the dialogs read
// and write it.
//
// Unlike the class it stands in for, it is not reference-counted and offers
// only what the program uses. It also converts to std::u16string_view, so that
// code taking standard views (such as the checksum rules) can read it whole,
// length included, without relying on a terminating NUL.
#pragma once

#include <string>
#include <string_view>

#include "ui/framework/types.h"

namespace framework {

class CString {
 public:
  CString() = default;
  // UTF-16 text, up to its terminating NUL.
  CString(const char16_t* text) : text_(text ? text : u"") {}
  explicit CString(std::u16string text) : text_(std::move(text)) {}
  // 8-bit text, converted through the system's ANSI code page (UTF-8 where
  // the system has none); ASCII comes through unchanged.
  CString(const char* text);
  CString& operator=(const char* text);

  // Replaces the text with string `id` from the program's string table and
  // returns TRUE, or makes it empty and returns FALSE if there is no such
  // string.
  BOOL LoadStringW(UINT id);

  // The number of UTF-16 code units: a character outside the Basic
  // Multilingual Plane counts two.
  int GetLength() const { return static_cast<int>(text_.size()); }
  BOOL IsEmpty() const { return text_.empty(); }
  // The code unit at `index`, which must be below GetLength().
  WCHAR GetAt(int index) const { return text_[static_cast<std::size_t>(index)]; }

  operator LPCTSTR() const { return text_.c_str(); }
  operator std::u16string_view() const { return text_; }
  const std::u16string& Str() const { return text_; }

  friend bool operator==(const CString&, const CString&) = default;

 private:
  std::u16string text_;
};

}  // namespace framework
