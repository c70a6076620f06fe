// The simulated plug-in folder: the files a user installs beside the
// plug-in, and the steps that change them.
#include "host.h"

// Absolute paths in the extended form, so that a plug-in folder longer
// than MAX_PATH can still be created and filled. That form turns off the
// conversion of '/' to '\\' and the resolving of "..", so both are done
// first: a scenario written on Linux puts '/' between its folders.
std::wstring longPath(const std::string &path)
{
    std::wstring wide = widen(path);
    if (path.size() <= 2 || path[1] != ':')
        return wide;
    DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    DWORD length = size ? GetFullPathNameW(wide.c_str(), size, &full[0], nullptr) : 0;
    if (length == 0 || length >= size)
        return wide;
    full.resize(length);
    return L"\\\\?\\" + full;
}

void copyFileTo(const Step *step, const std::string &source, const std::string &target)
{
    if (!CopyFileW(longPath(source).c_str(), longPath(target).c_str(), FALSE))
        fail(step, "cannot copy " + source + " to " + target);
}

// A file of the plug-in folder, by name.
std::string pluginFolderFile(const std::string &name)
{
    return host.pluginsDir + "\\" + name;
}

void copyInto(const Step *step, const std::string &source, const std::string &name)
{
    copyFileTo(step, source, pluginFolderFile(name));
}

bool readFile(const std::string &path, std::string *text)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text->append(buffer, count);
    std::fclose(file);
    return true;
}

void copyPluginFiles()
{
    CreateDirectoryW(longPath(host.pluginsDir).c_str(), nullptr);
    std::string pattern = host.pluginFilesDir + "\\*";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        fail(nullptr, "cannot read " + host.pluginFilesDir);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            copyInto(nullptr, host.pluginFilesDir + "\\" + found.cFileName, found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Moves the plug-in folder down to a subfolder PATH of it (components
// separated by '/' or '\\'), holding the same files; later steps and the
// plug-in use the new folder.
void usePluginFolder(const Step &step)
{
    if (host.plugin)
        fail(&step, "folder must come before start");
    std::string path = host.pluginsDir;
    std::string component;
    std::string relative = step.words[0] + "/";
    for (char c : relative) {
        if (c != '/' && c != '\\') {
            component += c;
            continue;
        }
        if (component.empty())
            continue;
        path += "\\" + component;
        component.clear();
        if (!CreateDirectoryW(longPath(path).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            fail(&step, "cannot create " + path);
    }
    host.pluginsDir = path;
    copyPluginFiles();
    event("plug-in folder " + std::to_string(path.size()) + " characters");
}

void makeFolder(const Step &step)
{
    std::string path = pluginFolderFile(step.words[0]);
    if (!CreateDirectoryW(longPath(path).c_str(), nullptr))
        fail(&step, "cannot create " + path);
}

// As another program holding the file open without sharing would: nobody
// else can open it until the scenario ends.
void lockFile(const Step &step)
{
    std::string path = pluginFolderFile(step.words[0]);
    HANDLE file = CreateFileW(longPath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        fail(&step, "cannot lock " + path);
    event("locked " + step.words[0]);
}

void removeFile(const Step &step)
{
    std::string path = pluginFolderFile(step.words[0]);
    if (!DeleteFileW(longPath(path).c_str()) && !RemoveDirectoryW(longPath(path).c_str()))
        fail(&step, "cannot remove " + path);
}

// The --setting options, written into plugin.ini beside the plug-in as a
// user editing the file would: other keys and sections stay as they are.
void addSettings(const Step &step)
{
    for (const std::string &setting : host.addedSettings) {
        size_t equals = setting.find('=');
        if (equals == std::string::npos)
            fail(&step, "a --setting must be KEY=VALUE: " + setting);
        std::wstring key = widen(setting.substr(0, equals));
        std::wstring value = widen(setting.substr(equals + 1));
        std::string path = pluginFolderFile("plugin.ini");
        std::wstring widePath = path.size() < MAX_PATH ? widen(path) : longPath(path);
        WritePrivateProfileStringW(L"Pixelvane", key.c_str(), value.c_str(), widePath.c_str());
    }
}
