#include "app/install_mode.h"

#include "platform/reader.h"

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
    s.exeFolder = withSlash(env.exeFolder);
    s.installed = !files.isWritableDirectory(s.exeFolder);
    if (!s.installed) {
        s.settingsFolder = s.exeFolder;
        s.defaultShelfPath = s.exeFolder;
        return;
    }
    std::string config = env.xdgConfigHome;
    // The XDG rules ignore a relative value.
    if (config.empty() || config.front() != '/')
        config = env.home.empty() ? std::string() : withSlash(env.home) + ".config";
    s.settingsFolder = config.empty() ? s.exeFolder : withSlash(config) + "pagora/";

    // Books are things a person drops in with a file manager: a visible
    // folder among their documents, not a hidden data folder.
    std::string documents = env.documentsFolder;
    if (documents.empty() && !env.home.empty())
        documents = withSlash(env.home) + "Documents";
    s.defaultShelfPath = documents.empty() ? s.exeFolder : withSlash(documents) + "Pagora/";
}

} // namespace pagora
