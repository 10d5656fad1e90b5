// The language index and the texts shared by every message box.
#include "app/portable/text_triple.h"

int32_t LanguageIndex = German;

const wchar_t* SelectText(const TextTriple& triple) {
  const int32_t index = (LanguageIndex >= German && LanguageIndex <= French) ? LanguageIndex : English;
  return triple.text[index];
}

const TextTriple CaptionError = {L"Kestrelwood Fehler", L"Kestrelwood Error", L"Erreur Kestrelwood"};
const TextTriple CaptionWarning = {L"Kestrelwood Warnung", L"Kestrelwood Warning", L"Avertissement Kestrelwood"};
const TextTriple CaptionInfo = {L"Kestrelwood Info", L"Kestrelwood Info", L"Information Kestrelwood"};
const TextTriple TextOutOfMemory = {L" Zu wenig Speicher", L"Out of memory", L"Out of memory"};

const TextTriple TextCancel = {L"Abbrechen", L"Cancel", L"Annuler"};
const TextTriple TextClose = {L"Schliessen", L"Close", L"Fermer"};
const TextTriple TextOpenProfileTitle = {L"Profile Datei Öffnen", L"Profile file to open", L"Fichier profil à ouvrir"};
const TextTriple TextFolderBrowseTitle = {L"Sicherungs Pfad und Dateiname", L"Storage path and filename",
                                          L"Storage path and filename"};
const TextTriple TextFile = {L"Datei", L"File", L"Fichier"};
const TextTriple TextSettingsMenu = {L"Einstellungen", L"Settings", L"Réglages"};
const TextTriple TextExit = {L"Beenden", L"Exit", L"Fermer"};
const TextTriple TextCheckPorts = {L"Ports und Pins prüfen", L"Check ports and pins",
                                   L"Vérifier les ports et les bornes"};
const TextTriple TextInstallationPath = {L"Installations Pfad", L"Installation path",
                                        L"Répertoire d'installation"};
const TextTriple TextLoadData = {L"Daten laden", L"Load data", L"Charger les données"};
const TextTriple TextSpecifyFile = {L"Bitte Datei  angeben", L"Please specify file", L"Spécifiez le premier fichier"};
const TextTriple TextPrint = {L"Drucken", L"Print", L"Print"};
const TextTriple TextName = {L"Name", L"Name", L"Name"};
