// tessel_driver: acts on a running Tessel.exe from another process, through
// window messages, the way a person's input reaches the dialogs, and prints
// what the windows show. The GUI test scripts run it under Wine, one command
// per call, in the same virtual desktop as the program.
//
//   tessel_driver wait <caption> <ms>     wait until a window with this caption is visible
//   tessel_driver gone <caption> <ms>     wait until no such window is visible
//   tessel_driver fields                  print the main window's fields and states
//   tessel_driver about                   print the About box's caption, texts and states
//   tessel_driver type <id> <text>        type text into control <id>, one WM_CHAR per unit
//   tessel_driver paste <id> <text>       put text on the clipboard and paste it into <id>
//   tessel_driver pastemany <id> <n> <t>  the same with <t> repeated to n code units
//   tessel_driver erase <id>              select all of <id> and delete it
//   tessel_driver click <caption> <id>    click button <id> of that window
//   tessel_driver syscommand <hex>        send a system command to the main window
//   tessel_driver closebox <caption>      print the screen point of the window's close box
//
// Texts may hold \uXXXX escapes for any code unit and \b for Backspace.
// Output is UTF-8, one "name=value" line per item. Exit status 0 on
// success, 1 on failure, 2 on a bad command line.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kRecordEdit = 1000;

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

// Unescapes \uXXXX and \b; other characters stand for themselves.
std::wstring Unescape(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'b') {
      out += L'\b';
      ++i;
    } else if (text[i] == L'\\' && i + 5 < text.size() && text[i + 1] == L'u') {
      out += static_cast<wchar_t>(std::wcstoul(text.substr(i + 2, 4).c_str(), nullptr, 16));
      i += 5;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const int copied = GetWindowTextW(window, buffer.data(), length + 1);
  return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

// The edit control text through WM_GETTEXT, which works across processes
// for any length.
std::wstring ControlText(HWND control) {
  const auto length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const auto copied = SendMessageW(control, WM_GETTEXT, static_cast<WPARAM>(length + 1),
                                   reinterpret_cast<LPARAM>(buffer.data()));
  return std::wstring(buffer.data(), static_cast<std::size_t>(copied));
}

HWND FindDialog(const std::wstring& caption) {
  HWND window = FindWindowW(L"#32770", caption.c_str());
  return window && IsWindowVisible(window) ? window : nullptr;
}

HWND MainWindow() { return FindDialog(L"Tessel"); }

void Print(const char* name, const std::string& value) {
  std::printf("%s=%s\n", name, value.c_str());
}
void Print(const char* name, const std::wstring& value) { Print(name, Utf8(value)); }
void Print(const char* name, long value) { Print(name, std::to_string(value)); }

int Fail(const char* what) {
  std::fprintf(stderr, "tessel_driver: %s\n", what);
  return 1;
}

int Wait(const std::wstring& caption, int ms, bool untilGone) {
  for (int waited = 0; waited <= ms; waited += 50) {
    if ((FindDialog(caption) != nullptr) != untilGone) return 0;
    Sleep(50);
  }
  return Fail(untilGone ? "the window is still there" : "no such window appeared");
}

long Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

int Fields() {
  HWND main = MainWindow();
  if (!main) return Fail("no main window");
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &thread);
  Print("record", ControlText(GetDlgItem(main, kRecordEdit)));
  Print("length", ControlText(GetDlgItem(main, 1004)));
  Print("checksum", ControlText(GetDlgItem(main, 1001)));
  Print("main.enabled", IsWindowEnabled(main) ? 1 : 0);
  Print("length.enabled", IsWindowEnabled(GetDlgItem(main, 1004)) ? 1 : 0);
  Print("length.readonly", (Style(GetDlgItem(main, 1004)) & ES_READONLY) ? 1 : 0);
  Print("checksum.enabled", IsWindowEnabled(GetDlgItem(main, 1001)) ? 1 : 0);
  Print("checksum.readonly", (Style(GetDlgItem(main, 1001)) & ES_READONLY) ? 1 : 0);
  Print("ok.visible", IsWindowVisible(GetDlgItem(main, IDOK)) ? 1 : 0);
  Print("cancel.visible", IsWindowVisible(GetDlgItem(main, IDCANCEL)) ? 1 : 0);
  Print("focus", thread.hwndFocus ? GetDlgCtrlID(thread.hwndFocus) : 0);
  RECT frame{};
  GetWindowRect(main, &frame);
  Print("main.frame", std::to_string(frame.left) + "," + std::to_string(frame.top) + "," +
                          std::to_string(frame.right) + "," + std::to_string(frame.bottom));
  return 0;
}

int About() {
  HWND about = FindDialog(L"\u5173\u4e8e Tessel");
  if (!about) return Fail("no About box");
  Print("caption", WindowText(about));
  int index = 0;
  for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    const std::string prefix = "control" + std::to_string(++index);
    Print((prefix + ".class").c_str(), std::wstring(className));
    Print((prefix + ".id").c_str(), static_cast<long>(GetDlgCtrlID(child)));
    if ((Style(child) & SS_TYPEMASK) == SS_ICON && lstrcmpiW(className, L"Static") == 0) {
      Print((prefix + ".icon").c_str(), SendMessageW(child, STM_GETICON, 0, 0) ? 1 : 0);
    } else {
      Print((prefix + ".text").c_str(), ControlText(child));
    }
  }
  HWND main = MainWindow();
  Print("main.enabled", main && IsWindowEnabled(main) ? 1 : 0);
  Print("owner.is.main", GetWindow(about, GW_OWNER) == main ? 1 : 0);
  return 0;
}

int Type(int id, const std::wstring& text) {
  HWND main = MainWindow();
  HWND control = main ? GetDlgItem(main, id) : nullptr;
  if (!control) return Fail("no such control");
  for (wchar_t unit : text) SendMessageW(control, WM_CHAR, unit, 1);
  return 0;
}

int Paste(int id, const std::wstring& text) {
  HWND main = MainWindow();
  HWND control = main ? GetDlgItem(main, id) : nullptr;
  if (!control) return Fail("no such control");
  if (!OpenClipboard(nullptr)) return Fail("cannot open the clipboard");
  EmptyClipboard();
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  SendMessageW(control, WM_PASTE, 0, 0);
  return 0;
}

int Erase(int id) {
  HWND main = MainWindow();
  HWND control = main ? GetDlgItem(main, id) : nullptr;
  if (!control) return Fail("no such control");
  SendMessageW(control, EM_SETSEL, 0, -1);
  SendMessageW(control, WM_CLEAR, 0, 0);
  return 0;
}

int Click(const std::wstring& caption, int id) {
  HWND window = FindDialog(caption);
  HWND button = window ? GetDlgItem(window, id) : nullptr;
  if (!button) return Fail("no such button");
  // BM_CLICK presses and releases the button as the mouse would. Sent, so
  // that the click has been handled when the driver returns; no button of
  // the program starts a modal run, which would hold the driver.
  SendMessageW(button, BM_CLICK, 0, 0);
  return 0;
}

int SysCommand(unsigned command) {
  HWND main = MainWindow();
  if (!main) return Fail("no main window");
  PostMessageW(main, WM_SYSCOMMAND, command, 0);
  return 0;
}

int CloseBox(const std::wstring& caption) {
  HWND window = FindDialog(caption);
  if (!window) return Fail("no such window");
  TITLEBARINFO title{};
  title.cbSize = sizeof title;
  GetTitleBarInfo(window, &title);
  RECT frame{};
  GetWindowRect(window, &frame);
  // The close box is the rightmost caption button: a caption-height square
  // inside the right border.
  const int frameWidth = GetSystemMetrics(SM_CXFRAME);
  const int buttonWidth = GetSystemMetrics(SM_CXSIZE);
  const long x = frame.right - frameWidth - buttonWidth / 2 - 1;
  const long y = (title.rcTitleBar.top + title.rcTitleBar.bottom) / 2;
  Print("x", x);
  Print("y", y);
  return 0;
}

}  // namespace

int main() {
  // Plain \n line ends, whatever the C runtime's text mode would make.
  _setmode(_fileno(stdout), _O_BINARY);
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) return 2;
  const std::wstring command = argv[1];
  auto arg = [&](int i) { return i < argc ? std::wstring(argv[i]) : std::wstring(); };
  auto number = [&](int i) { return static_cast<int>(std::wcstol(arg(i).c_str(), nullptr, 0)); };

  if (command == L"wait") return Wait(Unescape(arg(2)), number(3), false);
  if (command == L"gone") return Wait(Unescape(arg(2)), number(3), true);
  if (command == L"fields") return Fields();
  if (command == L"about") return About();
  if (command == L"type") return Type(number(2), Unescape(arg(3)));
  if (command == L"paste") return Paste(number(2), Unescape(arg(3)));
  if (command == L"pastemany") {
    // The command line holds at most 32,767 characters, so long texts are made here.
    const std::wstring unit = Unescape(arg(4));
    std::wstring text;
    while (!unit.empty() && text.size() < static_cast<std::size_t>(number(3))) text += unit;
    text.resize(static_cast<std::size_t>(number(3)));
    return Paste(number(2), text);
  }
  if (command == L"erase") return Erase(number(2));
  if (command == L"click") return Click(Unescape(arg(2)), number(3));
  if (command == L"syscommand") return SysCommand(static_cast<unsigned>(number(2)));
  if (command == L"closebox") return CloseBox(Unescape(arg(2)));
  return 2;
}
