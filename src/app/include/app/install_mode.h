#pragma once
#include <string>

namespace pagora {

struct ReaderState;
class Files;

// Where the reader keeps its settings and its default main shelf.
struct FolderEnvironment {
    std::string exeFolder;       // ends with '/'
    std::string xdgConfigHome;   // may be empty
    std::string home;            // may be empty
    std::string documentsFolder; // the user's documents folder, may be empty
};

// Portable (the executable's folder is writable): settings and the default
// shelf are the executable's folder, exactly as in a portable install.
// Installed: settings in $XDG_CONFIG_HOME/pagora/ (default ~/.config/pagora/)
// and the default shelf a "Pagora" folder in the user's documents folder.
void chooseFolders(ReaderState &s, Files &files, const FolderEnvironment &env);

// Creates a folder and its missing parents.
bool makeDirectories(Files &files, const std::string &path);

} // namespace pagora
