#include "app/install_mode.h"

#include "app/reader.h"

namespace pagora {

namespace {

std::string withSlash(std::string path)
{
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

} // namespace

bool makeDirectories(Files &files, const std::string &path)
{
    if (path.empty() || files.isDirectory(path))
        return !path.empty();
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    const std::size_t slash = p.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeDirectories(files, p.substr(0, slash)))
        return false;
    return files.makeDirectory(p) || files.isDirectory(p);
}

void chooseFolders(ReaderState &s, Files &files, const FolderEnvironment &env)
{
    s.folders.exeFolder = withSlash(env.exeFolder);
    s.folders.installed = !files.isWritableDirectory(s.folders.exeFolder);
    if (!s.folders.installed) {
        s.folders.settingsFolder = s.folders.exeFolder;
        s.folders.defaultShelfPath = s.folders.exeFolder;
        return;
    }
    std::string config = env.xdgConfigHome;
    // The XDG rules ignore a relative value.
    if (config.empty() || config.front() != '/')
        config = env.home.empty() ? std::string() : withSlash(env.home) + ".config";
    s.folders.settingsFolder = config.empty() ? s.folders.exeFolder : withSlash(config) + "pagora/";

    // Books are things a person drops in with a file manager: a visible
    // folder among their documents, not a hidden data folder.
    std::string documents = env.documentsFolder;
    if (documents.empty() && !env.home.empty())
        documents = withSlash(env.home) + "Documents";
    s.folders.defaultShelfPath = documents.empty() ? s.folders.exeFolder : withSlash(documents) + "Pagora/";
}

} // namespace pagora
