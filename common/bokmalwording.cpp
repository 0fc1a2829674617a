#include "common/bokmalwording.h"

#include <cstring>

namespace {
struct Wording {
    const char* context;
    const char* source;
    const char* bokmal;
};

const Wording wordings[] = {
    {"QPlatformTheme", "Open", "Åpne"},
    {"QPlatformTheme", "Save", "Lagre"},
    {"QPlatformTheme", "Save All", "Lagre alt"},
    {"QFileDialog", "Open", "Åpne"},
    {"QFileDialog", "&Open", "&Åpne"},
    {"QFileDialog", "&Save", "&Lagre"},
    {"QFileDialog", "Save As", "Lagre som"},
    {"QFileDialog", "&Choose", "&Velg"},
    {"QFileDialog", "&Rename", "&Gi nytt navn"},
    {"QFileDialog", "File &name:", "Fil&navn:"},
    {"QFileDialog", "Look in:", "Søk i:"},
    {"QFileDialog", "Unknown", "Ukjent"},
    {"QFileDialog", "Forward", "Frem"},
    {"QFileDialog", "Go forward", "Gå frem"},
    {"QFileDialog", "Parent Directory", "Overordnet mappe"},
    {"QFileDialog", "Go to the parent directory", "Gå til overordnet mappe"},
    {"QFileDialog", "Create a New Folder", "Lag en ny mappe"},
    {"QFileDialog", "My Computer", "Datamaskinen"},
    {"QFileDialog", "Recent Places", "Nylig brukte steder"},
    {"QFileDialog", "List of places and bookmarks", "Oversikt over steder og bokmerker"},
    {"QFileDialog", "Shortcut", "Snarvei"},
    {"QFileDialog", "Show &hidden files", "Vis &skjulte filer"},
    {"QFileDialog", "Detail View", "Detaljert visning"},
    {"QFileDialog", "List View", "Listevisning"},
    {"QFileDialog", "Change to detail view mode", "Bytt til detaljert visning"},
    {"QFileDialog", "Change to list view mode", "Bytt til listevisning"},
    {"QFileDialog", "Could not delete directory.", "Kunne ikke slette mappen."},
    {"QFileDialog", "Are you sure you want to delete '%1'?", "Er du sikker på at du vil slette «%1»?"},
    {"QFileDialog", "%1 already exists.\nDo you want to replace it?", "%1 finnes fra før.\nVil du erstatte den?"},
    {"QPrintDialog", "%1 already exists.\nDo you want to overwrite it?", "Filen %1 finnes fra før.\nVil du skrive over den?"},
    {"QPrintDialog", "%1 is a directory.\nPlease choose a different file name.", "%1 er en mappe.\nVelg et annet navn."},
    {"QPrintDialog", "File %1 is not writable.\nPlease choose a different file name.",
     "Du har ikke skrivetilgang til %1.\nVelg et annet navn."},
    {"QPrintDialog", "The 'From' value cannot be greater than the 'To' value.", "Fra-verdien kan ikke være større enn til-verdien."},
    {"QPrintWidget", "&Name:", "&Navn:"},
    {"QPrintWidget", "P&roperties", "&Egenskaper"},
    {"QPrintWidget", "Printer", "Skriver"},
    {"QPrintSettingsOutput", "Current Page", "Denne siden"},
    {"QPrintSettingsOutput", "Pages from", "Sider fra"},
    {"QPrintSettingsOutput", "Long side binding", "Bind inn på langsiden"},
    {"QPrintSettingsOutput", "Short side binding", "Bind inn på kortsiden"},
    {"QPageSetupWidget", "Height:", "Høyde:"},
    {"QPageSetupWidget", "Page size:", "Sidestørrelse:"},
    {"QPageSetupWidget", "Page Layout", "Sideoppsett"},
};
}

QString BokmalWording::translate(const char* context, const char* sourceText, const char*, int) const
{
    if (!context || !sourceText)
        return QString();
    for (const Wording& w : wordings)
        if (std::strcmp(w.context, context) == 0 && std::strcmp(w.source, sourceText) == 0)
            return QString::fromUtf8(w.bokmal);
    return QString(); // Qt asks the Nynorsk translation next
}
