// The Mach3-running check over a snapshot of the process list.
#include "app/mach3_check.h"

#include <windows.h>
#include <tlhelp32.h>

#include "app/handles.h"
#include "app/message_box.h"
#include "app/portable/text_triple.h"

static const TextTriple Mach3RunningQuestion = {
    L"Mach3 scheint gestartet zu sein. Falls nach dem Start von Mach3 Änderungen an den Einstellungen "
    L"durchgeführt wurden, sollte Mach3 beendet werden. Andernfalls werden diese Änderungen von Kestrelwood "
    L"nicht erfasst. Trotzdem fortsetzen?",
    L"Mach3 seems to be running. In case of changes on the Mach3 settings, Mach3 should be terminated. "
    L"Otherwise the last changes will not be recognized by Kestrelwood. Continue?",
    L"Mach3 seems to be running. In case of changes on the Mach3 settings, Mach3 should be terminated. "
    L"Otherwise the last changes will not be recognized by Kestrelwood. Continue?"};

static const TextTriple Mach3RunningRefusal = {L"Mach3 ist zur Zeit gestartet, bitte Mach3 beenden",
                                               L"Mach3 is currently running, please terminate Mach3",
                                               L"Mach3 is currently running, please terminate Mach3"};

bool IsMach3ExecutableName(const wchar_t* exeName) { return _wcsicmp(exeName, L"mach3.exe") == 0; }

static void ReportFailedCall(const wchar_t* call) {
  ShowErrorMessage(nullptr, call, MB_TOPMOST | MB_TASKMODAL);
}

static bool AnswerMach3Running(int mode) {
  if (mode == Mach3AskToContinue) {
    const int answer = ShowWarningMessage(nullptr, SelectText(Mach3RunningQuestion), MB_YESNO | MB_TOPMOST);
    return answer != IDYES;
  }
  ShowWarningMessage(nullptr, SelectText(Mach3RunningRefusal));
  return true;
}

// Every entry's name is compared, without opening the process: a Mach3
// started with higher rights cannot be opened but must still be found.
// Null when the list was read, else the call that failed.
static const wchar_t* LookForMach3(bool* found) {
  *found = false;
  UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return L"CreateToolhelp32Snapshot";
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  if (!Process32FirstW(snapshot.get(), &entry)) return L"Process32First";
  do {
    if (IsMach3ExecutableName(entry.szExeFile)) {
      *found = true;
      break;
    }
  } while (Process32NextW(snapshot.get(), &entry));
  return nullptr;
}

bool CheckMach3Running(int mode) {
  bool found;
  if (const wchar_t* failedCall = LookForMach3(&found)) {
    ReportFailedCall(failedCall);
    return false;
  }
  return found && AnswerMach3Running(mode);
}

bool Mach3IsRunning() {
  bool found;
  return !LookForMach3(&found) && found;
}
