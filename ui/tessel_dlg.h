// The main window: the record input field, its character count, the Calculate
// button and the checksum field.
#pragma once

#include "ui/framework/framework.h"

class CTesselDlg : public CDialogEx {
 public:
  CTesselDlg();
  ~CTesselDlg() override = default;

 protected:
  BOOL OnInitDialog() override;

  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnRecordTextUpdate();
  void OnCalculateClicked();

  DECLARE_MESSAGE_MAP()

 private:
  // The record field's text as last read by one of the two handlers.
  CString m_recordText;
  // The application icon; a shared resource icon, never destroyed here.
  HICON m_appIcon;
};
