// The backup log: events of the copy engine gathered per file set, and the
// readable text written beside the backup after each command.
#include "backup/portable/backup_log.h"

#include <array>
#include <cwctype>
#include <utility>

#include "app/portable/text_format.h"
#include "app/portable/text_triple.h"

static const TextTriple TextLogSave = {L"Mach3 Daten sichern", L"Save Mach3 data", L"Sauvegarde des données Mach3"};
static const TextTriple TextLogRestore = {L"Mach3 Daten zurückschreiben", L"Restore Mach3 data",
                                          L"Restauration des données Mach3"};
static const TextTriple TextStarted = {L"Beginn", L"Started", L"Début"};
static const TextTriple TextSource = {L"Quelle", L"Source", L"Source"};
static const TextTriple TextTarget = {L"Ziel", L"Target", L"Cible"};
static const TextTriple TextCopied = {L"Kopiert", L"Copied", L"Copiés"};
static const TextTriple TextDateSkipped = {L"Wegen der Datumsregel übersprungen", L"Skipped by the date rule",
                                           L"Ignorés selon la règle de date"};
static const TextTriple TextLeft = {L"Durch Antwort nicht kopiert", L"Not copied by an answer",
                                    L"Non copiés sur réponse"};
static const TextTriple TextKept = {L"Als Kopie unter neuem Namen behalten", L"Kept as a copy under a new name",
                                    L"Conservés en copie sous un nouveau nom"};
static const TextTriple TextFailed = {L"Fehlgeschlagen", L"Failed", L"Échecs"};
static const TextTriple TextAdded = {L"Hinzugefügt (Rückgängigmachen entfernt sie nicht)",
                                     L"Added (undoing the restore does not remove them)",
                                     L"Ajoutés (l'annulation de la restauration ne les supprime pas)"};
static const TextTriple TextLinksSkipped = {L"Verknüpfungen, denen nicht gefolgt wurde",
                                            L"Links not followed", L"Liens non suivis"};
static const TextTriple TextMessages = {L"Meldungen", L"Messages", L"Messages"};
static const TextTriple TextKeptIn = {L"Ersetzte Dateien aufbewahrt in", L"Replaced files kept in",
                                      L"Fichiers remplacés conservés dans"};
static const TextTriple TextCommandCancelled = {L"Abgebrochen: danach wurde nichts mehr kopiert.",
                                                L"Cancelled: nothing more was copied.",
                                                L"Annulé : plus rien n'a été copié ensuite."};
static const TextTriple TextNoFiles = {L"Keine Dateien", L"No files", L"Aucun fichier"};
static const TextTriple TextTotals = {L"Summen", L"Totals", L"Totaux"};
static const TextTriple TextLogLabel = {L"Protokoll", L"Log", L"Journal"};
static const TextTriple TextLogNotWritten = {L"Das Protokoll %s konnte nicht geschrieben werden:\r\n%s",
                                             L"The log %s could not be written:\r\n%s",
                                             L"Le journal %s n'a pas pu être écrit :\r\n%s"};

// The sets by their bit, named as their check boxes are.
struct SetName {
  uint32_t bit;
  TextTriple name;
};
static const SetName SetNames[] = {
    {0x001, {L"Addons", L"Addons", L"Addons"}},
    {0x002, {L"Brains", L"Brains", L"Brains"}},
    {0x004, {L"Fixtures", L"Fixtures", L"Fixtures"}},
    {0x008, {L"Flash", L"Flash", L"Flash"}},
    {0x010, {L"GCode", L"GCode", L"GCode"}},
    {0x040, {L"Makros", L"Macros", L"Macros"}},
    {0x080, {L"Plugins", L"Plugins", L"Plugins"}},
    {0x100, {L"Profile", L"Profiles", L"Profils"}},
    {0x200, {L"SubRoutines", L"SubRoutines", L"SubRoutines"}},
    {0x400, {L"TurnAddons", L"TurnAddons", L"TurnAddons"}},
    {0x800, {L"Werkzeug Tabelle", L"Tooltable", L"Tooltable"}},
};

static std::wstring NameOfSet(uint32_t bit) {
  for (const SetName& set : SetNames) {
    if (set.bit == bit) return SelectText(set.name);
  }
  return FormatText(L"0x%03X", bit);
}

// The headings in the order the log lists them; Cancel counts as an answer.
struct Heading {
  const TextTriple* text;
  FileOutcome outcome;
};
// Failed comes last, so the log ends with the number of failed files.
static const std::array<Heading, 6> Headings = {{
    {&TextCopied, FileOutcome::Copied},
    {&TextAdded, FileOutcome::Added},
    {&TextDateSkipped, FileOutcome::DateSkipped},
    {&TextLeft, FileOutcome::Left},
    {&TextKept, FileOutcome::Kept},
    {&TextFailed, FileOutcome::Failed},
}};

static FileOutcome HeadingOutcome(FileOutcome outcome) {
  return outcome == FileOutcome::Cancelled ? FileOutcome::Left : outcome;
}

BackupLog::BackupLog(bool restore, std::wstring sourceRoot, std::wstring targetRoot, LogTime started)
    : restore_(restore), sourceRoot_(std::move(sourceRoot)), targetRoot_(std::move(targetRoot)), started_(started) {}

void BackupLog::StartSet(uint32_t bit) { sets_.push_back({bit, {}, {}}); }

void BackupLog::StartFile() {
  pendingMessage_.clear();
  inFile_ = true;
}

void BackupLog::LinkSkipped(const std::wstring& path) {
  for (const std::wstring& link : links_) {
    if (link == path) return;
  }
  links_.push_back(path);
}

// A message on one line of the log.
static std::wstring OnOneLine(const std::wstring& text) {
  std::wstring line;
  for (wchar_t c : text) {
    if (c != L'\r' && c != L'\n') {
      line += c;
    } else if (!line.empty() && line.back() != L' ') {
      line += L' ';
    }
  }
  while (!line.empty() && line.back() == L' ') line.pop_back();
  return line;
}

void BackupLog::NoteMessage(const std::wstring& caption, const std::wstring& text) {
  if (!inFile_) {  // a find error or a folder not made: the set's own
    if (sets_.empty()) StartSet(0);
    sets_.back().messages.push_back(OnOneLine(caption.empty() ? text : caption + L": " + text));
    return;
  }
  if (!pendingMessage_.empty()) pendingMessage_ += L" / ";
  pendingMessage_ += OnOneLine(caption.empty() ? text : caption + L": " + text);
}

void BackupLog::EndFile(FileOutcome outcome, const std::wstring& source, const std::wstring& target) {
  if (sets_.empty()) StartSet(0);
  std::wstring message;
  if (outcome == FileOutcome::Failed) message = pendingMessage_;
  sets_.back().files.push_back({outcome, source, target, std::move(message)});
  pendingMessage_.clear();
  inFile_ = false;
}

std::wstring BackupLog::FileName() const {
  return FormatText(L"Kestrelwood-%s-%04d%02d%02d-%02d%02d%02d.log", restore_ ? L"restore" : L"save", started_.year,
                    started_.month, started_.day, started_.hour, started_.minute, started_.second);
}

// `path` below `root` without the root, or the whole path when elsewhere.
static std::wstring BelowRoot(const std::wstring& path, const std::wstring& root) {
  if (!root.empty() && path.size() > root.size() + 1 && path.compare(0, root.size(), root) == 0 &&
      path[root.size()] == L'\\') {
    return path.substr(root.size() + 1);
  }
  return path;
}

static std::wstring LoggedLine(const LoggedFile& file, const std::wstring& sourceRoot, const std::wstring& targetRoot) {
  std::wstring line = BelowRoot(file.source, sourceRoot);
  switch (file.outcome) {
    case FileOutcome::Kept:
      return line + L"  ->  " + BelowRoot(file.target, targetRoot);
    case FileOutcome::Failed:
      return file.message.empty() ? line : line + L"  (" + file.message + L")";
    case FileOutcome::Cancelled:
      return line + L"  (" + SelectText(TextCancel) + L")";
    default:
      return line;
  }
}

static bool SetCancelled(const LoggedSet& set) {
  return !set.files.empty() && set.files.back().outcome == FileOutcome::Cancelled;
}

static void AppendLine(std::wstring* text, const std::wstring& line) { *text += line + L"\r\n"; }

std::wstring BackupLog::Text() const {
  std::wstring text;
  AppendLine(&text,
             FormatText(L"%s %s: %s", ProgramName, VersionText, SelectText(restore_ ? TextLogRestore : TextLogSave)));
  AppendLine(&text, FormatText(L"%s: %04d-%02d-%02d %02d:%02d:%02d", SelectText(TextStarted), started_.year,
                               started_.month, started_.day, started_.hour, started_.minute, started_.second));
  AppendLine(&text, FormatText(L"%s: %s", SelectText(TextSource), sourceRoot_.c_str()));
  AppendLine(&text, FormatText(L"%s: %s", SelectText(TextTarget), targetRoot_.c_str()));
  if (!keptFolder_.empty()) AppendLine(&text, FormatText(L"%s: %s", SelectText(TextKeptIn), keptFolder_.c_str()));
  if (!links_.empty()) {
    AppendLine(&text, L"");
    AppendLine(&text, FormatText(L"%s:", SelectText(TextLinksSkipped)));
    for (const std::wstring& link : links_) AppendLine(&text, L"    " + link);
  }
  std::array<int, Headings.size()> totals = {};
  bool cancelled = false;
  for (const LoggedSet& set : sets_) {
    AppendLine(&text, L"");
    if (set.bit == 0 && set.files.empty()) {  // before the first set: what kept the command from starting, the count
      AppendLine(&text, FormatText(L"%s:", SelectText(TextMessages)));
      for (const std::wstring& message : set.messages) AppendLine(&text, L"    " + message);
      continue;
    }
    AppendLine(&text, NameOfSet(set.bit));
    if (set.files.empty()) AppendLine(&text, FormatText(L"  %s", SelectText(TextNoFiles)));
    if (!set.messages.empty()) AppendLine(&text, FormatText(L"  %s:", SelectText(TextMessages)));
    for (const std::wstring& message : set.messages) AppendLine(&text, L"    " + message);
    for (size_t h = 0; h < Headings.size(); ++h) {
      bool headed = false;
      for (const LoggedFile& file : set.files) {
        if (HeadingOutcome(file.outcome) != Headings[h].outcome) continue;
        if (!headed) AppendLine(&text, FormatText(L"  %s:", SelectText(*Headings[h].text)));
        headed = true;
        AppendLine(&text, L"    " + LoggedLine(file, sourceRoot_, targetRoot_));
        ++totals[h];
      }
    }
    if (SetCancelled(set)) cancelled = true;
  }
  if (cancelled) {
    AppendLine(&text, L"");
    AppendLine(&text, SelectText(TextCommandCancelled));
  }
  AppendLine(&text, L"");
  AppendLine(&text, SelectText(TextTotals));
  for (size_t h = 0; h < Headings.size(); ++h) {
    if (Headings[h].outcome == FileOutcome::Added && !restore_ && totals[h] == 0) continue;  // a save adds nothing
    AppendLine(&text, FormatText(L"  %s: %d", SelectText(*Headings[h].text), totals[h]));
  }
  return text;
}

std::string Utf8WithBom(const std::wstring& text) { return "\xEF\xBB\xBF" + ToUtf8(text); }

std::wstring StatusWithLog(const std::wstring& status, const std::wstring& logName, const std::wstring& keptFolder,
                           int failed) {
  std::wstring text = FormatText(L"%s, %s: %s", status.c_str(), SelectText(TextLogLabel), logName.c_str());
  if (!keptFolder.empty()) text += FormatText(L", %s: %s", SelectText(TextKeptIn), keptFolder.c_str());
  if (failed > 0) text += FormatText(L", %s: %d", SelectText(TextFailed), failed);
  return text;
}

std::wstring LogNotWrittenText(const std::wstring& path, const std::wstring& systemText) {
  return FormatText(SelectText(TextLogNotWritten), path.c_str(), systemText.c_str());
}

bool SaveLogTime(std::wstring_view name, std::wstring* when) {
  static constexpr std::wstring_view Prefix = L"kestrelwood-save-", Suffix = L".log";
  // prefix, 8 digits, '-', 6 digits, suffix
  if (name.size() != Prefix.size() + 15 + Suffix.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const wchar_t c = towlower(name[i]);
    const size_t at = i - Prefix.size();
    bool fits;
    if (i < Prefix.size()) {
      fits = c == Prefix[i];
    } else if (at < 15) {
      fits = at == 8 ? c == L'-' : (c >= L'0' && c <= L'9');
    } else {
      fits = c == Suffix[at - 15];
    }
    if (!fits) return false;
  }
  const std::wstring_view d = name.substr(Prefix.size(), 15);
  *when = std::wstring(d.substr(0, 4)) + L'-' + std::wstring(d.substr(4, 2)) + L'-' + std::wstring(d.substr(6, 2)) +
          L' ' + std::wstring(d.substr(9, 2)) + L':' + std::wstring(d.substr(11, 2)) + L':' +
          std::wstring(d.substr(13, 2));
  return true;
}

static bool InAnyLanguage(std::wstring_view text, const TextTriple& triple) {
  for (const wchar_t* t : triple.text) {
    if (text == t) return true;
  }
  return false;
}

static bool IsProfileSetName(std::wstring_view line) {
  for (const SetName& set : SetNames) {
    if (set.bit == 0x100) return InAnyLanguage(line, set.name);
  }
  return false;
}

std::vector<std::wstring> ProfilesHeldBySaveLog(std::wstring_view text) {
  std::vector<std::wstring> held;
  bool inProfiles = false, holding = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring_view::npos) end = text.size();
    std::wstring_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (line[0] != L' ') {  // a set's name, or the totals
      inProfiles = IsProfileSetName(line);
      holding = false;
    } else if (line.size() > 4 && line.substr(0, 4) == L"    ") {
      if (!inProfiles || !holding) continue;
      std::wstring_view name = line.substr(4);
      name = name.substr(0, name.find(L"  ->  "));  // a kept copy names its source first
      std::wstring lower(name);
      for (wchar_t& c : lower) c = towlower(c);
      held.push_back(std::move(lower));
    } else if (line.size() > 3 && line.substr(0, 2) == L"  " && line[2] != L' ' && line.back() == L':') {
      const std::wstring_view heading = line.substr(2, line.size() - 3);
      holding = InAnyLanguage(heading, TextCopied) || InAnyLanguage(heading, TextKept) ||
                InAnyLanguage(heading, TextDateSkipped);
    }
  }
  return held;
}
