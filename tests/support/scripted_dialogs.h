// Common dialogs that answer as a test scripts them, and remember what the
// program asked for. Installed while an instance lives.
#pragma once

#include <windows.h>

#include <deque>
#include <optional>
#include <string>

#include "app/common_dialogs.h"

class ScriptedDialogs final : public CommonDialogs {
 public:
  ScriptedDialogs();
  ~ScriptedDialogs() override;
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

  // Answers, taken in turn; with none left the dialog is cancelled.
  void ChooseColourAnswer(COLORREF colour) { colours_.push_back(colour); }
  void OpenFileAnswer(const std::wstring& path) { files_.push_back(path); }
  // The save-file dialog's answer: a path and the filter chosen (from 1).
  void SaveFileAnswer(const std::wstring& path, DWORD filterIndex = 1) {
    saves_.push_back(path);
    filterIndexes_.push_back(filterIndex);
  }
  void BrowseAnswer(const std::wstring& folder) { folders_.push_back(folder); }
  // The printer every print dialog picks, in portrait or landscape; none
  // set: the dialog is cancelled.
  void PrintAnswer(const std::wstring& printer, bool landscape = false) {
    printer_ = printer;
    landscape_ = landscape;
  }
  // The error code the next failed call reports (0: the user cancelled).
  void FailWith(DWORD code) { failure_ = code; }

  int colourCalls = 0;
  int openFileCalls = 0;
  int saveFileCalls = 0;
  int browseCalls = 0;
  CHOOSECOLORW lastColourRequest = {};
  OPENFILENAMEW lastOpenFileRequest = {};
  OPENFILENAMEW lastSaveFileRequest = {};
  std::wstring offeredName, offeredFolder;  // of the last save-file request
  std::wstring lastBrowseTitle;
  std::wstring lastOpenFileTitle;
  DWORD printFlags = 0;
  WORD printCopies = 0;
  short presetOrientation = 0;  // of the device mode handed to the print dialog

  BOOL OpenFileName(OPENFILENAMEW* request) override;
  BOOL SaveFileName(OPENFILENAMEW* request) override;
  BOOL ChooseColour(CHOOSECOLORW* request) override;
  BOOL Print(PRINTDLGW* request) override;
  BOOL PageSetup(PAGESETUPDLGW*) override { return FALSE; }
  PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOW* request) override;
  DWORD ExtendedError() override { return error_; }

 private:
  // Puts the next of `answers` into the request's buffer.
  BOOL AnswerFile(std::deque<std::wstring>& answers, OPENFILENAMEW* request);

  std::deque<COLORREF> colours_;
  std::deque<std::wstring> files_;
  std::deque<std::wstring> saves_;
  std::deque<DWORD> filterIndexes_;
  std::deque<std::wstring> folders_;
  std::wstring printer_;
  bool landscape_ = false;
  DWORD failure_ = 0;
  DWORD error_ = 0;
  CommonDialogs* previous_ = nullptr;
};
