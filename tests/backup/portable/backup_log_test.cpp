// The backup log's text, file name and encoding.
#include "backup/portable/backup_log.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/portable/text_triple.h"

namespace {

const LogTime Started = {2026, 3, 7, 9, 5, 4};

TEST(BackupLog, ListsEachFileOnceUnderItsHeadingWithTheTotals) {
  LanguageIndex = English;
  BackupLog log(false, L"C:\\Mach3", L"E:", Started);
  log.SetKeptFolder(L"C:\\Mach3\\Replaced 2026-03-07 09-05-04");
  log.LinkSkipped(L"C:\\Mach3\\Addons\\Loop");
  log.LinkSkipped(L"C:\\Mach3\\Addons\\Loop");  // found again by the copying pass
  log.StartSet(0x001);
  log.StartFile();
  log.EndFile(FileOutcome::Cancelled, L"C:\\Mach3\\Addons\\a.txt", L"E:\\Addons\\a.txt");
  log.StartSet(0x040);
  log.StartSet(0x100);
  const std::tuple<FileOutcome, const wchar_t*, const wchar_t*> files[] = {
      {FileOutcome::Copied, L"A.xml", L"A.xml"}, {FileOutcome::DateSkipped, L"B.xml", L"B.xml"},
      {FileOutcome::Left, L"C.xml", L"C.xml"},   {FileOutcome::Copied, L"D.xml", L"D.xml"},
      {FileOutcome::Kept, L"E.xml", L"E(2).xml"}, {FileOutcome::Added, L"G.xml", L"G.xml"}};
  for (const auto& [outcome, from, to] : files) {
    log.StartFile();
    log.EndFile(outcome, L"C:\\Mach3\\" + std::wstring(from), L"E:\\" + std::wstring(to));
  }
  // A message shown between two files (a failed folder search) is the set's,
  // not the failed file's.
  log.NoteMessage(L"Kestrelwood Error", L"_tfindfirst File not found");
  log.StartFile();
  log.NoteMessage(L"CreateFile:   E:\\F.xml", L"Access denied.\r\nAsk the owner.");
  log.EndFile(FileOutcome::Failed, L"C:\\Mach3\\F.xml", L"E:\\F.xml");

  EXPECT_EQ(log.Text(),
            L"Kestrelwood V3.02: Save Mach3 data\r\n"
            L"Started: 2026-03-07 09:05:04\r\n"
            L"Source: C:\\Mach3\r\n"
            L"Target: E:\r\n"
            L"Replaced files kept in: C:\\Mach3\\Replaced 2026-03-07 09-05-04\r\n"
            L"\r\n"
            L"Links not followed:\r\n"
            L"    C:\\Mach3\\Addons\\Loop\r\n"
            L"\r\n"
            L"Addons\r\n"
            L"  Not copied by an answer:\r\n"
            L"    Addons\\a.txt  (Cancel)\r\n"
            L"\r\n"
            L"Macros\r\n"
            L"  No files\r\n"
            L"\r\n"
            L"Profiles\r\n"
            L"  Messages:\r\n"
            L"    Kestrelwood Error: _tfindfirst File not found\r\n"
            L"  Copied:\r\n"
            L"    A.xml\r\n"
            L"    D.xml\r\n"
            L"  Added (undoing the restore does not remove them):\r\n"
            L"    G.xml\r\n"
            L"  Skipped by the date rule:\r\n"
            L"    B.xml\r\n"
            L"  Not copied by an answer:\r\n"
            L"    C.xml\r\n"
            L"  Kept as a copy under a new name:\r\n"
            L"    E.xml  ->  E(2).xml\r\n"
            L"  Failed:\r\n"
            L"    F.xml  (CreateFile:   E:\\F.xml: Access denied. Ask the owner.)\r\n"
            L"\r\n"
            L"Cancelled: nothing more was copied.\r\n"
            L"\r\n"
            L"Totals\r\n"
            L"  Copied: 2\r\n"
            L"  Added (undoing the restore does not remove them): 1\r\n"
            L"  Skipped by the date rule: 1\r\n"
            L"  Not copied by an answer: 2\r\n"
            L"  Kept as a copy under a new name: 1\r\n"
            L"  Failed: 1\r\n");
  EXPECT_EQ(log.FileName(), L"Kestrelwood-save-20260307-090504.log");
  // The status ends with the number of failed files, when there are any.
  EXPECT_EQ(StatusWithLog(L"3/4: Files copied", L"x.log", L"", 0), L"3/4: Files copied, Log: x.log");
  EXPECT_EQ(StatusWithLog(L"3/4: Files copied", L"x.log", L"E:\\R", 1),
            L"3/4: Files copied, Log: x.log, Replaced files kept in: E:\\R, Failed: 1");

  // Read back for the start page (which reads logs of every language): the
  // profiles the backup holds, and the time in the name.
  EXPECT_EQ(ProfilesHeldBySaveLog(log.Text()), (std::vector<std::wstring>{L"a.xml", L"d.xml", L"b.xml", L"e.xml"}));
  std::wstring when;
  EXPECT_TRUE(SaveLogTime(L"KESTRELWOOD-SAVE-20260307-090504.LOG", &when));
  EXPECT_EQ(when, L"2026-03-07 09:05:04");
  for (const wchar_t* name : {L"Kestrelwood-restore-20260307-090504.log", L"Kestrelwood-save-2026037-090504.log",
                              L"Kestrelwood-save-20260307-0905x4.log", L"Kestrelwood-save-20260307-090504.log.txt"}) {
    EXPECT_FALSE(SaveLogTime(name, &when)) << name;
  }
}

}  // namespace
