#include "dialogs/removal_command.h"

namespace {

bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// "X:\..." or a network path "\\server\share...".
bool IsAbsolute(const std::u16string& path)
{
    if (path.size() >= 3 && IsLetter(path[0]) && path[1] == u':' && path[2] == u'\\') return true;
    return path.size() > 2 && path[0] == u'\\' && path[1] == u'\\' && path[2] != u'\\';
}

// Windows compares paths without regard to letter case. Letters outside A to Z are
// compared as they are: at worst one command is scheduled twice.
bool SamePath(const std::u16string& a, const std::u16string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

}  // namespace

bool MakeRemovalCommand(const std::u16string& installDir, RemovalCommand* out)
{
    if (!IsAbsolute(installDir) || installDir.find(u'"') != std::u16string::npos) return false;
    std::u16string path = installDir;
    if (path.back() != u'\\') path += u'\\';
    path += TILO_UNINSTALLER;
    if (path.size() > kMaxUninstallerPath) return false;
    out->uninstaller = path;
    out->command = path.find(u' ') == std::u16string::npos ? path : u"\"" + path + u"\"";
    return true;
}

bool StartsUninstaller(const std::u16string& command, const std::u16string& uninstaller)
{
    if (command.empty() || command[0] != u'"') return SamePath(command, uninstaller);
    size_t closing = command.find(u'"', 1);
    return SamePath(command.substr(1, closing == std::u16string::npos ? std::u16string::npos : closing - 1),
                    uninstaller);
}
