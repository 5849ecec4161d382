// CDialog: a modal dialog built from a dialog template resource.
//
// Only modal dialogs are offered. With no parent, a dialog is owned by the
// application's main window (when that is another, existing window), which
// takes no input while the dialog runs. A dialog whose template leaves it at
// (0, 0) and that OnInitDialog does not move is centred when it opens.
#pragma once

#include "ui/framework/cwnd.h"

namespace framework {

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr)
      : templateId_(templateId), parent_(parent) {}

  // Creates the dialog from its template, runs it until EndDialog and returns
  // the value passed to EndDialog, or -1 if the dialog could not be created.
  virtual INT_PTR DoModal();

  // Called once the dialog and its controls exist, before it is shown.
  // Returns TRUE to let the window system focus the first tab stop.
  virtual BOOL OnInitDialog() { return TRUE; }

  // Ends the modal run; DoModal returns `result`.
  void EndDialog(int result);

 protected:
  // Default command handlers: end the dialog with IDOK or IDCANCEL.
  void OnOK() { EndDialog(IDOK); }
  void OnCancel() { EndDialog(IDCANCEL); }

  UINT templateId() const { return templateId_; }
  // The window that owns the dialog during its run: the parent given at
  // construction or else the application's main window; null if neither is
  // another, existing window.
  HWND OwnerForModalRun() const;

  DECLARE_MESSAGE_MAP()

 private:
  UINT templateId_;
  CWnd* parent_;
};

}  // namespace framework
