#include "support/launch_record.h"

#include "support/registry.h"
#include "support/waiting.h"

bool InstallRecorder(const std::string& path)
{
    for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    return CopyFileA(TILO_LAUNCH_RECORDER, path.c_str(), FALSE) != 0;
}

void RemoveRecorder(const std::string& path)
{
    DeleteFileA(path.c_str());
    // Its folders, as far as they are empty now.
    for (size_t slash = path.rfind('\\'); slash != std::string::npos && slash > 2;
         slash = path.rfind('\\', slash - 1))
        if (!RemoveDirectoryA(path.substr(0, slash).c_str())) break;
}

void ForgetLaunches() { DeleteTree(HKEY_CURRENT_USER, TILO_LAUNCHES_KEY); }

std::vector<Launch> Launches()
{
    std::vector<Launch> launches;
    DWORD count = 0;
    GetDword(HKEY_CURRENT_USER, TILO_LAUNCHES_KEY, "count", &count);
    for (DWORD i = 0; i < count; ++i) {
        Launch launch = {};
        std::string n = std::to_string(i);
        GetString(HKEY_CURRENT_USER, TILO_LAUNCHES_KEY, (n + " module").c_str(), &launch.module);
        GetString(HKEY_CURRENT_USER, TILO_LAUNCHES_KEY, (n + " arguments").c_str(), &launch.arguments);
        GetDword(HKEY_CURRENT_USER, TILO_LAUNCHES_KEY, (n + " show").c_str(), &launch.show);
        launches.push_back(launch);
    }
    return launches;
}

bool WaitForLaunches(size_t count, DWORD milliseconds)
{
    return WaitUntil([count] { return Launches().size() >= count; }, milliseconds);
}
