#include "dialogs/removal_command.h"

#include <ctype.h>

namespace {

// "X:\..." or a network path "\\server\share...".
bool IsAbsolute(const std::string& path)
{
    if (path.size() >= 3 && isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\')
        return true;
    return path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
}

}  // namespace

bool MakeRemovalCommand(const std::string& installDir, RemovalCommand* out)
{
    if (!IsAbsolute(installDir) || installDir.find('"') != std::string::npos) return false;
    std::string path = installDir;
    if (path.back() != '\\') path += '\\';
    path += TILO_UNINSTALLER;
    std::string command = path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
    if (command.size() + 1 > kRemovalPathCapacity) return false;
    out->uninstaller = path;
    out->command = command;
    return true;
}
