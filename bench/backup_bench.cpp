// Save params: every set of a generated Mach3 folder of about 20 MB in 600
// files saved into a fresh backup folder, against a plain CopyFileW loop
// over the same files into a fresh folder of the same layout.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/file_helpers.h"
#include "backup/copy_engine.h"
#include "backup/file_sets.h"
#include "bench/bench.h"

struct GeneratedFile {
  std::wstring relative;
  size_t size;
};

// 596 files: profiles, macros and tables of two profiles, brains, plug-ins
// and the five trees, sizes spread from 1 KB to 100 KB.
static std::vector<GeneratedFile> MachFolderLayout() {
  std::vector<GeneratedFile> files;
  size_t next = 0;
  const auto add = [&](const std::wstring& relative) {
    files.push_back({relative, 1024 + (next * 7919) % 66000});
    ++next;
  };
  add(L"Mach3.exe");
  for (const wchar_t* profile : {L"Mill", L"Lathe"}) {
    add(std::wstring(profile) + L".xml");
    for (int i = 0; i < 25; ++i) add(L"macros\\" + std::wstring(profile) + L"\\M" + std::to_wstring(1000 + i) + L".m1s");
    add(L"macros\\" + std::wstring(profile) + L"\\fixtures.dat");
    add(L"macros\\" + std::wstring(profile) + L"\\tools3.dat");
  }
  for (int i = 0; i < 300; ++i) add(L"GCode\\Job" + std::to_wstring(i % 10) + L"\\part" + std::to_wstring(i) + L".tap");
  for (int i = 0; i < 100; ++i) add(L"Addons\\Wizard" + std::to_wstring(i % 5) + L"\\page" + std::to_wstring(i) + L".txt");
  for (int i = 0; i < 60; ++i) add(L"SubRoutines\\sub" + std::to_wstring(i) + L".tap");
  for (int i = 0; i < 20; ++i) add(L"Flash\\screen" + std::to_wstring(i) + L".swf");
  for (int i = 0; i < 10; ++i) add(L"TurnAddons\\turn" + std::to_wstring(i) + L".txt");
  for (int i = 0; i < 40; ++i) add(L"Brains\\brain" + std::to_wstring(i) + L".brn");
  for (int i = 0; i < 20; ++i) add(L"Plugins\\plugin" + std::to_wstring(i) + L".dll");
  return files;
}

static void CreateFolders(const std::wstring& path) {
  for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryW(path.c_str(), nullptr);
}

static void WriteFileOfSize(const std::wstring& path, size_t size, size_t seed) {
  CreateFolders(path.substr(0, path.rfind(L'\\')));
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('A' + (i * 31 + seed) % 26);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

static void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path + L"\\" + name);
      } else {
        DeleteFileW((path + L"\\" + name).c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

void BenchSaveParams() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring root = std::wstring(temp) + L"kestrelwood_bench_save";
  const std::wstring mach = root + L"\\Mach3";
  RemoveTree(root);
  const std::vector<GeneratedFile> layout = MachFolderLayout();
  size_t total = 0;
  for (size_t i = 0; i < layout.size(); ++i) {
    WriteFileOfSize(mach + L"\\" + layout[i].relative, layout[i].size, i);
    total += layout[i].size;
  }
  Note("generated Mach3 folder: " + std::to_string(layout.size()) + " files, " + std::to_string(total) + " bytes");

  // Each run copies into a fresh folder; the one before is removed untimed,
  // so the disk holds two copies at most.
  const std::wstring target = root + L"\\target";
  const auto freshFolder = [&] {
    CreateDirectoryW(target.c_str(), nullptr);
    return target;
  };
  const auto removeTarget = [&] {
    RemoveTree(target);
  };
  const auto save = [&] {
    CopyDirection direction;
    direction.sourceRoot = mach;
    direction.targetRoot = freshFolder();
    direction.restore = false;
    direction.sets = 0xFDF;  // every set
    direction.dateRule = NoDateRule;
    direction.selectedEntries = {L"Lathe.xml", L"Mill.xml"};
    StartCopyCommand(nullptr, NoDateRule, 0);
    RunFileSets(direction);
  };
  const auto plainCopy = [&] {
    const std::wstring into = freshFolder();
    std::wstring madeFolder;
    for (const GeneratedFile& file : layout) {
      const std::wstring to = into + L"\\" + file.relative;
      const std::wstring folder = to.substr(0, to.rfind(L'\\'));
      if (folder != madeFolder) CreateFolders(folder);
      madeFolder = folder;
      CopyFileW((mach + L"\\" + file.relative).c_str(), to.c_str(), FALSE);
    }
  };
  const std::vector<double> times = MedianRuns(Bench.repeats, removeTarget, {plainCopy, save});
  Note("Save params copies " + std::to_string(CurrentCopyCommand.copiedCount) + " of " +
       std::to_string(CurrentCopyCommand.totalCount) + " counted files per run");
  Record(0, "CopyFileW loop over the same files", times[0]);
  Record(0, "Save params: every set", times[1]);

  // A save over the backup of the run before and a restore over the Mach3
  // folder replace every file, and so flush each before it takes the name;
  // the same without the flush shows what it costs. The restore also keeps
  // each file it replaces; the kept folders are removed untimed.
  removeTarget();
  save();
  const std::wstring kept = root + L"\\kept";
  const auto replaceAll = [](DateRule rule) {
    StartCopyCommand(nullptr, rule, 0);
    CurrentCopyCommand.dontAsk = true;
    CurrentCopyCommand.lastAnswer = ReplaceAll;
  };
  const auto saveOver = [&] {
    CopyDirection direction = {mach, target, false, 0xFDF, NoDateRule, {L"Lathe.xml", L"Mill.xml"}};
    replaceAll(NoDateRule);
    RunFileSets(direction);
  };
  const auto restoreOver = [&] {
    CopyDirection direction = {target, mach, true, 0xFDF, NoDateRule, {L"Lathe.xml", L"Mill.xml"}};
    replaceAll(NoDateRule);
    CurrentCopyCommand.targetRoot = mach;
    CurrentCopyCommand.keepFolders[0] = kept + L"\\Replaced";
    RunFileSets(direction);
  };
  const auto withoutFlush = [](const std::function<void()>& action) {
    return [action] {
      const FileWriteCalls before = SetFileWriteCalls({nullptr, nullptr, [](HANDLE) { return TRUE; }});
      action();
      SetFileWriteCalls(before);
    };
  };
  const std::vector<double> replacing = MedianRuns(Bench.repeats, [&] { RemoveTree(kept); },
                                                   {withoutFlush(saveOver), saveOver, withoutFlush(restoreOver),
                                                    restoreOver});
  Note("Restore params replaces " + std::to_string(CurrentCopyCommand.copiedCount) + " of " +
       std::to_string(CurrentCopyCommand.totalCount) + " counted files per run, keeping each");
  Record(0, "Save params over the last backup, no flush", replacing[0]);
  Record(0, "Save params over the last backup", replacing[1]);
  Record(0, "Restore params over the Mach3 folder, no flush", replacing[2]);
  Record(0, "Restore params over the Mach3 folder", replacing[3]);
  RemoveTree(root);
}
